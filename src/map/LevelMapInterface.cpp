#include "map/LevelMapInterface.h"

LevelMapInterface::LevelMapInterface(int rows, int columns)
    : rows(rows < 0 ? 0 : rows), columns(columns < 0 ? 0 : columns)
{
}

int LevelMapInterface::getNumberOfRows() const
{
    return rows;
}

int LevelMapInterface::getNumberOfColumns() const
{
    return columns;
}

bool LevelMapInterface::contains(int row, int column) const
{
    return row >= 0 && row < rows && column >= 0 && column < columns;
}
