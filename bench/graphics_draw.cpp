// Cost of one renderer frame for a full level and of building a big layer
// mesh, each beside an empty frame (clear and swap) from the same run.
// Run under an X server, e.g.: xvfb-run -a build/bench_graphics_draw

#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "application/GLFWApp.h"
#include "application/GLFWWindow.h"
#include "graphics/TGGeometryFactory.h"
#include "graphics/TGMap.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "graphics/TGSprite.h"

using namespace tamsygraphics;

namespace
{
const int LEVEL_SIZE = 100;
const int SPRITE_COUNT = 500;
const char* LAYER_NAMES[] = {"benchFloor", "benchFurniture", "benchObjects", "benchRoof"};

// One window for the whole run, with two renderers on it: one holding the
// level, built once, and one holding nothing, for the empty frame.
struct World
{
    application::GLFWWindow* window = nullptr;
    Renderer* level = nullptr;
    Renderer* empty = nullptr;
    Tileset tileset;
    std::vector<std::unique_ptr<Map>> layers;
    std::vector<std::unique_ptr<Sprite>> sprites;

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
        for (const char* name : LAYER_NAMES)
        {
            layers.emplace_back(MakeLayer(name, LEVEL_SIZE));
            layers.back()->SetVisible(true);
            level->Submit(name, layers.back().get());
        }
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

void DrawFrames(benchmark::State& state, Renderer* World::*which)
{
    World& world = TheWorld();
    Renderer* renderer = world.*which;
    if (!renderer)
    {
        state.SkipWithError("no window");
        return;
    }
    for (auto _ : state)
    {
        renderer->Draw();
        glFinish();
    }
}

void BM_EmptyFrame(benchmark::State& state)
{
    DrawFrames(state, &World::empty);
}

void BM_DrawLevel100x100x4Layers500Sprites(benchmark::State& state)
{
    DrawFrames(state, &World::level);
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
BENCHMARK(BM_GenerateMap256x256)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmptyFrame)->Name("BM_EmptyFrame/again")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
