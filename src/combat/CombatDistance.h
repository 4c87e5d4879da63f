#pragma once

#include <algorithm>
#include <cstdlib>

#include "world/TilePos.h"

namespace core
{
// Steps between two squares of a fight's grid. A diagonal step costs about
// one and a half: (1, 1) is 2 away, (2, 2) is 3 and (3, 3) is 5.
inline int combatDistance(TilePos a, TilePos b)
{
    const int dr = std::abs(a.row - b.row);
    const int dc = std::abs(a.col - b.col);
    return dr + dc - std::min(dr, dc) / 2;
}
}
