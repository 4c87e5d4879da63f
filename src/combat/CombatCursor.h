#pragma once

#include <vector>

#include "world/TilePos.h"

class LevelMap;

namespace core
{
// The square a fight's keyboard player points at: W, A, S and D move it
// over the map (never off it), Z or Space chooses the square as a click
// on it would. It is drawn as a lit square; a square lit for aiming stays
// lit when the cursor leaves it.
class CombatCursor
{
public:
    // What a key did: nothing (not the cursor's key), moved, or chose.
    enum Outcome
    {
        IGNORED,
        MOVED,
        CHOSEN
    };

    // The square-grid direction of a walking key (W, A, S, D); false for
    // any other key. Fighters are walked and the cursor moved by the same.
    static bool directionOf(int key, Direction& direction);

    // Shows the cursor on a square (kept on the map).
    void place(TilePos square, LevelMap* map, const std::vector<TilePos>& keepLit);
    // A key and its state, as input contexts get them.
    Outcome keyPress(int key, int action, LevelMap* map, const std::vector<TilePos>& keepLit);
    void hide(LevelMap* map, const std::vector<TilePos>& keepLit);

    bool isShown() const { return _shown; }
    TilePos at() const { return _at; }

private:
    void unlight(LevelMap* map, const std::vector<TilePos>& keepLit) const;

    TilePos _at;
    bool _shown = false;
};
}
