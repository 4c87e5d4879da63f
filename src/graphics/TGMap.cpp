#include "graphics/TGMap.h"

#include <algorithm>

namespace tamsygraphics
{
Map::Map()
{
}

DrawableTile* Map::GetTile(int row, int col)
{
    if (row < 0 || col < 0 || row >= rows || col >= cols)
        return nullptr;
    // The grid may be filled short of rows x cols by a faulty loader.
    if (static_cast<size_t>(row) >= tiles.size() || static_cast<size_t>(col) >= tiles[row].size())
        return nullptr;
    return &tiles[row][col];
}

const Tileset* Map::TilesetOf(const DrawableTile& cell) const
{
    if (cell.tileset < tilesets.size() && tilesets[cell.tileset])
        return tilesets[cell.tileset];
    return tileset;
}

float Map::GetMapWidth() const
{
    if (!tileset)
        return 0.0f;
    return static_cast<float>(tileset->renderedTileWidth * cols);
}

float Map::GetMapHeight() const
{
    if (!tileset)
        return 0.0f;
    return static_cast<float>(tileset->renderedTileHeight * rows);
}

void Map::SetVisible(bool visible)
{
    hide = !visible;
}

void Map::HighlightTile(int row, int col)
{
    _hightlightedTiles.emplace_back(row, col);
}

void Map::UnhiglightTile(int row, int col)
{
    const std::pair<int, int> cell(row, col);
    _hightlightedTiles.erase(std::remove(_hightlightedTiles.begin(), _hightlightedTiles.end(), cell),
                             _hightlightedTiles.end());
}
}
