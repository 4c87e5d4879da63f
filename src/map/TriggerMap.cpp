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

TriggerMap::~TriggerMap() = default;

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
        cell = adopt(std::make_unique<TriggerTile>());
        ++_held[cell].cells;
    }
    return cell;
}

bool TriggerMap::setTile(int row, int column, std::unique_ptr<TriggerTile> tile)
{
    if (!tile)
    {
        Log::error() << "TriggerMap::setTile - Refused a null tile for (" << row << ", " << column << ")" << std::endl;
        return false;
    }
    if (!contains(row, column))
        return false;
    place(row, column, adopt(std::move(tile)));
    return true;
}

int TriggerMap::setTiles(int firstRow, int firstColumn, int rowSpan, int columnSpan, std::unique_ptr<TriggerTile> tile)
{
    if (!tile)
        return 0;
    // Walk only the part of the area that overlaps the grid, so huge or
    // misplaced objects cost nothing.
    const int rowBegin = clampToRange(firstRow, rows);
    const int rowEnd = clampToRange(static_cast<long long>(firstRow) + rowSpan, rows);
    const int columnBegin = clampToRange(firstColumn, columns);
    const int columnEnd = clampToRange(static_cast<long long>(firstColumn) + columnSpan, columns);
    if (rowBegin >= rowEnd || columnBegin >= columnEnd)
        return 0;
    TriggerTile* held = adopt(std::move(tile));
    for (int row = rowBegin; row < rowEnd; ++row)
        for (int column = columnBegin; column < columnEnd; ++column)
            place(row, column, held);
    return (rowEnd - rowBegin) * (columnEnd - columnBegin);
}

void TriggerMap::triggerEvents(int row, int column)
{
    TriggerTile* tile = peek(row, column);
    if (tile)
        tile->triggerEvents();
}

TriggerTile* TriggerMap::adopt(std::unique_ptr<TriggerTile> tile) const
{
    TriggerTile* borrowed = tile.get();
    _held[borrowed].tile = std::move(tile);
    return borrowed;
}

void TriggerMap::place(int row, int column, TriggerTile* tile)
{
    TriggerTile*& cell = tiles[row][column];
    if (cell == tile)
        return;
    // Count the new cell first: the old and new tile may share cells.
    ++_held[tile].cells;
    TriggerTile* old = cell;
    cell = tile;
    release(old);
}

void TriggerMap::release(const TriggerTile* tile)
{
    if (!tile)
        return;
    auto found = _held.find(tile);
    if (found == _held.end())
        return;
    if (--found->second.cells > 0)
        return;
    _held.erase(found);
}
