#pragma once

#include "map/Tile.h"

// Which of the four sides of a cell may be crossed.
class PassabilityTile : public Tile
{
public:
    explicit PassabilityTile(bool passable);
    PassabilityTile(bool top, bool right, bool bottom, bool left);

    // Only a cell open on all four sides counts as passable as a whole.
    bool isPassable() const;
    bool isPassableTop() const;
    bool isPassableRight() const;
    bool isPassableBottom() const;
    bool isPassableLeft() const;

private:
    bool _passableTop;
    bool _passableRight;
    bool _passableBottom;
    bool _passableLeft;
};
