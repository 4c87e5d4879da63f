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

    int Margin() const { return spaceX; }
    int Spacing() const { return spaceY; }
};

typedef std::map<std::string, Tileset*> TilesetMap;
}
