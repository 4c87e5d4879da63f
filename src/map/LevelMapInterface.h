#pragma once

// Base of every grid of a level: the size that all its cells share.
class LevelMapInterface
{
public:
    LevelMapInterface(int rows, int columns);
    virtual ~LevelMapInterface() = default;

    int getNumberOfRows() const;
    int getNumberOfColumns() const;
    // True when (row, column) is a cell of this grid.
    bool contains(int row, int column) const;

protected:
    int rows;
    int columns;
};
