#include "combat/CombatCursor.h"

#include <algorithm>

#include "input/InputContext.h"
#include "map/LevelMap.h"

namespace core
{
bool CombatCursor::directionOf(int key, Direction& direction)
{
    switch (key)
    {
    case application::KEY_W:
        direction = UP;
        return true;
    case application::KEY_A:
        direction = LEFT;
        return true;
    case application::KEY_S:
        direction = DOWN;
        return true;
    case application::KEY_D:
        direction = RIGHT;
        return true;
    default:
        return false;
    }
}

void CombatCursor::unlight(LevelMap* map, const std::vector<TilePos>& keepLit) const
{
    if (map && _shown && std::find(keepLit.begin(), keepLit.end(), _at) == keepLit.end())
        map->unHighlightTile(_at.row, _at.col);
}

void CombatCursor::place(TilePos square, LevelMap* map, const std::vector<TilePos>& keepLit)
{
    if (map && !map->isOnMap(square.row, square.col))
        return;
    unlight(map, keepLit);
    _at = square;
    _shown = true;
    if (map)
        map->highlightTile(_at.row, _at.col);
}

CombatCursor::Outcome CombatCursor::keyPress(int key, int action, LevelMap* map, const std::vector<TilePos>& keepLit)
{
    Direction direction = UP;
    const bool moves = directionOf(key, direction);
    const bool chooses = key == application::KEY_Z || key == ' ';
    if (!moves && !chooses)
        return IGNORED;
    if (action != application::KEYHIT)
        return MOVED;
    if (chooses)
        return _shown ? CHOSEN : IGNORED;
    place(_at.neighbour(direction), map, keepLit);
    return MOVED;
}

void CombatCursor::hide(LevelMap* map, const std::vector<TilePos>& keepLit)
{
    unlight(map, keepLit);
    _shown = false;
}
}
