#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "map/LevelMapInterface.h"
#include "map/TriggerTile.h"

// The trigger grid of a level. One tile may sit in many cells (a trigger
// object covering an area); the map owns its tiles and counts the cells
// holding each one, so a tile is released once, when its last cell lets go.
class TriggerMap : public LevelMapInterface
{
public:
    // Every cell starts with its own empty tile, made when the cell is
    // first asked for it: a large map of few triggers then costs one
    // pointer per cell.
    TriggerMap(int rows, int columns);
    ~TriggerMap() override;

    bool isTrigger(int row, int column) const;
    // The avatar fires every trigger; other entities only wander regions.
    bool isValidTrigger(int row, int column, bool isAvatar) const;

    // Null outside the grid.
    TriggerTile* getTile(int row, int column) const;
    // Stores tile in the cell and releases the previous tile once no cell
    // holds it. Cells outside the grid and null tiles are refused (false);
    // a refused tile is released here.
    bool setTile(int row, int column, std::unique_ptr<TriggerTile> tile);
    // Stores tile in every cell of the area that lies inside the grid and
    // returns how many cells took it. A tile that ends up in no cell is
    // released here, so the caller may hand over any area.
    int setTiles(int firstRow, int firstColumn, int rowSpan, int columnSpan, std::unique_ptr<TriggerTile> tile);

    // Fires the cell's tile; does nothing outside the grid.
    void triggerEvents(int row, int column);

    TriggerMap(const TriggerMap&) = delete;
    TriggerMap& operator=(const TriggerMap&) = delete;

private:
    // A tile the map owns and the number of cells showing it.
    struct Held
    {
        std::unique_ptr<TriggerTile> tile;
        int cells = 0;
    };

    // The cell's tile as it is, null while no tile was made for it.
    TriggerTile* peek(int row, int column) const;
    // Puts a tile the map already owns into a cell inside the grid.
    void place(int row, int column, TriggerTile* tile);
    // Takes ownership of tile, with no cell holding it yet.
    TriggerTile* adopt(std::unique_ptr<TriggerTile> tile) const;
    void release(const TriggerTile* tile);

    // The cells borrow their tiles from _held.
    mutable std::vector<std::vector<TriggerTile*>> tiles;
    mutable std::unordered_map<const TriggerTile*, Held> _held;
};
