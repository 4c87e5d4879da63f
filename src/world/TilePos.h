#pragma once

#include <glm/glm.hpp>

#include "map/Direction.h"
#include "util/SafeNumbers.h"

namespace core
{
// A square of the tile grid. Entity positions keep the row in x and the
// column in y; this names them.
struct TilePos
{
    int row = 0;
    int col = 0;

    bool operator==(const TilePos& other) const { return row == other.row && col == other.col; }
    bool operator!=(const TilePos& other) const { return !(*this == other); }

    // The square one step away. At the ends of int the square stays put: no
    // map reaches that far, so the step is refused like any other off the map.
    TilePos neighbour(Direction direction) const
    {
        switch (direction)
        {
        case UP:
            return {saturatingAdd(row, -1), col};
        case RIGHT:
            return {row, saturatingAdd(col, 1)};
        case DOWN:
            return {saturatingAdd(row, 1), col};
        case LEFT:
            return {row, saturatingAdd(col, -1)};
        }
        return *this;
    }

    // An entity's position (row in x, column in y), truncated to whole
    // squares; positions beyond int, which scene files may hold, stop at its ends.
    static TilePos of(const glm::vec2& position) { return {clampToInt(position.x), clampToInt(position.y)}; }
};
}
