#pragma once

#include <cstdint>

// What one cell of a layer shows: the tile image's row and column inside
// its tileset's image (not the cell's place in the map), the tileset it
// comes from and how it is flipped, with the Tiled editor's meaning of the
// three flips. Worked out from the cell's id when asked (MapLayer::tileAt).
struct MapTile
{
    int row = 0;
    int col = 0;
    bool visible = true;
    bool flipVertical = false;
    bool flipHorizontal = false;
    bool flipDiagonal = false;
    // Which of the layer's tilesets the image comes from.
    unsigned short tileset = 0;

    // The flip bits at the top of a tile id in the map file.
    static const std::uint32_t FLIPPED_HORIZONTALLY = 0x80000000u;
    static const std::uint32_t FLIPPED_VERTICALLY = 0x40000000u;
    static const std::uint32_t FLIPPED_DIAGONALLY = 0x20000000u;
    static const std::uint32_t FLIP_BITS = FLIPPED_HORIZONTALLY | FLIPPED_VERTICALLY | FLIPPED_DIAGONALLY;
};

// A tile placed freely in an object layer, as the Tiled editor places it:
// (x, y) is the bottom-left corner of the picture in map pixels from the
// map's top-left, the picture is scaled to width x height map pixels and
// turned `rotation` degrees clockwise about that corner.
struct MapTileObject
{
    MapTile tile;
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float rotation = 0.0f;
};
