#pragma once

struct GLFWwindow;

namespace application
{
typedef void (*KeyCallback)(int key, int action);
typedef void (*MousePosCallback)(double x, double y);
typedef void (*MouseButtonCallback)(int button, int action, double x, double y);

// The bridge between the windowing library's callbacks and the engine's input
// handlers. Key codes reaching the handlers are the engine's own: letters are
// their upper-case character codes, Escape is 257 and every code is below 512;
// actions are 1 for a press and 0 for a release.
class GLFWInput
{
public:
    GLFWInput() = delete;

    // Each registration replaces the earlier one; null unregisters.
    static void RegisterKeyCallback(KeyCallback callback);
    static void RegisterMousePosCallback(MousePosCallback callback);
    static void RegisterMouseButtonCallback(MouseButtonCallback callback);

    // Engine-side entry points, already in engine codes and window pixels.
    static void processKey(int key, int action);
    static void processMousePosition(int x, int y);
    static void processMouseButton(int button, int action);

    // The windowing library's callbacks: they translate, then call the above.
    static void onGLFWKey(GLFWwindow* window, int key, int scancode, int action, int mods);
    static void onGLFWCursorPos(GLFWwindow* window, double x, double y);
    static void onGLFWMouseButton(GLFWwindow* window, int button, int action, int mods);

    // The engine code of a windowing-library key code, or -1 for keys the
    // engine has no code for.
    static int translateKey(int glfwKey);

    static double getLastMouseX();
    static double getLastMouseY();

private:
    static KeyCallback _keyCallback;
    static MousePosCallback _mousePosCallback;
    static MouseButtonCallback _mouseButtonCallback;
    static double _lastMouseX;
    static double _lastMouseY;
};
}
