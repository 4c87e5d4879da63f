#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "graphics/TGCellSides.h"
#include "map/Direction.h"
#include "map/LevelMapInterface.h"
#include "map/PassabilityTile.h"

namespace core
{
// The grid that says which cell sides may be crossed. It owns its tiles; a
// new grid is closed everywhere until the loader opens it. The passability
// overlay draws it through CellSides.
class PassabilityMap : public LevelMapInterface, public tamsygraphics::CellSides
{
public:
    PassabilityMap(int rows, int columns);
    ~PassabilityMap() override;
    PassabilityMap(const PassabilityMap&) = delete;
    PassabilityMap& operator=(const PassabilityMap&) = delete;

    // Takes ownership of `tile` and releases the tile it replaces. A cell
    // outside the grid keeps nothing: the tile is released at once.
    void setTile(int row, int column, std::unique_ptr<PassabilityTile> tile);
    // Opens and closes the sides of a cell without a tile of its own: the
    // cells share one tile for each combination of sides, so a large grid
    // costs no allocation per cell.
    void setSides(int row, int column, bool top, bool right, bool bottom, bool left);
    // Sets the sides of the cells row by row from `open` (top 8, right 4,
    // bottom 2, left 1 per cell), as setSides would; cells past its end
    // keep theirs. One pass for a whole layer.
    void setSidesRowByRow(const std::vector<unsigned char>& open);
    // Null outside the grid.
    PassabilityTile* getTile(int row, int column) const;

    // The whole cell is open. Cells outside the grid are closed.
    bool isPassable(int row, int column) const;
    // A step from (row, column) towards `direction`: the facing side of this
    // cell and the opposite side of the neighbour must both be open. Cells
    // outside the grid count as closed, so a step off the map is refused.
    bool isPassable(int direction, int row, int column) const;

    bool cellSides(int row, int column, bool open[4]) const override;

private:
    bool sideOpen(int row, int column, int side) const;
    static PassabilityTile* shared(bool top, bool right, bool bottom, bool left);
    static bool isShared(const PassabilityTile* tile);
    void release(const PassabilityTile* tile);

    // Each cell shows one of the shared tiles or a tile of its own, kept in
    // _ownTiles.
    std::vector<std::vector<PassabilityTile*>> tiles;
    std::unordered_map<const PassabilityTile*, std::unique_ptr<PassabilityTile>> _ownTiles;
};
}
