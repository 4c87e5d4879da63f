#pragma once

#include <string>

#include "graphics/TGSurface.h"

struct GLFWwindow;

namespace application
{
// The game's one window with its OpenGL 3.2 core context. Input callbacks are
// delivered inside SwapBuffers, which polls window events after each swap.
// The renderer draws into it as a Surface.
class GLFWWindow : public tamsygraphics::Surface
{
public:
    // Opens the window; when the windowing library cannot open it, the object
    // still exists, IsOpen() is 0 and the other calls do nothing.
    GLFWWindow(int width, int height, const std::string& title = "OpenGL");
    ~GLFWWindow();

    GLFWWindow(const GLFWWindow&) = delete;
    GLFWWindow& operator=(const GLFWWindow&) = delete;

    void GetDimensions(int* width, int* height) const override;
    int IsOpen() const;
    int IsActive() const;
    void SwapBuffers() override;
    // Delivers pending input callbacks without presenting a frame.
    void PollEvents() override;
    // Whether the window system asked for the picture again since the last
    // call (part of the window was uncovered, its contents were lost or it
    // was resized), so that a frame the window showed before must be
    // presented once more.
    bool TakeRefreshRequest() override;
    // Takes back the window system's request to close (the pause menu
    // opens instead; a second request is let through).
    void CancelClose();
    // The window's size in pixels of the screen: the picture's size times
    // `scale`, or the whole screen.
    void SetScale(int scale, bool fullScreen);
    // The size of what is drawn into, in pixels: the picture is scaled up
    // into it.
    void GetFramebufferSize(int* width, int* height) const override;
    void EnableVsync();
    void DisableVsync();
    void HideMouseCursor();
    void ShowMouseCursor();

    // The windowing library's handle, null when opening failed.
    GLFWwindow* GetHandle() const;

private:
    void applyWindowHints() const;
    void installCallbacks();
    static void onRefresh(GLFWwindow* handle);
    static void onResize(GLFWwindow* handle, int width, int height);

    int _width;
    int _height;
    GLFWwindow* _handle;
    bool _refreshRequested = false;
};
}
