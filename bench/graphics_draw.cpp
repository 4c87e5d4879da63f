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

using namespace tamsygraphics;

namespace
{
const int LEVEL_SIZE = 100;
const int SPRITE_COUNT = 500;
const char* LAYER_NAMES[] = {"benchFloor", "benchFurniture", "benchObjects", "benchRoof"};

// One window, renderer and level for the whole run.
struct World
{
    application::GLFWWindow* window = nullptr;
    Renderer* renderer = nullptr;
    Tileset tileset;
    std::vector<std::unique_ptr<Map>> layers;

    bool Open()
    {
        window = application::GLFWApp::getGLFWApp()->createWindow(640, 480);
        if (!window || !window->GetHandle())
            return false;
        // Measure drawing, not waiting for the display.
        window->DisableVsync();
        renderer = new Renderer(window, ZOLT_SOURCE_DIR);
        renderer->GetSceneManager()->CreateCamera("benchCam");
        renderer->GetSceneManager()->SetActiveCamera("benchCam");
        renderer->GetResourceManager()->LoadTexture("tileset", "/assets/maps/region1/tileset.png");
        renderer->GetResourceManager()->LoadTexture("walking", "/assets/sprites/walkingSpriteSheet.png");
        tileset.imageName = "tileset";
        tileset.tileWidth = 16;
        tileset.tileHeight = 16;
        tileset.renderedTileWidth = 32;
        tileset.renderedTileHeight = 32;
        return true;
    }

    void BuildLevel()
    {
        for (const char* name : LAYER_NAMES)
        {
            std::unique_ptr<Map> map(MakeLayer(name, LEVEL_SIZE));
            map->SetVisible(true);
            renderer->GetSceneManager()->SubmitMap(name, map.get());
            layers.push_back(std::move(map));
        }
        for (int i = 0; i < SPRITE_COUNT; ++i)
        {
            Sprite* s = renderer->GetSceneManager()->CreateSprite("benchSprite" + std::to_string(i));
            s->SetTexture("walking");
            s->SetSize(32, 32);
            s->setTexCoords(glm::vec2(i % 4, (i / 4) % 4));
            s->Dimensions(32, 32);
            s->MoveTo(static_cast<float>((i % 25) * 24 - 300), static_cast<float>((i / 25) * 22 - 220));
        }
    }

    void ClearLevel()
    {
        for (const char* name : LAYER_NAMES)
            renderer->RemoveMap(name);
        for (int i = 0; i < SPRITE_COUNT; ++i)
            renderer->RemoveSprite("benchSprite" + std::to_string(i));
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

void OneFrame(benchmark::State& state, World& world)
{
    for (auto _ : state)
    {
        world.renderer->Draw();
        glFinish();
    }
}

void BM_EmptyFrame(benchmark::State& state)
{
    World& world = TheWorld();
    if (!world.renderer)
    {
        state.SkipWithError("no window");
        return;
    }
    world.ClearLevel();
    OneFrame(state, world);
}

void BM_DrawLevel100x100x4Layers500Sprites(benchmark::State& state)
{
    World& world = TheWorld();
    if (!world.renderer)
    {
        state.SkipWithError("no window");
        return;
    }
    world.BuildLevel();
    OneFrame(state, world);
    world.ClearLevel();
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
