#pragma once

namespace tamsygraphics
{
// What the renderer needs of the window it draws into; the application's
// window provides it, so drawing knows no windowing library.
class Surface
{
public:
    virtual ~Surface() = default;

    // The drawable size in pixels.
    virtual void GetDimensions(int* width, int* height) const = 0;
    // The window's own size in pixels, which may be a whole multiple of the
    // picture (or more) when the picture is scaled up into it.
    virtual void GetFramebufferSize(int* width, int* height) const = 0;
    // Shows the finished frame.
    virtual void SwapBuffers() = 0;
    // Lets the window deliver its pending events (input, resizes).
    virtual void PollEvents() = 0;
    // True once after the window asked to be drawn again (part of it was
    // uncovered or its contents were lost).
    virtual bool TakeRefreshRequest() = 0;
};
}
