#include "map/PassabilityMap.h"

#include <cstddef>
#include <functional>

namespace core
{
namespace
{
// One tile per combination of open sides, indexed top 8, right 4, bottom 2, left 1.
std::vector<PassabilityTile>& sharedTiles()
{
    static std::vector<PassabilityTile> tiles = []
    {
        std::vector<PassabilityTile> all;
        all.reserve(16);
        for (int sides = 0; sides < 16; ++sides)
            all.emplace_back((sides & 8) != 0, (sides & 4) != 0, (sides & 2) != 0, (sides & 1) != 0);
        return all;
    }();
    return tiles;
}
}

PassabilityTile* PassabilityMap::shared(bool top, bool right, bool bottom, bool left)
{
    return &sharedTiles()[(top ? 8 : 0) | (right ? 4 : 0) | (bottom ? 2 : 0) | (left ? 1 : 0)];
}

bool PassabilityMap::isShared(const PassabilityTile* tile)
{
    const std::vector<PassabilityTile>& all = sharedTiles();
    std::less_equal<const PassabilityTile*> atMost;
    return atMost(&all.front(), tile) && atMost(tile, &all.back());
}

void PassabilityMap::release(const PassabilityTile* tile)
{
    if (!_ownTiles.empty() && !isShared(tile))
        _ownTiles.erase(tile);
}

PassabilityMap::PassabilityMap(int rows, int columns) : LevelMapInterface(rows, columns)
{
    tiles.assign(
        static_cast<std::size_t>(this->rows),
        std::vector<PassabilityTile*>(static_cast<std::size_t>(this->columns), shared(false, false, false, false)));
}

PassabilityMap::~PassabilityMap() = default;

void PassabilityMap::setSides(int row, int column, bool top, bool right, bool bottom, bool left)
{
    if (!contains(row, column))
        return;
    PassabilityTile*& cell = tiles[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    release(cell);
    cell = shared(top, right, bottom, left);
}

void PassabilityMap::setSidesRowByRow(const std::vector<unsigned char>& open)
{
    PassabilityTile* const all = sharedTiles().data();
    std::size_t next = 0;
    for (auto& row : tiles)
    {
        for (PassabilityTile*& cell : row)
        {
            if (next >= open.size())
                return;
            release(cell);
            cell = &all[open[next++] & 0xF];
        }
    }
}

void PassabilityMap::setTile(int row, int column, std::unique_ptr<PassabilityTile> tile)
{
    if (!contains(row, column))
        return;
    PassabilityTile*& cell = tiles[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
    release(cell);
    cell = tile.get();
    if (cell)
        _ownTiles[cell] = std::move(tile);
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

bool PassabilityMap::cellSides(int row, int column, bool open[4]) const
{
    const PassabilityTile* tile = getTile(row, column);
    if (!tile)
        return false;
    open[SIDE_TOP] = tile->isPassableTop();
    open[SIDE_RIGHT] = tile->isPassableRight();
    open[SIDE_BOTTOM] = tile->isPassableBottom();
    open[SIDE_LEFT] = tile->isPassableLeft();
    return true;
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
