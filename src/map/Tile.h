#pragma once

// Common base of every grid cell (passability and trigger tiles). It carries
// nothing: it only lets the grids share one notion of a cell.
class Tile
{
};
