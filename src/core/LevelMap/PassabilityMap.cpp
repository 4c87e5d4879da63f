#include "core/LevelMap/PassabilityMap.h"

#include <cstddef>

namespace core
{
PassabilityMap::PassabilityMap(int rows, int columns)
    : LevelMapInterface(rows, columns)
{
    tiles.resize(static_cast<std::size_t>(this->rows));
    for (auto& row : tiles)
    {
        row.reserve(static_cast<std::size_t>(this->columns));
        for (int c = 0; c < this->columns; ++c)
            row.push_back(new PassabilityTile(false));
    }
}

PassabilityMap::~PassabilityMap()
{
    for (auto& row : tiles)
        for (PassabilityTile* tile : row)
            delete tile;
}

void PassabilityMap::setTile(int row, int column, PassabilityTile* tile)
{
    if (!contains(row, column))
    {
        delete tile;
        return;
    }
    PassabilityTile*& cell = tiles[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    if (cell != tile)
        delete cell;
    cell = tile;
}

PassabilityTile* PassabilityMap::getTile(int row, int column) const
{
    if (!contains(row, column))
        return nullptr;
    return tiles[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

bool PassabilityMap::isPassable(int row, int column) const
{
    PassabilityTile* tile = getTile(row, column);
    return tile && tile->isPassable();
}

bool PassabilityMap::sideOpen(int row, int column, int side) const
{
    PassabilityTile* tile = getTile(row, column);
    if (!tile)
        return false;
    switch (side)
    {
    case UP:
        return tile->isPassableTop();
    case RIGHT:
        return tile->isPassableRight();
    case DOWN:
        return tile->isPassableBottom();
    case LEFT:
        return tile->isPassableLeft();
    default:
        return true;
    }
}

bool PassabilityMap::isPassable(int direction, int row, int column) const
{
    switch (direction)
    {
    case UP:
        return sideOpen(row, column, UP) && sideOpen(row - 1, column, DOWN);
    case RIGHT:
        return sideOpen(row, column, RIGHT) && sideOpen(row, column + 1, LEFT);
    case DOWN:
        return sideOpen(row, column, DOWN) && sideOpen(row + 1, column, UP);
    case LEFT:
        return sideOpen(row, column, LEFT) && sideOpen(row, column - 1, RIGHT);
    default:
        return true;
    }
}
}
