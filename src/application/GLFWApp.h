#pragma once

#include <memory>
#include <string>

#include "application/GLFWTimer.h"
#include "util/NamedRegistry.h"
#include "util/Owner.h"

namespace application
{
class GLFWWindow;

// The process-wide owner of the windowing library, the one window and the
// named timers. Created on first use and never destroyed.
class GLFWApp
{
public:
    static GLFWApp* getGLFWApp();

    // Creates the window once; later calls return the existing one.
    GLFWWindow* createWindow(int width, int height, const std::string& title = "OpenGL");
    GLFWWindow* getWindow();

    // Returns the existing timer (untouched) when the name is taken.
    GLFWTimer* createTimer(const std::string& name);
    GLFWTimer* getTimer(const std::string& name);
    void destroyTimer(const std::string& name);
    void destroyTimer(GLFWTimer* timer);

    // Setting this ends the frame loop after one more frame.
    static bool quitApplication;

private:
    GLFWApp();
    ~GLFWApp();
    GLFWApp(const GLFWApp&) = delete;
    GLFWApp& operator=(const GLFWApp&) = delete;

    static void reportError(int code, const char* description);

    std::unique_ptr<GLFWWindow> _window;
    NamedRegistry<GLFWTimer> _timers;
    static gsl::owner<GLFWApp*> _app;
};
}
