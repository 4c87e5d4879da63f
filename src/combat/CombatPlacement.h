#pragma once

#include <list>
#include <vector>

#include "world/Entity.h"
#include "world/TilePos.h"

class LevelMap;

namespace core
{
class Character;
class Scene;

// Puts the party on the field when a fight begins and takes it off again
// when the fight ends. Out of a fight only the avatar walks the map; the
// others join it on the nearest open squares it could walk to, so nobody
// starts a fight inside a wall or on somebody else.
class CombatPlacement
{
public:
    // How far, in steps, a member may stand from the avatar.
    static const int MAX_STEPS = 8;

    // The `count` nearest squares that can be walked to from `around` and on
    // which nobody in `standing` stands, nearest first; fewer when the map
    // has no more. `around` itself is never one of them. Among squares as
    // near, those farther from everybody in `awayFrom` come first, so that
    // the party gathers behind its leader rather than in front of the enemy.
    static std::vector<TilePos> freeSquaresNear(const LevelMap* map, const EntityMap* standing, TilePos around,
                                                size_t count, const std::vector<TilePos>& awayFrom = {});

    // Puts every member of `members` that is not yet in the scene next to
    // the avatar. Members that find no square are left out of the scene and
    // returned through `leftOut`.
    // Members a scene took out when they joined the party (kill()) stand
    // again for the fight and are taken out again afterwards.
    void place(Scene* scene, const Character* avatar, const std::list<Character*>& members,
               const std::vector<TilePos>& awayFrom = {}, std::list<Character*>* leftOut = nullptr);
    // Takes off the field whoever place() put there, when `current` is still
    // the scene they were put in (a scene since left has let go of them).
    void withdraw(Scene* current);
    // Members the fight placed who have fallen leave the field at once.
    void withdrawFallen(const std::list<Character*>& fallen);

    const std::vector<Character*>& placed() const { return _placed; }

private:
    Scene* _scene = nullptr;
    // Borrowed: the party's members belong to Lua.
    std::vector<Character*> _placed;
    std::vector<Character*> _revived;
};
}
