#pragma once

namespace core
{
// A step on the tile grid. The values are stored and passed around as ints
// (scripts, input), so they must stay fixed; the fixed underlying type lets
// a bad number from a script be held and refused rather than be undefined.
enum Direction : int
{
    UP = 0,    // row - 1
    RIGHT = 1, // column + 1
    DOWN = 2,  // row + 1
    LEFT = 3   // column - 1
};
}
