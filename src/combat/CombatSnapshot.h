#pragma once

#include <list>
#include <map>
#include <string>

#include "map/Direction.h"
#include "world/TilePos.h"

namespace core
{
class Character;
class Entity;
class Scene;

// The player's side as a fight found it: hit points, fatigue, square and
// facing of each member, so that a lost fight can be tried again; and where
// each enemy stood, so that none is left on a square a member goes back to.
class CombatSnapshot
{
public:
    void take(const std::list<Character*>& party, const std::list<Character*>* enemies = nullptr);
    // Puts every member back as it was taken, and every enemy still in
    // `scene` on its square; characters that no longer stand in a scene are
    // left alone.
    void restore(const Scene* scene) const;
    void clear()
    {
        _states.clear();
        _places.clear();
    }
    bool isEmpty() const { return _states.empty(); }

private:
    struct State
    {
        int hp;
        int fatigue;
        TilePos square;
        Direction facing;
    };
    struct Place
    {
        TilePos square;
        Direction facing;
    };
    static void putBack(Entity* character, const Place& place);

    std::map<Character*, State> _states;
    // By id: a fallen enemy may be gone from the scene, and freed, by now.
    std::map<std::string, Place> _places;
};
}
