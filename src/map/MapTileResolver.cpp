#include "map/MapTileResolver.h"

#include <limits>

#include "map/MapLayer.h"

MapTileResolver::Divider::Divider(std::uint32_t divisor)
    : d(divisor), reciprocal(divisor > 1 ? UINT64_C(0xFFFFFFFFFFFFFFFF) / divisor + 1 : 0)
{
}

std::uint32_t MapTileResolver::Divider::divide(std::uint32_t n) const
{
    if (d <= 1)
        return n;
    return static_cast<std::uint32_t>((static_cast<unsigned __int128>(reciprocal) * n) >> 64);
}

MapTileResolver::MapTileResolver(const MapLayer& layer)
{
    const std::size_t count = layer.tilesets.empty() ? 1 : layer.tilesets.size();
    for (std::size_t i = 0; i < count; ++i)
    {
        const MapTileset* tileset = i < layer.tilesets.size() ? layer.tilesets[i] : layer.tileset;
        const std::uint32_t firstGid = i < layer.firstGids.size() ? layer.firstGids[i] : 1;
        const int maxCol = tileset && tileset->maxCol > 0 ? tileset->maxCol : 1;
        const int rowLimit = tileset && tileset->maxRow > 0 ? tileset->maxRow : std::numeric_limits<int>::max();
        _cells.push_back({firstGid, maxCol, rowLimit, Divider(static_cast<std::uint32_t>(maxCol))});
    }
}

std::size_t MapTileResolver::tilesetOf(std::uint32_t number) const
{
    std::size_t index = _cells.size();
    while (index > 1 && _cells[index - 1].firstGid > number)
        --index;
    return index - 1;
}

MapTile MapTileResolver::resolve(std::uint32_t gid) const
{
    const std::uint32_t number = gid & ~MapTile::FLIP_BITS;
    const std::size_t which = _cells.size() == 1 ? 0 : tilesetOf(number);
    const Cells& at = _cells[which];
    MapTile tile;
    if (number != 0 && number >= at.firstGid)
    {
        // One multiplication gives both row and column.
        const std::uint32_t index = number - at.firstGid;
        const std::uint32_t row = at.byColumns.divide(index);
        tile.row = static_cast<int>(row);
        tile.col = static_cast<int>(index - row * static_cast<std::uint32_t>(at.maxCol));
        tile.visible = tile.row < at.rowLimit;
        tile.flipHorizontal = (gid & MapTile::FLIPPED_HORIZONTALLY) != 0;
        tile.flipVertical = (gid & MapTile::FLIPPED_VERTICALLY) != 0;
        tile.flipDiagonal = (gid & MapTile::FLIPPED_DIAGONALLY) != 0;
    }
    else
    {
        tile = tileFor(gid, at.maxCol, at.firstGid);
        if (tile.row >= at.rowLimit)
            tile.visible = false;
    }
    tile.tileset = static_cast<unsigned short>(which);
    return tile;
}

MapTile MapTileResolver::tileFor(std::uint32_t gid, int maxCol, std::uint32_t firstGid)
{
    MapTile tile;
    const std::uint32_t number = gid & ~MapTile::FLIP_BITS;
    // Ids below the tileset's first one belong to no tile we can draw.
    long long index = number == 0 ? -1 : static_cast<long long>(number) - static_cast<long long>(firstGid);
    tile.visible = index >= 0;
    if (maxCol <= 0)
        maxCol = 1;
    if (index < 0)
        index = -1;
    tile.col = static_cast<int>(index % maxCol);
    tile.row = static_cast<int>((index - tile.col) / maxCol);
    tile.flipHorizontal = (gid & MapTile::FLIPPED_HORIZONTALLY) != 0;
    tile.flipVertical = (gid & MapTile::FLIPPED_VERTICALLY) != 0;
    tile.flipDiagonal = (gid & MapTile::FLIPPED_DIAGONALLY) != 0;
    return tile;
}
