// Where zolt-maprender's time goes: each of its phases on its own, with the
// same classes the tool uses. Runs without a display (EGL) or with one.
//
//   build/bench_maprender_phases
//   ZOLT_BENCH_MAP=/path/to/map.tmx build/bench_maprender_phases
//
// The map defaults to the demo's largest; pictures are drawn at scale 2 as
// the tool draws by default. What this cannot show is the process's own
// start (loading and linking the libraries, the GL driver among them):
// measure the whole tool for that (docs/performance.md).

#include <benchmark/benchmark.h>

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "graphics/TGCamera.h"
#include "graphics/TGFramebufferRows.h"
#include "graphics/TGImage.h"
#include "graphics/TGImageLoader.h"
#include "graphics/TGMap.h"
#include "graphics/TGOffscreenContext.h"
#include "graphics/TGPngWriter.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "world/LevelMapDrawing.h"

namespace fs = std::filesystem;
using namespace tamsygraphics;

namespace
{
const int BAND = 64;

// The rasteriser draws on threads of its own, which the main thread's CPU
// time leaves out.
double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

struct ProcessCpu
{
    explicit ProcessCpu(benchmark::State& state) : _state(state), _start(processCpuMs()) {}
    ~ProcessCpu()
    {
        if (_state.iterations() > 0)
            _state.counters["process_cpu_ms"] = (processCpuMs() - _start) / static_cast<double>(_state.iterations());
    }
    benchmark::State& _state;
    double _start;
};

std::string mapPath()
{
    const char* chosen = std::getenv("ZOLT_BENCH_MAP");
    fs::path path =
        chosen && *chosen ? fs::path(chosen) : fs::path(ZOLT_SOURCE_DIR) / "assets/maps/region1/town/main.tmx";
    // The loader opens paths below the working directory.
    return fs::relative(fs::absolute(path), fs::current_path()).generic_string();
}

// One context and renderer for every phase after the first two.
struct Stage
{
    OffscreenContext context;
    std::unique_ptr<Renderer> renderer;
    GLuint framebuffer = 0;
    GLuint colour = 0;
    int width = 0;
    int height = 0;
};

Stage* stage(std::string& problem)
{
    static std::unique_ptr<Stage> made;
    if (made)
        return made.get();
    auto fresh = std::make_unique<Stage>();
    if (!fresh->context.Open(problem))
        return nullptr;
    fresh->renderer = std::make_unique<Renderer>(nullptr, ZOLT_SOURCE_DIR);
    made = std::move(fresh);
    return made.get();
}

bool loadTextures(Renderer& renderer, const LevelMapDrawing& level)
{
    for (const Map* layer : level.layers())
    {
        std::vector<Tileset*> tilesets = layer->tilesets;
        if (tilesets.empty())
            tilesets.push_back(layer->tileset);
        for (const Tileset* tileset : tilesets)
        {
            if (!tileset || renderer.GetResourceManager()->GetTexture(tileset->imageName))
                continue;
            ImageLoader loader;
            std::unique_ptr<Image> pixels(loader.LoadImage(tileset->imagePath));
            if (!pixels || !pixels->data)
                return false;
            ImageLoader::ApplyColourKey(*pixels, tileset->transparentColour);
            renderer.GetResourceManager()->BindTexture(tileset->imageName, pixels.get());
        }
    }
    return true;
}

void makeTarget(Stage& s, int width, int height)
{
    if (s.framebuffer && s.width == width && s.height == height)
        return;
    s.width = width;
    s.height = height;
    glGenTextures(1, &s.colour);
    glBindTexture(GL_TEXTURE_2D, s.colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &s.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, s.colour, 0);
}

// Textures, the layers' meshes and one frame, finished: the tool's drawing.
bool drawMap(Stage& s)
{
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(mapPath()));
    if (!level)
        return false;
    LevelMapDrawing drawing(*level);
    if (!loadTextures(*s.renderer, drawing))
        return false;
    const Map* first = drawing.layers().front();
    const int worldWidth = static_cast<int>(first->GetMapWidth());
    const int worldHeight = static_cast<int>(first->GetMapHeight());
    makeTarget(s, worldWidth, worldHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, s.framebuffer);
    glViewport(0, 0, worldWidth, worldHeight);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    Camera camera("bench", worldWidth, worldHeight, 45.0f, 0.5f, 100.0f);
    s.renderer->SetCamera(&camera);
    SceneManager* scene = s.renderer->GetSceneManager();
    for (Map* layer : drawing.handOverLayers())
    {
        layer->SetVisible(true);
        const std::string name = layer->name;
        scene->SubmitMap(name, std::move(layer));
    }
    s.renderer->Draw();
    glFinish();
    for (Map* layer : drawing.layers())
        scene->DestroyMap(layer->name);
    s.renderer->SetCamera(nullptr);
    return true;
}

std::vector<unsigned char> readBack(const Stage& s)
{
    FramebufferRows reader(s.framebuffer, s.width, s.height);
    std::vector<unsigned char> picture;
    std::vector<unsigned char> rows;
    for (int top = 0; top < s.height; top += BAND)
    {
        reader.Read(top, BAND, rows);
        picture.insert(picture.end(), rows.begin(), rows.end());
    }
    return picture;
}

void BM_MapRender_Context(benchmark::State& state)
{
    ProcessCpu cpu(state);
    for (auto _ : state)
    {
        OffscreenContext context;
        std::string problem;
        if (!context.Open(problem))
        {
            state.SkipWithError(problem.c_str());
            break;
        }
        state.SetLabel(context.Describe());
    }
}

void BM_MapRender_Renderer(benchmark::State& state)
{
    OffscreenContext context;
    std::string problem;
    if (!context.Open(problem))
    {
        state.SkipWithError(problem.c_str());
        return;
    }
    ProcessCpu cpu(state);
    for (auto _ : state)
    {
        // Shaders, the default font and GL state, as the tool makes them.
        Renderer renderer(nullptr, ZOLT_SOURCE_DIR);
        glFinish();
    }
}

void BM_MapRender_Load(benchmark::State& state)
{
    const std::string path = mapPath();
    ProcessCpu cpu(state);
    for (auto _ : state)
    {
        // The tool's load: the level map and the layers it draws from it.
        std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(path));
        if (!level)
        {
            state.SkipWithError("the map did not load");
            break;
        }
        LevelMapDrawing drawing(*level);
        benchmark::DoNotOptimize(drawing.layers().data());
    }
}

void BM_MapRender_LoadAndDraw(benchmark::State& state)
{
    std::string problem;
    Stage* s = stage(problem);
    if (!s)
    {
        state.SkipWithError(problem.c_str());
        return;
    }
    ProcessCpu cpu(state);
    for (auto _ : state)
    {
        if (!drawMap(*s))
        {
            state.SkipWithError("the map did not load or draw");
            break;
        }
    }
    state.counters["pixels"] = static_cast<double>(s->width) * s->height;
}

void BM_MapRender_ReadBack(benchmark::State& state)
{
    std::string problem;
    Stage* s = stage(problem);
    if (!s || !drawMap(*s))
    {
        state.SkipWithError("no picture to read");
        return;
    }
    ProcessCpu cpu(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(readBack(*s).data());
}

void BM_MapRender_PngEncode(benchmark::State& state)
{
    std::string problem;
    Stage* s = stage(problem);
    if (!s || !drawMap(*s))
    {
        state.SkipWithError("no picture to encode");
        return;
    }
    const std::vector<unsigned char> picture = readBack(*s);
    const std::string out =
        (fs::temp_directory_path() / ("zolt-bench-" + std::to_string(::getpid()) + ".png")).string();
    ProcessCpu cpu(state);
    for (auto _ : state)
    {
        PngWriter writer;
        if (!writer.Open(out, s->width, s->height, problem) || !writer.WriteRows(picture.data(), s->height, problem) ||
            !writer.Finish(problem))
        {
            state.SkipWithError(problem.c_str());
            break;
        }
    }
    state.counters["png_bytes"] = static_cast<double>(fs::file_size(out));
    std::remove(out.c_str());
}
}

BENCHMARK(BM_MapRender_Context)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRender_Renderer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRender_Load)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRender_LoadAndDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRender_ReadBack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapRender_PngEncode)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
