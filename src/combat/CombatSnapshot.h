#pragma once

#include <list>
#include <map>

#include "map/Direction.h"
#include "world/TilePos.h"

namespace core
{
class Character;

// The player's side as a fight found it: hit points, fatigue, square and
// facing of each member, so that a lost fight can be tried again.
class CombatSnapshot
{
public:
    void take(const std::list<Character*>& party);
    // Puts every member back as it was taken; characters that no longer
    // stand in a scene are left alone.
    void restore() const;
    void clear() { _states.clear(); }
    bool isEmpty() const { return _states.empty(); }

private:
    struct State
    {
        int hp;
        int fatigue;
        TilePos square;
        Direction facing;
    };
    std::map<Character*, State> _states;
};
}
