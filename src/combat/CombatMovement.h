#pragma once

#include "world/TilePos.h"

namespace core
{
class Character;

// The move stage of a fight: the acting character walks a square per key
// press (W, A, S, D) until its move allowance is spent, and can be put back
// where it started.
class CombatMovement
{
public:
    // Starts from the walker's square with its full allowance.
    void begin(const Character* walker);
    void finish() { _remainingMovement = 0; }
    // False for a key that names no direction; only a press takes a step.
    bool keyPress(Character* walker, int key, int action);
    void putBack(Character* walker) const;
    int remaining() const { return _remainingMovement; }

private:
    int _remainingMovement = 0;
    TilePos _start;
};
}
