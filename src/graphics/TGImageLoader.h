#pragma once

#include <string>

#include "graphics/TGImage.h"

namespace tamsygraphics
{
// Decodes image files into 8-bit RGBA pixels. Stateless.
class ImageLoader
{
public:
    // Always returns a new image; a file that cannot be read or decoded
    // yields an image without pixels (width and height 0).
    Image* LoadImage(const std::string& fpath) const;
};
}
