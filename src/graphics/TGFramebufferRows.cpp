#include "TGFramebufferRows.h"

#include <algorithm>
#include <cstring>

#include <GL/glew.h>

namespace tamsygraphics
{
FramebufferRows::FramebufferRows(unsigned int framebuffer, int width, int height)
    : _framebuffer(framebuffer), _width(std::max(width, 0)), _height(std::max(height, 0))
{
}

int FramebufferRows::Read(int top, int count, std::vector<unsigned char>& rows) const
{
    if (top < 0 || top >= _height || count <= 0)
        return 0;
    count = std::min(count, _height - top);
    const std::size_t stride = static_cast<std::size_t>(_width) * 4;
    rows.resize(stride * static_cast<std::size_t>(count));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
    // OpenGL counts rows from the bottom up.
    glReadPixels(0, _height - top - count, _width, count, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    std::vector<unsigned char> swap(stride);
    for (int low = 0, high = count - 1; low < high; ++low, --high)
    {
        unsigned char* a = rows.data() + stride * static_cast<std::size_t>(low);
        unsigned char* b = rows.data() + stride * static_cast<std::size_t>(high);
        std::memcpy(swap.data(), a, stride);
        std::memcpy(a, b, stride);
        std::memcpy(b, swap.data(), stride);
    }
    Unpremultiply(rows.data(), rows.size());
    return count;
}

void FramebufferRows::Unpremultiply(unsigned char* pixels, std::size_t bytes)
{
    for (std::size_t at = 0; at + 3 < bytes; at += 4)
    {
        unsigned alpha = pixels[at + 3];
        if (alpha == 0 || alpha == 255)
            continue;
        for (int channel = 0; channel < 3; ++channel)
        {
            unsigned value = (pixels[at + channel] * 255u + alpha / 2) / alpha;
            pixels[at + channel] = static_cast<unsigned char>(value > 255 ? 255 : value);
        }
    }
}
}
