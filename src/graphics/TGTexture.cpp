#include "graphics/TGTexture.h"

namespace tamsygraphics
{
Texture::Texture(const Image* image)
{
    if (image)
        info = image->info;
}
}
