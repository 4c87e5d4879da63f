// Cost of one renderer frame for a full level and of building a big layer
// mesh, each beside an empty frame (clear and swap) from the same run, and
// beside the fill floor: the fragment work a level frame cannot avoid. The
// level is also drawn with only a sprite moving and standing still, where
// the renderer reuses what the last frame drew.
// Run under an X server, e.g.: xvfb-run -a build/bench_graphics_draw

#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <sys/resource.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "application/GLFWApp.h"
#include "application/GLFWWindow.h"
#include "graphics/TGCamera.h"
#include "graphics/TGGeometryFactory.h"
#include "graphics/TGMap.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "graphics/TGSprite.h"
#include "graphics/TGTexture.h"

using namespace tamsygraphics;

namespace
{
const int LEVEL_SIZE = 100;
const int BIG_LEVEL_SIZE = 1000;
const int SPRITE_COUNT = 500;
const int WINDOW_WIDTH = 640;
const int WINDOW_HEIGHT = 480;
const char* LAYER_NAMES[] = {"benchFloor", "benchFurniture", "benchObjects", "benchRoof"};

// Corners from the top left, clockwise, as the engine's quads are.
void AppendQuad(Geometry& g, const glm::vec2 pos[4], const glm::vec2 uv[4])
{
    const unsigned int base = static_cast<unsigned int>(g.vertices.size());
    for (int k = 0; k < 4; ++k)
        g.vertices.push_back(Vertex{pos[k], uv[k]});
    for (unsigned int index : {0u, 1u, 2u, 2u, 3u, 0u})
        g.indices.push_back(base + index);
}

// One window for the whole run, with renderers on it: one holding the
// level, built once, one holding nothing, for the empty frame, and one
// holding the big level with the same sprites, built when first drawn.
struct World
{
    application::GLFWWindow* window = nullptr;
    Renderer* level = nullptr;
    Renderer* empty = nullptr;
    Renderer* bigLevel = nullptr;
    Tileset tileset;
    std::vector<std::unique_ptr<Map>> layers;
    std::vector<std::unique_ptr<Sprite>> sprites;
    // The fill floor: one vertex array drawn with one call.
    GLuint floorVAO = 0;
    GLsizei floorIndexCount = 0;

    bool Open()
    {
        window = application::GLFWApp::getGLFWApp()->createWindow(640, 480);
        if (!window || !window->GetHandle())
            return false;
        // Measure drawing, not waiting for the display.
        window->DisableVsync();
        empty = MakeRenderer();
        level = MakeRenderer();
        level->GetResourceManager()->LoadTexture("tileset", "/assets/maps/region1/tileset.png");
        level->GetResourceManager()->LoadTexture("walking", "/assets/sprites/walkingSpriteSheet.png");
        tileset.imageName = "tileset";
        tileset.tileWidth = 16;
        tileset.tileHeight = 16;
        tileset.renderedTileWidth = 32;
        tileset.renderedTileHeight = 32;
        BuildLevel();
        BuildFillFloor();
        return true;
    }

    Renderer* MakeRenderer()
    {
        Renderer* renderer = new Renderer(window, ZOLT_SOURCE_DIR);
        renderer->GetSceneManager()->CreateCamera("benchCam");
        renderer->GetSceneManager()->SetActiveCamera("benchCam");
        return renderer;
    }

    // Handed to the renderer directly: the world keeps ownership.
    void BuildLevel()
    {
        SubmitLayers(level, LEVEL_SIZE);
        for (int i = 0; i < SPRITE_COUNT; ++i)
        {
            const std::string name = "benchSprite" + std::to_string(i);
            sprites.emplace_back(new Sprite(name));
            Sprite* s = sprites.back().get();
            s->SetTexture("walking");
            s->SetSize(32, 32);
            s->setTexCoords(glm::vec2(i % 4, (i / 4) % 4));
            s->Dimensions(32, 32);
            s->MoveTo(static_cast<float>((i % 25) * 24 - 300), static_cast<float>((i / 25) * 22 - 220));
            level->Submit(name, s);
        }
    }

    void SubmitLayers(Renderer* renderer, int size)
    {
        for (const char* name : LAYER_NAMES)
        {
            layers.emplace_back(MakeLayer(name, size));
            layers.back()->SetVisible(true);
            renderer->Submit(name, layers.back().get());
        }
    }

    // The same level at a hundred times the area, sharing the sprites; it
    // shares the tileset texture through the one GL context.
    Renderer* BigLevel()
    {
        if (bigLevel || !window)
            return bigLevel;
        bigLevel = MakeRenderer();
        bigLevel->GetResourceManager()->LoadTexture("tileset", "/assets/maps/region1/tileset.png");
        bigLevel->GetResourceManager()->LoadTexture("walking", "/assets/sprites/walkingSpriteSheet.png");
        SubmitLayers(bigLevel, BIG_LEVEL_SIZE);
        for (const std::unique_ptr<Sprite>& sprite : sprites)
            bigLevel->Submit(sprite->GetIdentifier(), sprite.get());
        return bigLevel;
    }

    // Four window-sized quads, sampling the tileset at the level's texel
    // density, then a quad where each sprite is: what the level frame covers.
    void BuildFillFloor()
    {
        const Texture* texture = level->GetResourceManager()->GetTexture("tileset");
        const float texWidth = texture && texture->info.width > 0 ? float(texture->info.width) : 1.0f;
        const float texHeight = texture && texture->info.height > 0 ? float(texture->info.height) : 1.0f;
        const float halfW = WINDOW_WIDTH / 2.0f;
        const float halfH = WINDOW_HEIGHT / 2.0f;
        const float uSpan = WINDOW_WIDTH / float(tileset.renderedTileWidth) * tileset.tileWidth / texWidth;
        const float vSpan = WINDOW_HEIGHT / float(tileset.renderedTileHeight) * tileset.tileHeight / texHeight;
        Geometry g;
        for (int layer = 0; layer < 4; ++layer)
        {
            const glm::vec2 pos[4] = {{-halfW, halfH}, {halfW, halfH}, {halfW, -halfH}, {-halfW, -halfH}};
            const glm::vec2 uv[4] = {{0, 0}, {uSpan, 0}, {uSpan, vSpan}, {0, vSpan}};
            AppendQuad(g, pos, uv);
        }
        for (const std::unique_ptr<Sprite>& sprite : sprites)
        {
            const glm::vec2 c = sprite->GetCoords();
            const glm::vec2 pos[4] = {
                {c.x - 16, c.y + 16}, {c.x + 16, c.y + 16}, {c.x + 16, c.y - 16}, {c.x - 16, c.y - 16}};
            const glm::vec2 uv[4] = {{0, 0}, {0.1f, 0}, {0.1f, 0.1f}, {0, 0.1f}};
            AppendQuad(g, pos, uv);
        }
        level->GetResourceManager()->CreateGeometry("benchFillFloor", g);
        const std::pair<unsigned int, unsigned int> vao = level->GetResourceManager()->GetVAO("benchFillFloor");
        floorVAO = vao.first;
        floorIndexCount = static_cast<GLsizei>(vao.second);
    }

    Map* MakeLayer(const std::string& name, int size)
    {
        Map* map = new Map();
        map->name = name;
        map->rows = size;
        map->cols = size;
        map->tileset = &tileset;
        map->tiles.assign(size, std::vector<DrawableTile>(size));
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c)
            {
                DrawableTile& t = map->tiles[r][c];
                t.col = (r * 7 + c) % 8;
                t.row = (r + c * 3) % 8;
                t.flipHorizontal = (r + c) % 5 == 0;
                t.flipDiagonal = (r * c) % 7 == 0;
            }
        return map;
    }
};

World& TheWorld()
{
    static World world;
    static bool opened = world.Open();
    if (!opened)
        std::fprintf(stderr, "no window: run under an X server\n");
    return world;
}

// CPU seconds of the whole process, the rasteriser's threads included: on
// a software renderer the main thread's time alone misses most of a frame.
double ProcessCPUSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Reports the process's CPU time per frame beside the wall and main-thread
// times; it holds steadier than wall time on a machine shared with others.
class ProcessCPUCounter
{
public:
    explicit ProcessCPUCounter(benchmark::State& state) : _state(state), _start(ProcessCPUSeconds()) {}
    ~ProcessCPUCounter()
    {
        _state.counters["process_cpu_us"] =
            benchmark::Counter((ProcessCPUSeconds() - _start) * 1e6, benchmark::Counter::kAvgIterations);
    }

private:
    benchmark::State& _state;
    double _start;
};

// What changes from one frame to the next. A still frame is not drawn
// again, and while the camera stands still the layers under the sprites are
// copied from the last frame's, so each kind of frame has its own cost.
enum class Motion
{
    // The camera moves half a unit back and forth: everything is drawn.
    Camera,
    // One sprite moves a unit back and forth: floors and furniture are
    // copied, the rest is drawn.
    Sprite,
    // Nothing: the window keeps showing the frame.
    None
};

void DrawRenderer(benchmark::State& state, Renderer* renderer, Motion motion = Motion::Camera)
{
    if (!renderer)
    {
        state.SkipWithError("no window");
        return;
    }
    Camera* camera = renderer->GetCamera();
    Sprite* sprite = TheWorld().sprites.empty() ? nullptr : TheWorld().sprites.front().get();
    const glm::vec2 spriteHome = sprite ? sprite->GetCoords() : glm::vec2(0.0f);
    int drawn = 0;
    int frame = 0;
    ProcessCPUCounter cpu(state);
    for (auto _ : state)
    {
        const float step = (++frame % 2) ? 1.0f : 0.0f;
        if (motion == Motion::Camera)
            camera->MoveTo(step * 0.5f, 0.0f);
        else if (motion == Motion::Sprite && sprite)
            sprite->MoveTo(spriteHome.x + step, spriteHome.y);
        renderer->Draw();
        glFinish();
        drawn += renderer->DrewLastFrame() ? 1 : 0;
    }
    camera->MoveTo(0.0f, 0.0f);
    if (sprite)
        sprite->MoveTo(spriteHome.x, spriteHome.y);
    state.counters["drawn_%"] = benchmark::Counter(100.0 * drawn, benchmark::Counter::kAvgIterations);
}

void DrawFrames(benchmark::State& state, Renderer* World::*which, Motion motion = Motion::Camera)
{
    DrawRenderer(state, TheWorld().*which, motion);
}

void BM_EmptyFrame(benchmark::State& state)
{
    DrawFrames(state, &World::empty);
}

void BM_DrawLevel100x100x4Layers500Sprites(benchmark::State& state)
{
    DrawFrames(state, &World::level);
}

void BM_DrawLevel1000x1000x4Layers500Sprites(benchmark::State& state)
{
    DrawRenderer(state, TheWorld().BigLevel());
}

void BM_DrawLevel100x100x4Layers500SpritesOneSpriteMoving(benchmark::State& state)
{
    DrawFrames(state, &World::level, Motion::Sprite);
}

void BM_DrawLevel100x100x4Layers500SpritesStill(benchmark::State& state)
{
    DrawFrames(state, &World::level, Motion::None);
}

// A frame as the level frame is, reduced to its fragments: clear, the fill
// floor in one call with the level program and the renderer's blending,
// swap.
void BM_FillFloor(benchmark::State& state)
{
    World& world = TheWorld();
    if (!world.level || !world.floorVAO)
    {
        state.SkipWithError("no window");
        return;
    }
    ResourceManager* rm = world.level->GetResourceManager();
    const GLuint program = rm->GetProgram("level");
    const Texture* texture = rm->GetTexture("tileset");
    Camera* camera = world.level->GetCamera();
    const glm::mat4 viewProj = camera->GetProj() * camera->GetView();
    const glm::mat4 identity(1.0f);
    ProcessCPUCounter cpu(state);
    for (auto _ : state)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        glUseProgram(program);
        glUniform1i(glGetUniformLocation(program, "overlay"), 0);
        glUniform4f(glGetUniformLocation(program, "tint"), 1.0f, 1.0f, 1.0f, 1.0f);
        glUniformMatrix4fv(glGetUniformLocation(program, "viewProj"), 1, GL_FALSE, &viewProj[0][0]);
        glUniformMatrix4fv(glGetUniformLocation(program, "trans"), 1, GL_FALSE, &identity[0][0]);
        glUniform1i(glGetUniformLocation(program, "tex"), Renderer::BindForDraw(texture->textureId));
        glBindVertexArray(world.floorVAO);
        glDrawElements(GL_TRIANGLES, world.floorIndexCount, GL_UNSIGNED_INT, nullptr);
        glBindVertexArray(0);
        glUseProgram(0);
        world.window->SwapBuffers();
        glFinish();
    }
}

void BM_GenerateMap256x256(benchmark::State& state)
{
    World& world = TheWorld();
    std::unique_ptr<Map> map(world.MakeLayer("big", 256));
    ImageInfo info;
    info.width = 256;
    info.height = 256;
    GeometryFactory factory;
    for (auto _ : state)
    {
        Geometry g = factory.GenerateMap(map.get(), &info);
        benchmark::DoNotOptimize(g.vertices.data());
    }
}
}

BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLevel100x100x4Layers500Sprites)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLevel1000x1000x4Layers500Sprites)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FillFloor)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLevel100x100x4Layers500SpritesOneSpriteMoving)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawLevel100x100x4Layers500SpritesStill)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GenerateMap256x256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmptyFrame)->Name("BM_EmptyFrame/again")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
