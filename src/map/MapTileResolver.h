#pragma once

#include <cstdint>
#include <vector>

#include "map/MapTile.h"

class MapLayer;

// Turns the tile ids of one layer into tiles: which tileset, which image
// row and column, which flips. Works out each tileset's constants once, so
// that a whole layer is resolved at a few nanoseconds a cell.
class MapTileResolver
{
public:
    explicit MapTileResolver(const MapLayer& layer);

    MapTile resolve(std::uint32_t gid) const;

    // The tile of an id in a tileset `maxCol` tiles wide whose first tile
    // has the id `firstGid`; invisible for 0 and for ids below `firstGid`.
    static MapTile tileFor(std::uint32_t gid, int maxCol, std::uint32_t firstGid = 1);

private:
    // n / d for 32-bit n through one multiplication by a 64-bit reciprocal
    // (exact for every n and every d above 1): a division instruction per
    // cell was a fifth of resolving a large layer.
    struct Divider
    {
        explicit Divider(std::uint32_t divisor);
        std::uint32_t divide(std::uint32_t n) const;
        std::uint32_t d;
        std::uint64_t reciprocal;
    };
    struct Cells
    {
        std::uint32_t firstGid;
        int maxCol;
        // An id past the tileset's last tile has no picture: the repeating
        // texture would otherwise show some unrelated tile in its place.
        int rowLimit;
        Divider byColumns;
    };

    std::size_t tilesetOf(std::uint32_t number) const;

    std::vector<Cells> _cells;
};
