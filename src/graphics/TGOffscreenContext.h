#pragma once

#include <string>

struct GLFWwindow;

namespace tamsygraphics
{
// An OpenGL 3.2 core context for drawing into framebuffer objects only, as
// the map preview does: through a hidden window when an X display is set,
// and through EGL without any display otherwise (Mesa's surfaceless
// platform, then the device platform, then GBM on a render node), so that
// the tool runs on a server or in a build job without Xvfb.
class OffscreenContext
{
public:
    enum class Kind
    {
        None,
        Window,
        Egl
    };

    OffscreenContext() = default;
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // Makes a context current on this thread. On failure `problem` says
    // what each way that was tried answered.
    bool Open(std::string& problem);
    Kind GetKind() const { return _kind; }
    // "window", "EGL surfaceless", "EGL device", "EGL GBM" or "none".
    const std::string& Describe() const { return _description; }

    // The way tried first for a given value of DISPLAY: a window when an X
    // display is named, EGL when it is unset or empty.
    static Kind FirstChoice(const char* display);

private:
    bool OpenWindow(std::string& problem);
    bool OpenEgl(std::string& problem);
    bool OpenEglSurfaceless(std::string& problem);
    bool OpenEglDevice(std::string& problem);
    bool OpenEglGbm(std::string& problem);
    bool OpenEglOn(void* display, const char* name, std::string& problem);
    void CloseEgl();

    Kind _kind = Kind::None;
    std::string _description = "none";
    GLFWwindow* _window = nullptr;
    void* _eglDisplay = nullptr;
    void* _eglContext = nullptr;
    void* _gbmDevice = nullptr;
    int _renderNode = -1;
};
}
