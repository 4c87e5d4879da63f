#include "application/GLFWApp.h"

#include <iostream>

#include <GLFW/glfw3.h>

#include "Log/Log.h"
#include "application/GLFWTimer.h"
#include "application/GLFWWindow.h"

namespace application
{
bool GLFWApp::quitApplication = false;
GLFWApp* GLFWApp::_app = nullptr;

GLFWApp* GLFWApp::getGLFWApp()
{
    // Never deleted: the window and its context must outlive every user.
    if (!_app)
        _app = new GLFWApp();
    return _app;
}

GLFWApp::GLFWApp() : _window(nullptr)
{
    glfwSetErrorCallback(&GLFWApp::reportError);
    // A failure here (no display) shows later as a window that is not open.
    glfwInit();
}

GLFWApp::~GLFWApp()
{
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
        std::cout << "(GLFWApp::createWindow) Window has already been created. Returning existing window" << std::endl;
        return _window;
    }
    _window = new GLFWWindow(width, height, title);
    return _window;
}

GLFWWindow* GLFWApp::getWindow()
{
    if (!_window)
        std::cout << "(GLFWApp::getWindow() Attempting to retrieve window that does not exists" << std::endl;
    return _window;
}

GLFWTimer* GLFWApp::createTimer(const std::string& name)
{
    TimerMap::iterator found = _timerMap.find(name);
    if (found != _timerMap.end())
    {
        std::cout << "(GLFWApp::createTimer) Timer with identifier " << name
                  << " already exists, not creating new timer" << std::endl;
        return found->second;
    }
    GLFWTimer* timer = new GLFWTimer();
    _timerMap[name] = timer;
    return timer;
}

GLFWTimer* GLFWApp::getTimer(const std::string& name)
{
    TimerMap::iterator found = _timerMap.find(name);
    if (found == _timerMap.end())
    {
        std::cout << "(GLFWApp::getTimer) Timer with identifier " << name << " does not exist" << std::endl;
        return nullptr;
    }
    return found->second;
}

void GLFWApp::destroyTimer(const std::string& name)
{
    TimerMap::iterator found = _timerMap.find(name);
    if (found == _timerMap.end())
    {
        std::cout << "(GLFWApp::destroyTimer) Timer with identifier " << name << " does not exist" << std::endl;
        return;
    }
    delete found->second;
    _timerMap.erase(found);
}

void GLFWApp::destroyTimer(GLFWTimer* timer)
{
    for (TimerMap::iterator it = _timerMap.begin(); it != _timerMap.end(); ++it)
    {
        if (it->second == timer)
        {
            delete it->second;
            _timerMap.erase(it);
            return;
        }
    }
    std::cout << "(GLFWApp::destroyTimer) Failed to destroy timer" << std::endl;
}
}
