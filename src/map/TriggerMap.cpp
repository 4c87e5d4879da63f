#include "map/TriggerMap.h"

#include "Log/Log.h"

namespace
{
int clampToRange(long long value, int size)
{
    if (value < 0)
        return 0;
    return value > size ? size : static_cast<int>(value);
}
}

TriggerMap::TriggerMap(int rows, int columns) : LevelMapInterface(rows, columns)
{
    tiles.assign(this->rows, std::vector<TriggerTile*>(this->columns, nullptr));
}

TriggerTile* TriggerMap::peek(int row, int column) const
{
    return contains(row, column) ? tiles[row][column] : nullptr;
}

TriggerMap::~TriggerMap()
{
    for (auto& entry : _cellCounts)
        delete entry.first;
}

bool TriggerMap::isTrigger(int row, int column) const
{
    const TriggerTile* tile = peek(row, column);
    return tile && tile->isTrigger();
}

bool TriggerMap::isValidTrigger(int row, int column, bool isAvatar) const
{
    if (!isTrigger(row, column))
        return false;
    return isAvatar || getTile(row, column)->isNPCTrigger();
}

TriggerTile* TriggerMap::getTile(int row, int column) const
{
    if (!contains(row, column))
        return nullptr;
    TriggerTile*& cell = tiles[row][column];
    if (!cell)
    {
        cell = new TriggerTile();
        hold(cell);
    }
    return cell;
}

bool TriggerMap::setTile(int row, int column, TriggerTile* tile)
{
    if (!tile)
    {
        Log::error() << "TriggerMap::setTile - Refused a null tile for (" << row << ", " << column << ")" << std::endl;
        return false;
    }
    if (!contains(row, column))
        return false;
    TriggerTile*& cell = tiles[row][column];
    if (cell == tile)
        return true;
    // Take the new hold first: the old and new tile may share cells.
    hold(tile);
    release(cell);
    cell = tile;
    return true;
}

int TriggerMap::setTiles(int firstRow, int firstColumn, int rowSpan, int columnSpan, TriggerTile* tile)
{
    if (!tile)
        return 0;
    // Walk only the part of the area that overlaps the grid, so huge or
    // misplaced objects cost nothing.
    const int rowBegin = clampToRange(firstRow, rows);
    const int rowEnd = clampToRange(static_cast<long long>(firstRow) + rowSpan, rows);
    const int columnBegin = clampToRange(firstColumn, columns);
    const int columnEnd = clampToRange(static_cast<long long>(firstColumn) + columnSpan, columns);
    int marked = 0;
    for (int row = rowBegin; row < rowEnd; ++row)
    {
        for (int column = columnBegin; column < columnEnd; ++column)
        {
            if (setTile(row, column, tile))
                ++marked;
        }
    }
    if (_cellCounts.find(tile) == _cellCounts.end())
        delete tile;
    return marked;
}

void TriggerMap::triggerEvents(int row, int column)
{
    TriggerTile* tile = peek(row, column);
    if (tile)
        tile->triggerEvents();
}

void TriggerMap::hold(TriggerTile* tile) const
{
    ++_cellCounts[tile];
}

void TriggerMap::release(TriggerTile* tile)
{
    if (!tile)
        return;
    auto found = _cellCounts.find(tile);
    if (found == _cellCounts.end())
        return;
    if (--found->second > 0)
        return;
    _cellCounts.erase(found);
    delete tile;
}
