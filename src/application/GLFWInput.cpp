#include "application/GLFWInput.h"

#include <cmath>

#include <GLFW/glfw3.h>

#include "application/GLFWWindow.h"
#include "input/InputContext.h"
#include "input/InputManager.h"
#include "util/Letterbox.h"
#include "util/util.h"

namespace application
{
// The input manager hears the window from the start; the manager itself
// lives below the application and knows no windowing library.
KeyCallback GLFWInput::_keyCallback = &InputManager::processKey;
MousePosCallback GLFWInput::_mousePosCallback = &InputManager::processMousePosition;
MouseButtonCallback GLFWInput::_mouseButtonCallback = &InputManager::processMouseButton;
double GLFWInput::_lastMouseX = 0.0;
double GLFWInput::_lastMouseY = 0.0;

namespace
{
// The newer windowing library's codes of the special keys are mapped onto
// the engine's (InputContext.h).

int translateSpecialKey(int glfwKey)
{
    switch (glfwKey)
    {
    case GLFW_KEY_ESCAPE:
        return KEY_ESC;
    case GLFW_KEY_UP:
        return KEY_UP;
    case GLFW_KEY_DOWN:
        return KEY_UP + 1;
    case GLFW_KEY_LEFT:
        return KEY_UP + 2;
    case GLFW_KEY_RIGHT:
        return KEY_UP + 3;
    case GLFW_KEY_LEFT_SHIFT:
        return KEY_LSHIFT;
    case GLFW_KEY_RIGHT_SHIFT:
        return KEY_LSHIFT + 1;
    case GLFW_KEY_LEFT_CONTROL:
        return KEY_LSHIFT + 2;
    case GLFW_KEY_RIGHT_CONTROL:
        return KEY_LSHIFT + 3;
    case GLFW_KEY_LEFT_ALT:
        return KEY_LSHIFT + 4;
    case GLFW_KEY_RIGHT_ALT:
        return KEY_LSHIFT + 5;
    case GLFW_KEY_TAB:
        return KEY_TAB;
    case GLFW_KEY_ENTER:
        return KEY_TAB + 1;
    case GLFW_KEY_BACKSPACE:
        return KEY_TAB + 2;
    case GLFW_KEY_INSERT:
        return KEY_TAB + 3;
    case GLFW_KEY_DELETE:
        return KEY_TAB + 4;
    case GLFW_KEY_PAGE_UP:
        return KEY_TAB + 5;
    case GLFW_KEY_PAGE_DOWN:
        return KEY_TAB + 6;
    case GLFW_KEY_HOME:
        return KEY_TAB + 7;
    case GLFW_KEY_END:
        return KEY_TAB + 8;
    case GLFW_KEY_KP_DIVIDE:
        return KEY_KP_DIVIDE;
    case GLFW_KEY_KP_MULTIPLY:
        return KEY_KP_DIVIDE + 1;
    case GLFW_KEY_KP_SUBTRACT:
        return KEY_KP_DIVIDE + 2;
    case GLFW_KEY_KP_ADD:
        return KEY_KP_DIVIDE + 3;
    case GLFW_KEY_KP_DECIMAL:
        return KEY_KP_DIVIDE + 4;
    case GLFW_KEY_KP_EQUAL:
        return KEY_KP_DIVIDE + 5;
    case GLFW_KEY_KP_ENTER:
        return KEY_KP_DIVIDE + 6;
    case GLFW_KEY_NUM_LOCK:
        return KEY_KP_DIVIDE + 7;
    case GLFW_KEY_CAPS_LOCK:
        return KEY_KP_DIVIDE + 8;
    case GLFW_KEY_SCROLL_LOCK:
        return KEY_KP_DIVIDE + 9;
    case GLFW_KEY_PAUSE:
        return KEY_KP_DIVIDE + 10;
    case GLFW_KEY_LEFT_SUPER:
        return KEY_KP_DIVIDE + 11;
    case GLFW_KEY_RIGHT_SUPER:
        return KEY_KP_DIVIDE + 12;
    case GLFW_KEY_MENU:
        return KEY_KP_DIVIDE + 13;
    default:
        return -1;
    }
}
}

void GLFWInput::RegisterKeyCallback(KeyCallback callback)
{
    _keyCallback = callback;
}

void GLFWInput::RegisterMousePosCallback(MousePosCallback callback)
{
    _mousePosCallback = callback;
}

void GLFWInput::RegisterMouseButtonCallback(MouseButtonCallback callback)
{
    _mouseButtonCallback = callback;
}

void GLFWInput::processKey(int key, int action)
{
    if (_keyCallback)
        _keyCallback(key, action);
}

void GLFWInput::processMousePosition(int x, int y)
{
    // Recorded even without a handler, so that a later button event still
    // carries where the cursor is.
    _lastMouseX = toScreenX(x);
    _lastMouseY = toScreenY(y);
    if (_mousePosCallback)
        _mousePosCallback(_lastMouseX, _lastMouseY);
}

void GLFWInput::processMouseButton(int button, int action)
{
    if (_mouseButtonCallback)
        _mouseButtonCallback(button, action, _lastMouseX, _lastMouseY);
}

int GLFWInput::translateKey(int glfwKey)
{
    // Printable keys are their character codes in both numberings.
    if (glfwKey >= 0 && glfwKey < 256)
        return glfwKey;
    if (glfwKey >= GLFW_KEY_F1 && glfwKey <= GLFW_KEY_F25)
        return KEY_F1 + (glfwKey - GLFW_KEY_F1);
    if (glfwKey >= GLFW_KEY_KP_0 && glfwKey <= GLFW_KEY_KP_9)
        return KEY_KP_0 + (glfwKey - GLFW_KEY_KP_0);
    return translateSpecialKey(glfwKey);
}

void GLFWInput::onGLFWKey(GLFWwindow*, int key, int, int action, int)
{
    // Auto-repeat is not a new press: a held key stays held.
    if (action != GLFW_PRESS && action != GLFW_RELEASE)
        return;
    int engineKey = translateKey(key);
    if (engineKey < 0)
        return;
    processKey(engineKey, action == GLFW_PRESS ? 1 : 0);
}

void GLFWInput::onGLFWCursorPos(GLFWwindow* window, double x, double y)
{
    // The GUI is laid out on a 640 x 480 grid whatever size the game's
    // manifest gives its window; the drawing is scaled to the window, so the
    // cursor is scaled back.
    // A window of another size shows the picture scaled by a whole number
    // and centred (Letterbox), so the pointer is taken back through that.
    int width = 0;
    int height = 0;
    if (window)
        glfwGetWindowSize(window, &width, &height);
    if (width > 0 && height > 0)
    {
        // The picture is the size the game asked for; the GUI's grid is
        // stretched over it.
        int pictureWidth = width;
        int pictureHeight = height;
        const GLFWWindow* owner = static_cast<const GLFWWindow*>(glfwGetWindowUserPointer(window));
        if (owner)
            owner->GetDimensions(&pictureWidth, &pictureHeight);
        const Letterbox box = Letterbox::fit(pictureWidth, pictureHeight, width, height);
        box.toPicture(x, y, height, x, y);
        x = x * WINDOW_WIDTH / pictureWidth;
        y = y * WINDOW_HEIGHT / pictureHeight;
    }
    processMousePosition(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

void GLFWInput::onGLFWMouseButton(GLFWwindow*, int button, int action, int)
{
    processMouseButton(button, action == GLFW_PRESS ? 1 : 0);
}

double GLFWInput::getLastMouseX()
{
    return _lastMouseX;
}

double GLFWInput::getLastMouseY()
{
    return _lastMouseY;
}
}
