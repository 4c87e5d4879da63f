// zolt-maprender [--game DIR|GAME.zip] MAP OUT.png [--scale N] [--layer NAME]
//                [--time MS] [--passability]
//
// Draws the drawable layers of a tile map exactly as the game does (same
// loader, same renderer, tiles at twice their file size unless --scale says
// otherwise) into an offscreen image of the whole map, and writes it as a
// PNG. Game makers use it to preview a map; we use it to hold the engine's
// drawing against Tiled's. With --passability the closed sides of the map's
// cells are drawn over it, so a maker sees why the avatar stops somewhere;
// with --game the map is read from inside that game (a folder or a .zip),
// mounted as the game mounts it.

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <GL/glew.h>

#include "Log/Log.h"
#include "graphics/TGCamera.h"
#include "graphics/TGFramebufferRows.h"
#include "graphics/TGImage.h"
#include "graphics/TGImageLoader.h"
#include "graphics/TGOffscreenContext.h"
#include "graphics/TGPngWriter.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "util/DataPaths.h"
#include "util/GameFiles.h"
#include "util/GameManifest.h"
#include "world/LevelMapDrawing.h"

namespace fs = std::filesystem;

namespace
{
const char* const TOOL = "zolt-maprender";

int fail(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", TOOL, message.c_str());
    return 1;
}

#ifndef ZOLT_DATA_DIR
#define ZOLT_DATA_DIR "/usr/local/share/zolt"
#endif

struct Options
{
    std::string map;
    std::string out;
    // Output pixels per map-file pixel; the game draws at 2.
    double scale = 2.0;
    std::string layer;
    // Animated tiles show their frame of this many milliseconds in.
    long long timeMs = 0;
    bool passability = false;
    // A game folder or archive that MAP lies in; empty: MAP is a file path.
    std::string game;
};

// The renderer reads its shader programs from <dir>/assets/shaders/shaders150.
// The build puts a copy beside the tool and installing puts one in the data
// folder, so the tool runs from anywhere; a game's own folder and the
// source tree above a build folder serve as well.
std::string findEngineDirectory(const char* argv0)
{
    const fs::path shader = fs::path("assets") / "shaders" / "shaders150" / "level.vert";
    std::error_code error;
    fs::path exe = fs::canonical("/proc/self/exe", error);
    if (error)
        exe = fs::absolute(fs::path(argv0), error);
    const fs::path exeDir = exe.parent_path();
    std::vector<fs::path> candidates = {exeDir};
    for (const std::string& dir : DataPaths::dataDirectoryCandidates(exe.string()))
        candidates.push_back(dir);
    candidates.push_back(ZOLT_DATA_DIR);
    candidates.push_back(fs::current_path(error));
    for (fs::path dir = exeDir.parent_path(); !dir.empty() && candidates.size() < 8; dir = dir.parent_path())
    {
        candidates.push_back(dir);
        if (dir == dir.parent_path())
            break;
    }
    for (const fs::path& dir : candidates)
    {
        if (!dir.empty() && fs::exists(dir / shader, error))
            return dir.string();
    }
    return std::string();
}

// The renderer writes its log below the folder it is given; an installed
// data folder is not writable, so the tool then works from a folder of its
// own that points at the installed assets.
struct EngineFolder
{
    std::string path;
    // Empty: the renderer's default, a logs folder below `path`.
    std::string logs;
    fs::path scratch;
    ~EngineFolder()
    {
        std::error_code error;
        if (!scratch.empty())
            fs::remove_all(scratch, error);
    }
};

bool prepareEngineFolder(const std::string& found, EngineFolder& folder)
{
    std::error_code error;
    // Like the game's, the tool's log goes with the player's state, never
    // into a game or the engine's data.
    const std::string state = DataPaths::userStateDirectory();
    if (!state.empty())
    {
        const fs::path logs = fs::path(state) / "zolt-maprender" / "logs";
        fs::create_directories(logs, error);
        if (!error && ::access(logs.c_str(), W_OK) == 0)
        {
            folder.path = found;
            folder.logs = logs.string();
            return true;
        }
    }
    fs::create_directories(fs::path(found) / "logs", error);
    if (::access((fs::path(found) / "logs").c_str(), W_OK) == 0)
    {
        folder.path = found;
        return true;
    }
    std::string pattern = (fs::temp_directory_path(error) / "zolt-maprender-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return false;
    folder.scratch = pattern;
    fs::create_directory_symlink(fs::absolute(fs::path(found) / "assets"), folder.scratch / "assets", error);
    folder.path = pattern;
    return !error;
}

// The loader opens its argument below the working directory.
std::string pathForLoader(const std::string& mapPath)
{
    std::error_code error;
    fs::path relative = fs::relative(fs::absolute(mapPath, error), fs::current_path(), error);
    return error || relative.empty() ? mapPath : relative.generic_string();
}

struct Offscreen
{
    GLuint framebuffer = 0;
    GLuint colour = 0;
    int width = 0;
    int height = 0;
};

bool fitsTheDevice(int width, int height, std::string& problem)
{
    GLint maxTexture = 0;
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    int limit = std::min<int>(maxTexture, std::min(maxViewport[0], maxViewport[1]));
    if (width > 0 && height > 0 && width <= limit && height <= limit)
        return true;
    problem = "the map is " + std::to_string(width) + " x " + std::to_string(height) +
              " pixels; this device draws at most " + std::to_string(limit) + " x " + std::to_string(limit);
    return false;
}

bool makeOffscreen(Offscreen& target, std::string& problem)
{
    if (!fitsTheDevice(target.width, target.height, problem))
        return false;
    glGenTextures(1, &target.colour);
    glBindTexture(GL_TEXTURE_2D, target.colour);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, target.width, target.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &target.framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.colour, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
    {
        problem = "cannot create an offscreen image of the map's size";
        return false;
    }
    glViewport(0, 0, target.width, target.height);
    // A transparent background, like the editor's own export; alpha is
    // accumulated so that it says how much of each pixel is covered.
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    return true;
}

// Every tileset image of the map, keyed as the game keys it, so a missing
// image stops the tool instead of drawing a hole.
bool loadTilesetTextures(tamsygraphics::ResourceManager* resources, const LevelMapDrawing& level, std::string& problem)
{
    for (const tamsygraphics::Map* layer : level.layers())
    {
        std::vector<tamsygraphics::Tileset*> tilesets = layer->tilesets;
        if (tilesets.empty())
            tilesets.push_back(layer->tileset);
        for (const tamsygraphics::Tileset* tileset : tilesets)
        {
            if (!tileset || resources->GetTexture(tileset->imageName))
                continue;
            tamsygraphics::ImageLoader loader;
            std::unique_ptr<tamsygraphics::Image> pixels(loader.LoadImage(tileset->imagePath));
            if (!pixels || !pixels->data || pixels->info.width <= 0 || pixels->info.height <= 0)
            {
                problem = "cannot read the tileset image " + tileset->imagePath;
                return false;
            }
            tamsygraphics::ImageLoader::ApplyColourKey(*pixels, tileset->transparentColour);
            resources->BindTexture(tileset->imageName, pixels.get());
        }
    }
    return true;
}

// The picture goes from the framebuffer to the file a band of rows at a
// time, so a large map is never held in memory a second or third time.
bool writePng(const Offscreen& target, const std::string& outPath, std::string& problem)
{
    const int BAND = 64;
    tamsygraphics::FramebufferRows reader(target.framebuffer, target.width, target.height);
    tamsygraphics::PngWriter writer;
    if (!writer.Open(outPath, target.width, target.height, problem))
        return false;
    std::vector<unsigned char> rows;
    for (int top = 0; top < target.height; top += BAND)
    {
        const int count = reader.Read(top, BAND, rows);
        if (!writer.WriteRows(rows.data(), count, problem))
            return false;
    }
    return writer.Finish(problem);
}

// The layers to draw: all, or those named by --layer.
std::vector<tamsygraphics::Map*> chosenLayers(const LevelMapDrawing& level, const std::string& name)
{
    std::vector<tamsygraphics::Map*> chosen;
    for (tamsygraphics::Map* layer : level.layers())
    {
        if (name.empty() || layer->name == name)
            chosen.push_back(layer);
    }
    return chosen;
}

// The scene manager owns every layer from here on; only the chosen ones are
// drawn.
void submitLayers(tamsygraphics::SceneManager* scene, LevelMapDrawing& level,
                  const std::vector<tamsygraphics::Map*>& chosen)
{
    for (tamsygraphics::Map* layer : level.handOverLayers())
    {
        layer->SetVisible(std::find(chosen.begin(), chosen.end(), layer) != chosen.end());
        const std::string name = layer->name;
        scene->SubmitMap(name, std::unique_ptr<tamsygraphics::Map>(layer));
    }
}

void releaseLayers(tamsygraphics::SceneManager* scene, const LevelMapDrawing& level)
{
    for (tamsygraphics::Map* layer : level.layers())
        scene->DestroyMap(layer->name);
}

// The grid the game walks by (the tileset's `pass` properties, or the
// built-in table), drawn over every layer.
void submitPassability(tamsygraphics::SceneManager* scene, LevelMap& level, const std::string& layer)
{
    core::PassabilityMap* grid = level.getPassabilityMap();
    if (!grid)
    {
        std::fprintf(stderr, "%s: the map has no passability grid; drawn without it\n", TOOL);
        return;
    }
    scene->SubmitPassabilityMap(layer, grid);
}

int render(const std::string& engineDirectory, const std::string& logDirectory, const Options& options)
{
    std::unique_ptr<LevelMap> level(
        LevelMapLoader::loadLevelMap(options.game.empty() ? pathForLoader(options.map) : options.map));
    if (!level)
        return fail("cannot load the map " + options.map);
    LevelMapDrawing drawing(*level);
    const std::vector<tamsygraphics::Map*> layers = chosenLayers(drawing, options.layer);
    if (layers.empty())
        return fail("the map " + options.map + " has no drawable layer named \"" + options.layer + "\"");
    const tamsygraphics::Map* first = drawing.layers().front();

    tamsygraphics::Renderer renderer(nullptr, engineDirectory, logDirectory);
    std::string problem;
    // Without its programs the renderer draws nothing, and an empty picture
    // must not pass for the map.
    for (const char* program : {"level", "pass"})
    {
        if (renderer.GetResourceManager()->GetProgram(program) == 0)
            return fail(std::string("cannot load the engine's shader program \"") + program + "\" from " +
                        engineDirectory + "/assets/shaders/shaders150");
    }
    Offscreen target;
    // The world is drawn at twice the file's pixels; the image at `scale`.
    const double worldWidth = first->GetMapWidth();
    const double worldHeight = first->GetMapHeight();
    target.width = static_cast<int>(std::lround(worldWidth * options.scale / 2.0));
    target.height = static_cast<int>(std::lround(worldHeight * options.scale / 2.0));
    if (!loadTilesetTextures(renderer.GetResourceManager(), drawing, problem) || !makeOffscreen(target, problem))
        return fail(problem);

    tamsygraphics::Camera camera(TOOL, static_cast<int>(worldWidth), static_cast<int>(worldHeight), 45.0f, 0.5f,
                                 100.0f);
    renderer.SetCamera(&camera);
    renderer.SetAnimationTime(options.timeMs);
    // The whole map as the editor exports it: no view for parallax to follow.
    renderer.SetParallaxFollowsCamera(false);
    submitLayers(renderer.GetSceneManager(), drawing, layers);
    if (options.passability)
        submitPassability(renderer.GetSceneManager(), *level, first->name);
    renderer.Draw();
    glFinish();
    bool written = writePng(target, options.out, problem);
    releaseLayers(renderer.GetSceneManager(), drawing);
    if (!written)
        return fail(problem);
    std::printf("%s: wrote %s (%d x %d)\n", TOOL, options.out.c_str(), target.width, target.height);
    return 0;
}

// The game as the game itself mounts it, so a map inside an archive draws
// and its tilesets resolve inside the game; its manifest is read the same
// way, and what is wrong with it is said, though a map draws without it.
bool mountGame(const std::string& game, const char* argv0)
{
    std::error_code error;
    const std::string location = fs::absolute(game, error).lexically_normal().string();
    if (error || !fs::exists(location, error))
    {
        fail(game + ": no such game folder or .zip");
        return false;
    }
    if (!GameFiles::isArchive(location) && !DataPaths::holdsGame(location))
    {
        fail(game + " holds no game (no game.xml or assets folder)");
        return false;
    }
    std::string problem;
    if (!GameFiles::mount(location, DataPaths::engineDataDirectory(DataPaths::programPath(argv0)), problem))
    {
        fail(problem);
        return false;
    }
    const GameManifest manifest = GameManifest::loadGame();
    for (const std::string& line : manifest.problems())
        std::fprintf(stderr, "%s: warning: %s\n", TOOL, line.c_str());
    GameManifest::setCurrent(manifest);
    return true;
}

const char* const USAGE = "Usage: %s MAP OUT.png [--scale N] [--layer NAME] [--time MS] [--passability]\n"
                          "       %s --game DIR|GAME.zip MAP OUT.png [options]\n"
                          "Draws the tile map MAP as the game shows it and writes it to OUT.png.\n"
                          "  --scale N     image pixels per map pixel (the game shows 2)\n"
                          "  --layer NAME  draw only the layer NAME\n"
                          "  --time MS     animated tiles as they are MS milliseconds in (default 0)\n"
                          "  --passability draw what stops a walker, from the tileset's pass properties\n"
                          "                (or the built-in table): each closed side of a cell as a\n"
                          "                yellow band inside it, cells closed on every side shaded red\n"
                          "  --game G      read MAP, a path inside the game (assets/maps/town.tmx), from\n"
                          "                the game folder or .zip G as the game reads it, with its manifest\n";

// The usage, then what was wrong with the command line, last, where the
// eye lands.
int usage(const std::string& problem)
{
    std::fprintf(stderr, USAGE, TOOL, TOOL);
    if (!problem.empty())
        std::fprintf(stderr, "%s: %s\n", TOOL, problem.c_str());
    return 2;
}

bool wantsHelp(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return true;
    }
    return false;
}

bool parseScale(const std::string& text, double& scale)
{
    char* end = nullptr;
    scale = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(scale) && scale > 0.0 && scale <= 64.0;
}

bool parseTime(const std::string& text, long long& ms)
{
    char* end = nullptr;
    errno = 0;
    ms = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && std::isdigit(static_cast<unsigned char>(text[0])) && *end == '\0' && errno == 0;
}

bool parseOptions(int argc, char** argv, Options& options, std::string& problem)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if ((arg == "--scale" || arg == "--layer" || arg == "--time" || arg == "--game") && i + 1 >= argc)
        {
            problem = arg + " needs an argument";
            return false;
        }
        if (arg == "--passability")
        {
            options.passability = true;
            continue;
        }
        if (arg == "--game")
        {
            options.game = argv[++i];
            if (options.game.empty())
            {
                problem = "--game needs a game folder or .zip, not an empty name";
                return false;
            }
            continue;
        }
        if (arg == "--time")
        {
            if (!parseTime(argv[++i], options.timeMs))
            {
                problem = "--time needs a whole number of milliseconds, not \"" + std::string(argv[i]) + "\"";
                return false;
            }
            continue;
        }
        if (arg == "--scale")
        {
            if (!parseScale(argv[++i], options.scale))
            {
                problem = "--scale needs a number above 0 and at most 64, not \"" + std::string(argv[i]) + "\"";
                return false;
            }
        }
        else if (arg == "--layer")
            options.layer = argv[++i];
        else if (arg.empty() || arg[0] == '-')
        {
            problem = arg.empty() ? "an empty argument" : "unknown option " + arg;
            return false;
        }
        else
            positional.push_back(arg);
    }
    if (positional.size() != 2)
    {
        problem = "expected MAP and OUT.png, got " + std::to_string(positional.size()) + " file name(s)";
        return false;
    }
    options.map = positional[0];
    options.out = positional[1];
    return true;
}
}

int main(int argc, char** argv)
{
    if (wantsHelp(argc, argv))
    {
        std::printf(USAGE, TOOL, TOOL);
        return 0;
    }
    Options options;
    std::string wrong;
    if (!parseOptions(argc, argv, options, wrong))
        return usage(wrong);
    // Why a map is refused is an error: it belongs with the tool's own.
    Log::setErrorStream(&std::cerr);
    std::string found = findEngineDirectory(argv[0]);
    EngineFolder engine;
    if (found.empty())
        return fail("cannot find the shaders (assets/shaders/shaders150) beside the tool, in " ZOLT_DATA_DIR
                    " or in the working directory");
    if (!prepareEngineFolder(found, engine))
        return fail("cannot prepare a folder for the renderer's log");
    if (!options.game.empty() && !mountGame(options.game, argv[0]))
        return 1;
    // Without an X display the context comes from EGL, off-screen.
    tamsygraphics::OffscreenContext context;
    std::string problem;
    if (!context.Open(problem))
        return fail(problem + "; set DISPLAY to an X display, or install Mesa's EGL driver (libegl-mesa0)");
    // A mounted game reads the engine's shaders through the game's files,
    // where the engine's data stands behind the game, as the game does.
    if (options.game.empty())
        return render(engine.path, engine.logs, options);
    // The log still goes where it was prepared to, not below the player's
    // working directory.
    return render(".", engine.logs.empty() ? engine.path + "/logs" : engine.logs, options);
}
