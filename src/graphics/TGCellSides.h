#pragma once

namespace tamsygraphics
{
// The open sides of a grid's cells, as the passability overlay draws them.
// The game's passability grid provides it, so drawing knows no game rules.
class CellSides
{
public:
    // The order of the sides in cellSides(), clockwise from the top.
    enum Side
    {
        SIDE_TOP = 0,
        SIDE_RIGHT = 1,
        SIDE_BOTTOM = 2,
        SIDE_LEFT = 3
    };

    virtual ~CellSides() = default;

    // Fills `open` with the top, right, bottom and left sides of the cell;
    // false, leaving `open` alone, for a cell outside the grid.
    virtual bool cellSides(int row, int column, bool open[4]) const = 0;
};
}
