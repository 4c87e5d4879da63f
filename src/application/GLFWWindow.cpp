#include "application/GLFWWindow.h"

#include <GLFW/glfw3.h>

#include "Log/Log.h"
#include "application/GLFWInput.h"

namespace application
{
GLFWWindow::GLFWWindow(int width, int height, const std::string& title)
    : _width(width), _height(height), _handle(nullptr)
{
    applyWindowHints();
    _handle = glfwCreateWindow(width, height, title.c_str(), nullptr, nullptr);
    if (!_handle)
    {
        Log::error() << "GLFWWindow::GLFWWindow - Failed to open a " << width << " x " << height
                     << " OpenGL 3.2 core window" << std::endl;
        return;
    }
    glfwMakeContextCurrent(_handle);
    glfwSetWindowTitle(_handle, title.c_str());
    EnableVsync();
    installCallbacks();
}

GLFWWindow::~GLFWWindow()
{
    // The window lives until the process ends; closing it here would pull the
    // context from under the renderer.
}

void GLFWWindow::applyWindowHints() const
{
    glfwDefaultWindowHints();
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    // A core profile of 3.2 and above is only granted forward-compatible on
    // some platforms.
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    // Any size is fine: the picture keeps its size, scaled by a whole
    // number and letterboxed in the middle.
    glfwWindowHint(GLFW_RESIZABLE, GLFW_TRUE);
    glfwWindowHint(GLFW_DEPTH_BITS, 24);
    glfwWindowHint(GLFW_STENCIL_BITS, 8);
}

void GLFWWindow::installCallbacks()
{
    glfwSetKeyCallback(_handle, &GLFWInput::onGLFWKey);
    glfwSetCursorPosCallback(_handle, &GLFWInput::onGLFWCursorPos);
    glfwSetMouseButtonCallback(_handle, &GLFWInput::onGLFWMouseButton);
    glfwSetWindowUserPointer(_handle, this);
    glfwSetWindowRefreshCallback(_handle, &GLFWWindow::onRefresh);
    glfwSetFramebufferSizeCallback(_handle, &GLFWWindow::onResize);
}

void GLFWWindow::onResize(GLFWwindow* handle, int, int)
{
    // Whatever the window manager kept of the old picture is not what a
    // frame at the new size shows.
    onRefresh(handle);
}

void GLFWWindow::onRefresh(GLFWwindow* handle)
{
    GLFWWindow* window = static_cast<GLFWWindow*>(glfwGetWindowUserPointer(handle));
    if (window)
        window->_refreshRequested = true;
}

bool GLFWWindow::TakeRefreshRequest()
{
    const bool requested = _refreshRequested;
    _refreshRequested = false;
    return requested;
}

void GLFWWindow::CancelClose()
{
    if (_handle)
        glfwSetWindowShouldClose(_handle, GLFW_FALSE);
}

void GLFWWindow::SetScale(int scale, bool fullScreen)
{
#ifdef __EMSCRIPTEN__
    // The page sizes the canvas; the browser's windowing library cannot.
    (void)scale;
    (void)fullScreen;
#else
    if (!_handle)
        return;
    GLFWmonitor* monitor = fullScreen ? glfwGetPrimaryMonitor() : nullptr;
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (mode)
    {
        glfwSetWindowMonitor(_handle, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
        return;
    }
    int x = 0;
    int y = 0;
    glfwGetWindowPos(_handle, &x, &y);
    glfwSetWindowMonitor(_handle, nullptr, x, y, _width * scale, _height * scale, GLFW_DONT_CARE);
#endif
}

void GLFWWindow::GetFramebufferSize(int* width, int* height) const
{
    int w = _width;
    int h = _height;
    if (_handle)
        glfwGetFramebufferSize(_handle, &w, &h);
    if (width)
        *width = w;
    if (height)
        *height = h;
}

void GLFWWindow::GetDimensions(int* width, int* height) const
{
    if (width)
        *width = _width;
    if (height)
        *height = _height;
}

int GLFWWindow::IsOpen() const
{
    return _handle && !glfwWindowShouldClose(_handle) ? 1 : 0;
}

int GLFWWindow::IsActive() const
{
    return _handle ? glfwGetWindowAttrib(_handle, GLFW_FOCUSED) : 0;
}

void GLFWWindow::SwapBuffers()
{
    if (!_handle)
        return;
    glfwSwapBuffers(_handle);
    // Polling right after the swap keeps every input callback inside this call.
    glfwPollEvents();
}

void GLFWWindow::EnableVsync()
{
    if (_handle)
        glfwSwapInterval(1);
}

void GLFWWindow::DisableVsync()
{
    if (_handle)
        glfwSwapInterval(0);
}

void GLFWWindow::HideMouseCursor()
{
    // Hidden and not bound by the window edges, as a disabled cursor was before.
    if (_handle)
        glfwSetInputMode(_handle, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
}

void GLFWWindow::ShowMouseCursor()
{
    if (_handle)
        glfwSetInputMode(_handle, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
}

GLFWwindow* GLFWWindow::GetHandle() const
{
    return _handle;
}

void GLFWWindow::PollEvents()
{
    glfwPollEvents();
}
}
