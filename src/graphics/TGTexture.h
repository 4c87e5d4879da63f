#pragma once

#include <GL/glew.h>

#include "graphics/TGImage.h"

namespace tamsygraphics
{
// A texture on the GPU. `slot` records the unit handed out at creation; the
// renderer binds the texture to a unit of its own choosing when it draws.
class Texture
{
public:
    Texture() = default;
    explicit Texture(const Image* image);

    ImageInfo info;
    GLuint textureId = static_cast<GLuint>(-1);
    int slot = -1;
};
}
