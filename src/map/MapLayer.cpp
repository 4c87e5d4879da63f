#include "map/MapLayer.h"

#include "map/MapTileResolver.h"

MapTile MapLayer::tileAt(int row, int col) const
{
    const std::size_t cell = static_cast<std::size_t>(row) * static_cast<std::size_t>(cols) + col;
    if (row < 0 || col < 0 || row >= rows || col >= cols || cell >= gids.size())
    {
        MapTile none;
        none.visible = false;
        return none;
    }
    return MapTileResolver(*this).resolve(gids[cell]);
}

const MapTileset* MapLayer::TilesetOf(const MapTile& tile) const
{
    if (tile.tileset < tilesets.size() && tilesets[tile.tileset])
        return tilesets[tile.tileset];
    return tileset;
}
