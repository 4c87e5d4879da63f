#pragma once

#include <map>
#include <string>

namespace tamsygraphics
{
// The tile image a layer samples from. The two gaps carry the Tiled editor's
// meaning, as the map loader copies them from the tileset element:
// `spaceX` holds the margin (border around the whole image) and `spaceY`
// the spacing (gap between neighbouring tiles), both in pixels and both
// applying horizontally and vertically.
struct Tileset
{
    std::string name;
    std::string imageName;
    int tileHeight = 0;
    int tileWidth = 0;
    int renderedTileWidth = 0;
    int renderedTileHeight = 0;
    int spaceX = 0;
    int spaceY = 0;
    int maxCol = 0;
    int maxRow = 0;

    // Where the image is opened from (the working directory's view of
    // `name`), so that a renderer can load a tileset texture it lacks.
    std::string imagePath;
    // The image colour drawn as transparent (0xRRGGBB), or -1 for none.
    int transparentColour = -1;
    // Shift of every tile image from its cell, in file pixels (x right,
    // y down), as the editor's <tileoffset>.
    int offsetX = 0;
    int offsetY = 0;

    int Margin() const { return spaceX; }
    int Spacing() const { return spaceY; }
};

typedef std::map<std::string, Tileset*> TilesetMap;
}
