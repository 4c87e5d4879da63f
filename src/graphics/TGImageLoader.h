#pragma once

#include <memory>
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
    std::unique_ptr<Image> LoadImage(const std::string& fpath) const;

    // The pixel size of an image file from its header alone; false when
    // the file cannot be read or is no image.
    static bool ReadSize(const std::string& fpath, int& width, int& height);
    // Makes every pixel of the colour 0xRRGGBB fully transparent, as a
    // tileset's transparent colour asks.
    static void ApplyColourKey(Image& image, int colour);
};
}
