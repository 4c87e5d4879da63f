#pragma once

namespace tamsygraphics
{
// One map cell: which tile image of the tileset it shows (row and column
// inside the tileset image, not the cell's place in the map) and how the
// image is flipped, with the Tiled editor's meaning of the three flips.
struct DrawableTile
{
    int row = 0;
    int col = 0;
    bool visible = true;
    bool flipVertical = false;
    bool flipHorizontal = false;
    bool flipDiagonal = false;
    // Which of the layer's tilesets the image comes from (Map::tilesets).
    unsigned short tileset = 0;
};

const unsigned int FLIPPED_HORIZONTALLY_FLAG = 0x80000000u;
const unsigned int FLIPPED_VERTICALLY_FLAG = 0x40000000u;
const unsigned int FLIPPED_DIAGONALLY_FLAG = 0x20000000u;
}
