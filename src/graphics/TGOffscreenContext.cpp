#include "TGOffscreenContext.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GLFW/glfw3.h>
#include <gbm.h>

namespace tamsygraphics
{
namespace
{
bool hasExtension(const char* list, const char* name)
{
    if (!list)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name))
    {
        const bool starts = at == list || at[-1] == ' ';
        const bool ends = at[length] == ' ' || at[length] == '\0';
        if (starts && ends)
            return true;
    }
    return false;
}

std::string eglErrorText()
{
    char text[32];
    std::snprintf(text, sizeof text, "EGL error 0x%04x", static_cast<unsigned>(eglGetError()));
    return text;
}

void addProblem(std::string& problem, const std::string& more)
{
    if (!problem.empty())
        problem += "; ";
    problem += more;
}
}

OffscreenContext::~OffscreenContext()
{
    if (_window)
        glfwDestroyWindow(_window);
    // No glfwTerminate: it unloads the GL driver, and what the driver still
    // holds then looks leaked to LeakSanitizer. The process ends soon anyway.
    CloseEgl();
}

OffscreenContext::Kind OffscreenContext::FirstChoice(const char* display)
{
    return display && *display ? Kind::Window : Kind::Egl;
}

bool OffscreenContext::Open(std::string& problem)
{
    problem.clear();
    if (FirstChoice(std::getenv("DISPLAY")) == Kind::Window && OpenWindow(problem))
        return true;
    // A display that is set but cannot be reached still leaves EGL.
    if (OpenEgl(problem))
        return true;
    problem = "cannot create an OpenGL 3.2 core context (" + problem + ")";
    return false;
}

bool OffscreenContext::OpenWindow(std::string& problem)
{
    if (!glfwInit())
    {
        addProblem(problem, "window: cannot reach the X display");
        return false;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    _window = glfwCreateWindow(64, 64, "zolt offscreen", nullptr, nullptr);
    if (!_window)
    {
        addProblem(problem, "window: the display offers no OpenGL 3.2 core context");
        return false;
    }
    glfwMakeContextCurrent(_window);
    _kind = Kind::Window;
    _description = "window";
    return true;
}

bool OffscreenContext::OpenEgl(std::string& problem)
{
    return OpenEglSurfaceless(problem) || OpenEglDevice(problem) || OpenEglGbm(problem);
}

bool OffscreenContext::OpenEglSurfaceless(std::string& problem)
{
    if (!hasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_MESA_platform_surfaceless"))
    {
        addProblem(problem, "EGL surfaceless: not offered by this EGL");
        return false;
    }
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    return OpenEglOn(display, "EGL surfaceless", problem);
}

bool OffscreenContext::OpenEglDevice(std::string& problem)
{
    auto queryDevices = reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (!queryDevices || !hasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_EXT_platform_device"))
    {
        addProblem(problem, "EGL device: not offered by this EGL");
        return false;
    }
    EGLint count = 0;
    if (!queryDevices(0, nullptr, &count) || count <= 0)
    {
        addProblem(problem, "EGL device: no device");
        return false;
    }
    std::vector<EGLDeviceEXT> devices(static_cast<std::size_t>(count));
    queryDevices(count, devices.data(), &count);
    std::string last;
    for (EGLint i = 0; i < count; ++i)
    {
        last.clear();
        EGLDisplay display =
            eglGetPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[static_cast<std::size_t>(i)], nullptr);
        if (OpenEglOn(display, "EGL device", last))
            return true;
    }
    addProblem(problem, last);
    return false;
}

bool OffscreenContext::OpenEglGbm(std::string& problem)
{
    for (int node = 128; node < 136 && _renderNode < 0; ++node)
        _renderNode = ::open(("/dev/dri/renderD" + std::to_string(node)).c_str(), O_RDWR | O_CLOEXEC);
    if (_renderNode < 0)
    {
        addProblem(problem, "EGL GBM: no render node under /dev/dri");
        return false;
    }
    _gbmDevice = gbm_create_device(_renderNode);
    if (!_gbmDevice)
    {
        addProblem(problem, "EGL GBM: cannot use the render node");
        CloseEgl();
        return false;
    }
    EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_GBM_KHR, _gbmDevice, nullptr);
    if (OpenEglOn(display, "EGL GBM", problem))
        return true;
    CloseEgl();
    return false;
}

bool OffscreenContext::OpenEglOn(void* display, const char* name, std::string& problem)
{
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
    {
        addProblem(problem, std::string(name) + ": cannot initialise (" + eglErrorText() + ")");
        return false;
    }
    _eglDisplay = display;
    const bool surfaceless = hasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_surfaceless_context");
    if (!surfaceless || !eglBindAPI(EGL_OPENGL_API))
    {
        addProblem(problem, std::string(name) + ": no desktop OpenGL without a surface");
        CloseEgl();
        return false;
    }
    // Only framebuffer objects are drawn to, so no config is needed where
    // EGL allows that; otherwise any config that can render desktop GL.
    EGLConfig config = EGL_NO_CONFIG_KHR;
    EGLint found = 0;
    if (!hasExtension(eglQueryString(display, EGL_EXTENSIONS), "EGL_KHR_no_config_context"))
    {
        const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
        eglChooseConfig(display, wanted, &config, 1, &found);
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 3,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 2,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_CONTEXT_OPENGL_FORWARD_COMPATIBLE,
                                 EGL_TRUE,
                                 EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, attributes);
    if (context == EGL_NO_CONTEXT)
    {
        addProblem(problem, std::string(name) + ": no OpenGL 3.2 core context (" + eglErrorText() + ")");
        CloseEgl();
        return false;
    }
    _eglContext = context;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context))
    {
        addProblem(problem, std::string(name) + ": cannot make the context current (" + eglErrorText() + ")");
        CloseEgl();
        return false;
    }
    _kind = Kind::Egl;
    _description = name;
    return true;
}

void OffscreenContext::CloseEgl()
{
    if (_eglDisplay)
    {
        eglMakeCurrent(_eglDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (_eglContext)
            eglDestroyContext(_eglDisplay, _eglContext);
        // No eglTerminate, for the reason there is no glfwTerminate: it
        // unloads the driver, and what the driver still holds then looks
        // leaked to LeakSanitizer. A display is only opened once per way.
    }
    _eglContext = nullptr;
    _eglDisplay = nullptr;
    if (_gbmDevice)
        gbm_device_destroy(static_cast<gbm_device*>(_gbmDevice));
    _gbmDevice = nullptr;
    if (_renderNode >= 0)
        ::close(_renderNode);
    _renderNode = -1;
}
}
