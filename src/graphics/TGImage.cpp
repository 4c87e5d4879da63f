#include "graphics/TGImage.h"

#include <stb_image.h>

namespace tamsygraphics
{
Image::~Image()
{
    // The pixels come from stb_image, so they go back through its allocator.
    if (data)
        stbi_image_free(data);
}
}
