#pragma once

// Shared helpers of the graphics engine tests: file-log capture, a GL
// context on the application's window, in-memory images and pixel reads.

#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Log/FileLog.h"
#include "application/GLFWApp.h"
#include "application/GLFWWindow.h"
#include "graphics/TGCamera.h"
#include "graphics/TGImage.h"
#include "graphics/TGMap.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"

namespace gfxtest
{
// A scratch directory laid out like a working directory.
class ScratchDir
{
public:
    ScratchDir()
    {
        char pattern[] = "/tmp/gfxtestXXXXXX";
        const char* made = mkdtemp(pattern);
        _path = made ? made : "/tmp";
    }
    ~ScratchDir()
    {
        const std::string command = "rm -rf '" + _path + "'";
        if (std::system(command.c_str()) != 0)
            std::fprintf(stderr, "could not remove %s\n", _path.c_str());
    }
    const std::string& Path() const { return _path; }
    void Write(const std::string& relative, const std::string& content) const
    {
        FILE* f = std::fopen((_path + relative).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }

private:
    std::string _path;
};

// Redirects the file log into a temporary file while alive.
class LogCapture
{
public:
    LogCapture() : _saved(Output2FILE::Stream()), _savedLevel(FILELog::ReportingLevel()), _file(std::tmpfile())
    {
        Output2FILE::Stream() = _file;
        FILELog::ReportingLevel() = logDEBUG3;
    }
    ~LogCapture()
    {
        Output2FILE::Stream() = _saved;
        FILELog::ReportingLevel() = _savedLevel;
        if (_file)
            std::fclose(_file);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::string Text() const
    {
        std::string out;
        if (!_file)
            return out;
        std::fflush(_file);
        std::rewind(_file);
        char buffer[1024];
        while (std::fgets(buffer, sizeof buffer, _file))
            out += buffer;
        std::fseek(_file, 0, SEEK_END);
        return out;
    }
    bool Has(const std::string& needle) const { return Text().find(needle) != std::string::npos; }
    // Whether a line with this level header contains the needle.
    bool HasAt(const char* level, const std::string& needle) const
    {
        const std::string text = Text();
        size_t start = 0;
        while (start < text.size())
        {
            size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            if (line.find(std::string(level) + ":") != std::string::npos && line.find(needle) != std::string::npos)
                return true;
            start = end + 1;
        }
        return false;
    }

private:
    FILE* _saved;
    TLogLevel _savedLevel;
    FILE* _file;
};

struct Colour
{
    unsigned char r, g, b, a;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
    bool operator!=(const Colour& o) const { return !(*this == o); }
};

inline std::ostream& operator<<(std::ostream& out, const Colour& c)
{
    return out << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << "," << int(c.a) << ")";
}

const Colour RED = {255, 0, 0, 255};
const Colour GREEN = {0, 255, 0, 255};
const Colour BLUE = {0, 0, 255, 255};
const Colour WHITE = {255, 255, 255, 255};
const Colour YELLOW = {255, 255, 0, 255};
const Colour MAGENTA = {255, 0, 255, 255};
const Colour CYAN = {0, 255, 255, 255};
const Colour BLACK = {0, 0, 0, 255};

// An Colour image whose pixels come from `colour(x, y)`, allocated the way the
// image class releases them.
inline tamsygraphics::Image* MakeImage(int width, int height, const std::function<Colour(int, int)>& colour)
{
    auto* image = new tamsygraphics::Image();
    image->info.type = tamsygraphics::UCHAR;
    image->info.format = tamsygraphics::RGBA;
    image->info.width = width;
    image->info.height = height;
    image->data = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(width * height * 4)));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const Colour c = colour(x, y);
            unsigned char* p = image->data + (y * width + x) * 4;
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = c.a;
        }
    return image;
}

inline tamsygraphics::Texture* SolidTexture(tamsygraphics::ResourceManager* rm, const std::string& name, Colour c,
                                            int size = 4)
{
    std::unique_ptr<tamsygraphics::Image> image(MakeImage(size, size, [c](int, int) { return c; }));
    return rm->BindTexture(name, image.get());
}

// The pixel at window coordinates (x, y), origin at the bottom left.
inline Colour ReadPixel(int x, int y, GLenum buffer = GL_BACK)
{
    glReadBuffer(buffer);
    unsigned char p[4] = {0, 0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return Colour{p[0], p[1], p[2], 255};
}

// Every pixel of a 640 x 480 frame, four bytes each (alpha as stored), from
// the bound read framebuffer's `buffer`.
inline std::vector<unsigned char> ReadFrame(GLenum buffer = GL_BACK)
{
    std::vector<unsigned char> pixels(640 * 480 * 4);
    glReadBuffer(buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

extern "C" Display* glfwGetX11Display(void);
extern "C" Window glfwGetX11Window(GLFWwindow* window);

// What the X server shows in the window at window pixel (x, y), origin at
// the top left: only a buffer swap changes it, so it tells whether a frame
// was presented. Xlib is reached at run time so that the test binary needs
// no extra link libraries.
inline Colour ScreenPixel(GLFWwindow* window, int x, int y)
{
    typedef XImage* (*GetImage)(Display*, Drawable, int, int, unsigned int, unsigned int, unsigned long, int);
    static void* xlib = dlopen("libX11.so.6", RTLD_NOW);
    static GetImage getImage = xlib ? reinterpret_cast<GetImage>(dlsym(xlib, "XGetImage")) : nullptr;
    Colour c = {0, 0, 0, 0};
    if (!getImage)
        return c;
    XImage* image = getImage(glfwGetX11Display(), glfwGetX11Window(window), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return c;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    c.r = static_cast<unsigned char>((pixel >> 16) & 0xff);
    c.g = static_cast<unsigned char>((pixel >> 8) & 0xff);
    c.b = static_cast<unsigned char>(pixel & 0xff);
    c.a = 255;
    return c;
}

// Everything the X server shows in the window's 640 x 480 pixels, as
// 0xRRGGBB values from the top left.
inline std::vector<unsigned long> ScreenFrame(GLFWwindow* window)
{
    typedef XImage* (*GetImage)(Display*, Drawable, int, int, unsigned int, unsigned int, unsigned long, int);
    static void* xlib = dlopen("libX11.so.6", RTLD_NOW);
    static GetImage getImage = xlib ? reinterpret_cast<GetImage>(dlsym(xlib, "XGetImage")) : nullptr;
    std::vector<unsigned long> pixels;
    XImage* image = getImage
                        ? getImage(glfwGetX11Display(), glfwGetX11Window(window), 0, 0, 640, 480, AllPlanes, ZPixmap)
                        : nullptr;
    if (!image)
        return pixels;
    pixels.reserve(640 * 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
    XDestroyImage(image);
    return pixels;
}

// Waits until the X server has done what it was asked and hands whatever it
// reported (exposure, new sizes) to the windowing library's callbacks.
inline void SettleWindowSystem()
{
    typedef int (*Sync)(Display*, Bool);
    static void* xlib = dlopen("libX11.so.6", RTLD_NOW);
    static Sync sync = xlib ? reinterpret_cast<Sync>(dlsym(xlib, "XSync")) : nullptr;
    if (sync)
        sync(glfwGetX11Display(), False);
    glfwPollEvents();
}

// Makes the X server tell the window that its picture was lost, as when a
// window that covered it goes away, and lets the windowing library see it.
inline void ExposeWindow(GLFWwindow* window)
{
    typedef int (*ClearArea)(Display*, Window, int, int, unsigned int, unsigned int, Bool);
    static void* xlib = dlopen("libX11.so.6", RTLD_NOW);
    static ClearArea clearArea = xlib ? reinterpret_cast<ClearArea>(dlsym(xlib, "XClearArea")) : nullptr;
    if (!clearArea)
        return;
    clearArea(glfwGetX11Display(), glfwGetX11Window(window), 0, 0, 0, 0, True);
    SettleWindowSystem();
}

// Resizes the window as a window manager would and lets the windowing
// library see what the X server reports of it.
inline void ResizeWindow(GLFWwindow* window, int width, int height)
{
    glfwSetWindowSize(window, width, height);
    SettleWindowSystem();
}

// The pixel showing world point (x, y) under a camera at the origin of a
// 640 x 480 window.
inline Colour WorldPixel(float x, float y, GLenum buffer = GL_BACK)
{
    return ReadPixel(320 + static_cast<int>(x), 240 + static_cast<int>(y), buffer);
}

// The application's window, opened once per process, made current for each
// test; tests needing no buffer swap use a renderer without a window.
class GLTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        window = application::GLFWApp::getGLFWApp()->createWindow(640, 480);
        ASSERT_NE(window, nullptr);
        ASSERT_NE(window->GetHandle(), nullptr);
        glfwMakeContextCurrent(window->GetHandle());
        // Tests that use GL without a renderer need the entry points too.
        static const bool loaded = []
        {
            glewExperimental = GL_TRUE;
            const bool ok = glewInit() == GLEW_OK;
            while (glGetError() != GL_NO_ERROR)
            {
            }
            return ok;
        }();
        ASSERT_TRUE(loaded);
    }

    // A renderer drawing into the window's back buffer without swapping.
    std::unique_ptr<tamsygraphics::Renderer> MakeRenderer(bool withWindow = false)
    {
        std::unique_ptr<tamsygraphics::Renderer> r(new tamsygraphics::Renderer(withWindow ? window : nullptr, "."));
        // The renderer points the file log at its own file; keep it there
        // unless a test captures it.
        return r;
    }

    application::GLFWWindow* window = nullptr;
};

// A window-less renderer (no swap) with its managers for every test, and
// optionally the active camera "cam" at the origin.
class RendererFixture : public GLTest
{
protected:
    explicit RendererFixture(bool withCamera = false) : _withCamera(withCamera) {}

    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        renderer = MakeRenderer();
        rm = renderer->GetResourceManager();
        sm = renderer->GetSceneManager();
        gui = renderer->GetGUIManager();
        if (_withCamera)
        {
            sm->CreateCamera("cam");
            sm->SetActiveCamera("cam");
        }
    }

    std::unique_ptr<tamsygraphics::Renderer> renderer;
    tamsygraphics::ResourceManager* rm = nullptr;
    tamsygraphics::SceneManager* sm = nullptr;
    tamsygraphics::GUIManager* gui = nullptr;

private:
    bool _withCamera;
};

// A tileset of one-pixel-wide texture columns so every tile has one colour.
inline tamsygraphics::Tileset* SimpleTileset(const std::string& imageName, int rendered)
{
    auto* ts = new tamsygraphics::Tileset();
    ts->name = imageName;
    ts->imageName = imageName;
    ts->tileWidth = 4;
    ts->tileHeight = 4;
    ts->renderedTileWidth = rendered;
    ts->renderedTileHeight = rendered;
    ts->maxCol = 1;
    ts->maxRow = 1;
    return ts;
}

// A rows x cols layer whose cells all show tile (0, 0), visible, with cells
// for which `visible(row, col)` is false left out.
inline tamsygraphics::Map* SimpleLayer(const std::string& name, tamsygraphics::Tileset* ts, int rows, int cols,
                                       const std::function<bool(int, int)>& visible = nullptr)
{
    auto* map = new tamsygraphics::Map();
    map->name = name;
    map->rows = rows;
    map->cols = cols;
    map->tileset = ts;
    map->tiles.assign(rows, std::vector<tamsygraphics::DrawableTile>(cols));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            map->tiles[r][c].visible = !visible || visible(r, c);
    map->SetVisible(true);
    return map;
}
}
