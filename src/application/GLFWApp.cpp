#include "application/GLFWApp.h"

#include <memory>
#include <ostream>

#include <GLFW/glfw3.h>

#include "Log/Log.h"
#include "application/GLFWTimer.h"
#include "application/GLFWWindow.h"

namespace application
{
bool GLFWApp::quitApplication = false;
gsl::owner<GLFWApp*> GLFWApp::_app = nullptr;

GLFWApp* GLFWApp::getGLFWApp()
{
    // Never deleted: the window and its context must outlive every user.
    if (!_app)
        _app = new GLFWApp();
    GLFWApp& app = *_app;
    return &app;
}

GLFWApp::GLFWApp()
{
    glfwSetErrorCallback(&GLFWApp::reportError);
    // A failure here (no display) shows later as a window that is not open.
    glfwInit();
}

GLFWApp::~GLFWApp()
{
    // The window goes while the library still runs.
    _window.reset();
    glfwTerminate();
}

void GLFWApp::reportError(int code, const char* description)
{
    // After a failed start every call reports the same thing; once is enough.
    static bool notInitializedReported = false;
    if (code == GLFW_NOT_INITIALIZED)
    {
        if (notInitializedReported)
            return;
        notInitializedReported = true;
    }
    Log::error() << "GLFWApp - Windowing library error " << code << ": " << (description ? description : "")
                 << std::endl;
}

GLFWWindow* GLFWApp::createWindow(int width, int height, const std::string& title)
{
    if (_window)
    {
        Log::plain() << "(GLFWApp::createWindow) Window has already been created. Returning existing window"
                     << std::endl;
        return _window.get();
    }
    _window = std::make_unique<GLFWWindow>(width, height, title);
    return _window.get();
}

GLFWWindow* GLFWApp::getWindow()
{
    if (!_window)
        Log::plain() << "(GLFWApp::getWindow() Attempting to retrieve window that does not exists" << std::endl;
    return _window.get();
}

GLFWTimer* GLFWApp::createTimer(const std::string& name)
{
    if (GLFWTimer* existing = _timers.get(name))
    {
        Log::plain() << "(GLFWApp::createTimer) Timer with identifier " << name
                     << " already exists, not creating new timer" << std::endl;
        return existing;
    }
    return _timers.put(name, std::make_unique<GLFWTimer>(), nullptr);
}

GLFWTimer* GLFWApp::getTimer(const std::string& name)
{
    GLFWTimer* timer = _timers.get(name);
    if (!timer)
        Log::plain() << "(GLFWApp::getTimer) Timer with identifier " << name << " does not exist" << std::endl;
    return timer;
}

void GLFWApp::destroyTimer(const std::string& name)
{
    if (!_timers.take(name, nullptr))
        Log::plain() << "(GLFWApp::destroyTimer) Timer with identifier " << name << " does not exist" << std::endl;
}

void GLFWApp::destroyTimer(GLFWTimer* timer)
{
    for (const auto& entry : _timers.items())
    {
        if (entry.second.get() == timer)
        {
            // A copy: taking the entry ends the name it is keyed by.
            const std::string name = entry.first;
            _timers.take(name, nullptr);
            return;
        }
    }
    Log::plain() << "(GLFWApp::destroyTimer) Failed to destroy timer" << std::endl;
}
}
