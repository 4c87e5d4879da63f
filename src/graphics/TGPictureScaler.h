#pragma once

#include "util/Letterbox.h"

namespace tamsygraphics
{
// Draws the frame into an offscreen picture of the game's own size and
// copies it into a larger window scaled by a whole number with nearest
// filtering, so the window shows the picture pixel for pixel, only bigger,
// with black bars where the window's shape differs. A window of the
// picture's size is drawn into directly, as it always was.
class PictureScaler
{
public:
    ~PictureScaler();

    // Before drawing: binds the offscreen picture when the window's
    // framebuffer is not the picture's size. A picture that cannot be made
    // leaves the drawing on the window.
    void Begin(int pictureWidth, int pictureHeight, int windowWidth, int windowHeight);
    // After drawing (and after any capture, which reads the picture): the
    // copy into the window.
    void Present();
    bool IsScaling() const { return _scaling; }
    const Letterbox& GetLetterbox() const { return _box; }

private:
    bool Make(int width, int height);
    void Release();

    unsigned int _framebuffer = 0;
    unsigned int _target = 0;
    unsigned int _colour = 0;
    unsigned int _depthStencil = 0;
    int _width = 0;
    int _height = 0;
    int _windowWidth = 0;
    int _windowHeight = 0;
    bool _scaling = false;
    Letterbox _box;
};
}
