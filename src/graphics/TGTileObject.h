#pragma once

#include "graphics/TGDrawableTile.h"

namespace tamsygraphics
{
// A tile placed freely in an object layer, as the Tiled editor places it:
// (x, y) is the bottom-left corner of the picture in map pixels from the
// map's top-left, the picture is scaled to width x height map pixels and
// turned `rotation` degrees clockwise about that corner. The tile's
// horizontal and vertical flips mirror the picture within its rectangle.
struct TileObject
{
    DrawableTile tile;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float rotation = 0.0f;
};
}
