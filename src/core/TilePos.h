#pragma once

#include <glm/glm.hpp>

#include "core/Direction.h"

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

    // The square one step away.
    TilePos neighbour(Direction direction) const
    {
        switch (direction)
        {
        case UP:
            return {row - 1, col};
        case RIGHT:
            return {row, col + 1};
        case DOWN:
            return {row + 1, col};
        case LEFT:
            return {row, col - 1};
        }
        return *this;
    }

    // An entity's position (row in x, column in y), truncated to whole squares.
    static TilePos of(const glm::vec2& position)
    {
        return {static_cast<int>(position.x), static_cast<int>(position.y)};
    }
};
}
