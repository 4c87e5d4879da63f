#include "application/GLFWTimer.h"

#include <GLFW/glfw3.h>

namespace application
{
GLFWTimer::GLFWTimer() : _startTime(0.0)
{
}

double GLFWTimer::getTime() const
{
    return glfwGetTime() - _startTime;
}

void GLFWTimer::reset()
{
    _startTime = glfwGetTime();
}
}
