// zolt-maprender MAP OUT.png
//
// Draws the drawable layers of a tile map exactly as the game does (same
// loader, same renderer, tiles at twice their file size) into an offscreen
// image of the whole map, and writes it as a PNG. Game makers use it to
// preview a map; we use it to hold the engine's drawing against Tiled's.

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "core/LevelMap/LevelMap.h"
#include "core/LevelMap/LevelMapLoader.h"
#include "graphics/TGCamera.h"
#include "graphics/TGImage.h"
#include "graphics/TGImageLoader.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"

namespace fs = std::filesystem;

namespace
{
const char* const TOOL = "zolt-maprender";

int fail(const std::string& message)
{
    std::fprintf(stderr, "%s: %s\n", TOOL, message.c_str());
    return 1;
}

// The renderer reads its shader programs from <dir>/assets/shaders/shaders150.
// Look in the working directory first (the game's own folder), then above
// the tool, where a build folder inside the source tree finds them.
std::string findEngineDirectory(const char* argv0)
{
    const fs::path shader = fs::path("assets") / "shaders" / "shaders150" / "level.vert";
    std::error_code error;
    if (fs::exists(shader, error))
        return ".";
    fs::path dir = fs::absolute(fs::path(argv0), error).parent_path();
    for (int up = 0; up < 3 && !dir.empty(); ++up, dir = dir.parent_path())
    {
        if (fs::exists(dir / shader, error))
            return dir.string();
    }
    return std::string();
}

// The loader opens its argument below the working directory.
std::string pathForLoader(const std::string& mapPath)
{
    std::error_code error;
    fs::path relative = fs::relative(fs::absolute(mapPath, error), fs::current_path(), error);
    return error || relative.empty() ? mapPath : relative.generic_string();
}

GLFWwindow* openHiddenContext()
{
    if (!glfwInit())
        return nullptr;
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(64, 64, TOOL, nullptr, nullptr);
    if (window)
        glfwMakeContextCurrent(window);
    return window;
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

bool loadTilesetTexture(tamsygraphics::ResourceManager* resources, const std::string& mapPath,
                        const tamsygraphics::Tileset* tileset, std::string& problem)
{
    fs::path image = tileset->name;
    if (image.is_relative())
        image = fs::path(mapPath).parent_path() / image;
    tamsygraphics::ImageLoader loader;
    std::unique_ptr<tamsygraphics::Image> pixels(loader.LoadImage(image.string()));
    if (!pixels || !pixels->data || pixels->info.width <= 0 || pixels->info.height <= 0)
    {
        problem = "cannot read the tileset image " + image.string();
        return false;
    }
    resources->BindTexture(tileset->imageName, pixels.get());
    return true;
}

// The renderer blends colours over a transparent background, so each pixel
// holds colour times coverage; a PNG wants the colour itself.
void unpremultiply(std::vector<unsigned char>& pixels)
{
    for (std::size_t at = 0; at + 3 < pixels.size(); at += 4)
    {
        unsigned alpha = pixels[at + 3];
        if (alpha == 0 || alpha == 255)
            continue;
        for (int channel = 0; channel < 3; ++channel)
        {
            unsigned value = (pixels[at + channel] * 255u + alpha / 2) / alpha;
            pixels[at + channel] = static_cast<unsigned char>(value > 255 ? 255 : value);
        }
    }
}

bool writePng(const Offscreen& target, const std::string& outPath, std::string& problem)
{
    std::size_t stride = static_cast<std::size_t>(target.width) * 4;
    std::vector<unsigned char> pixels(stride * static_cast<std::size_t>(target.height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
    glReadPixels(0, 0, target.width, target.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    unpremultiply(pixels);
    // OpenGL reads rows from the bottom up; image files start at the top.
    std::vector<unsigned char> flipped(pixels.size());
    for (int row = 0; row < target.height; ++row)
        std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(row * stride), stride,
                    flipped.begin() + static_cast<std::ptrdiff_t>((target.height - 1 - row) * stride));
    if (!stbi_write_png(outPath.c_str(), target.width, target.height, 4, flipped.data(),
                        static_cast<int>(stride)))
    {
        problem = "cannot write " + outPath;
        return false;
    }
    return true;
}

void submitLayers(tamsygraphics::SceneManager* scene, const LevelMap& level)
{
    for (tamsygraphics::Map* layer : level.getDrawableMaps())
    {
        layer->SetVisible(true);
        scene->SubmitMap(layer->name, layer);
    }
}

// The scene manager owns the layers once they are submitted.
void releaseLayers(tamsygraphics::SceneManager* scene, LevelMap& level)
{
    for (tamsygraphics::Map* layer : level.getDrawableMaps())
        scene->DestroyMap(layer->name);
    level.setDrawableMaps(DrawableMapList());
}

int render(const std::string& engineDirectory, const std::string& mapPath, const std::string& outPath)
{
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(pathForLoader(mapPath)));
    if (!level)
        return fail("cannot load the map " + mapPath);
    const tamsygraphics::Map* first = level->getDrawableMaps().front();

    tamsygraphics::Renderer renderer(nullptr, engineDirectory);
    std::string problem;
    Offscreen target;
    target.width = static_cast<int>(first->GetMapWidth());
    target.height = static_cast<int>(first->GetMapHeight());
    if (!loadTilesetTexture(renderer.GetResourceManager(), mapPath, first->tileset, problem) ||
        !makeOffscreen(target, problem))
        return fail(problem);

    tamsygraphics::Camera camera(TOOL, target.width, target.height, 45.0f, 0.5f, 100.0f);
    renderer.SetCamera(&camera);
    submitLayers(renderer.GetSceneManager(), *level);
    renderer.Draw();
    glFinish();
    bool written = writePng(target, outPath, problem);
    releaseLayers(renderer.GetSceneManager(), *level);
    if (!written)
        return fail(problem);
    std::printf("%s: wrote %s (%d x %d)\n", TOOL, outPath.c_str(), target.width, target.height);
    return 0;
}
}

int main(int argc, char** argv)
{
    if (argc != 3 || std::string(argv[1]).empty() || std::string(argv[2]).empty())
    {
        std::fprintf(stderr, "Usage: %s MAP OUT.png\n"
                             "Draws the tile map MAP as the game shows it and writes it to OUT.png.\n",
                     TOOL);
        return 2;
    }
    std::string engineDirectory = findEngineDirectory(argv[0]);
    if (engineDirectory.empty())
        return fail("cannot find assets/shaders/shaders150; run it from the game's folder");
    GLFWwindow* window = openHiddenContext();
    if (!window)
        return fail("cannot open an OpenGL 3.2 context (is there a display? try xvfb-run)");
    int status = render(engineDirectory, argv[1], argv[2]);
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}
