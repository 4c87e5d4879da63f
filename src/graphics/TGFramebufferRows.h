#pragma once

#include <cstddef>
#include <vector>

namespace tamsygraphics
{
// Reads a framebuffer's picture back a band of rows at a time, top row
// first as image files want it, with the colours divided by coverage: the
// renderer blends over a transparent background, so each pixel holds colour
// times alpha, while a PNG holds the colour itself.
class FramebufferRows
{
public:
    FramebufferRows(unsigned int framebuffer, int width, int height);

    // Rows from `top` (0 is the picture's top), at most `count`; fewer at
    // the bottom. Returns the number of rows read, 0 when none is left.
    int Read(int top, int count, std::vector<unsigned char>& rows) const;

    static void Unpremultiply(unsigned char* pixels, std::size_t bytes);

private:
    unsigned int _framebuffer;
    int _width;
    int _height;
};
}
