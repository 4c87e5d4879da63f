#include "combat/CombatPlacement.h"

#include <algorithm>
#include <limits>

#include "Log/Log.h"
#include "combat/CombatPathfinder.h"
#include "data/Character.h"
#include "world/Scene.h"

namespace core
{
std::vector<TilePos> CombatPlacement::freeSquaresNear(const LevelMap* map, const EntityMap* standing, TilePos around,
                                                      size_t count, const std::vector<TilePos>& awayFrom)
{
    std::vector<TilePos> squares;
    if (count == 0)
        return squares;
    CombatPathfinder paths(map);
    paths.reset();
    if (standing)
        for (const auto& entry : *standing)
            if (entry.second && !entry.second->isRemoved())
                paths.block(TilePos::of(entry.second->getPosition()));
    paths.search(around, MAX_STEPS);
    // Straight-line distance (squared), which tells "behind" from "beside"
    // where grid distance calls them equal.
    const auto nearestThreat = [&awayFrom](const TilePos& square)
    {
        long long nearest = std::numeric_limits<long long>::max();
        for (const TilePos& threat : awayFrom)
        {
            const long long dr = static_cast<long long>(square.row) - threat.row;
            const long long dc = static_cast<long long>(square.col) - threat.col;
            nearest = std::min(nearest, dr * dr + dc * dc);
        }
        return nearest;
    };
    for (const TilePos& square : paths.reached())
        if (square != around)
            squares.push_back(square);
    // reached() is nearest first already; the sort only reorders squares as near.
    std::stable_sort(squares.begin(), squares.end(),
                     [&](const TilePos& a, const TilePos& b)
                     {
                         const int stepsA = paths.distanceTo(a);
                         const int stepsB = paths.distanceTo(b);
                         if (stepsA != stepsB)
                             return stepsA < stepsB;
                         return nearestThreat(a) > nearestThreat(b);
                     });
    if (squares.size() > count)
        squares.resize(count);
    return squares;
}

void CombatPlacement::place(Scene* scene, const Character* avatar, const std::list<Character*>& members,
                            const std::vector<TilePos>& awayFrom, std::list<Character*>* leftOut)
{
    withdraw(scene);
    _scene = scene;
    std::list<Character*> coming;
    for (Character* member : members)
        if (member && member != avatar && !(scene && scene->getEntity(member->getId())))
            coming.push_back(member);
    if (coming.empty())
        return;
    std::vector<TilePos> squares;
    if (scene && avatar)
        squares = freeSquaresNear(scene->getLevelMap(), &scene->getEntities(), TilePos::of(avatar->getPosition()),
                                  coming.size(), awayFrom);
    size_t next = 0;
    for (Character* member : coming)
    {
        // Squares exist only with a scene and an avatar; the check says so
        // where they are used.
        if (next >= squares.size() || !scene || !avatar)
        {
            Log::warn() << "CombatPlacement::place - No open square near the avatar for " << member->getId()
                        << "; it sits this fight out" << std::endl;
            if (leftOut)
                leftOut->push_back(member);
            continue;
        }
        const TilePos square = squares[next++];
        if (member->isRemoved())
        {
            member->revive();
            _revived.push_back(member);
        }
        scene->insertEntity(member, square.row, square.col);
        member->setFacing(avatar->getFaceDirection());
        _placed.push_back(member);
    }
}

void CombatPlacement::withdrawFallen(const std::list<Character*>& fallen)
{
    // A body left on its square could shut a narrow passage for the rest of
    // the fight, leaving neither side able to reach the other.
    if (!_scene)
        return;
    for (Character* member : fallen)
        if (std::find(_placed.begin(), _placed.end(), member) != _placed.end() &&
            _scene->getEntity(member->getId()) == member)
            _scene->withdrawEntity(member->getId());
}

void CombatPlacement::withdraw(Scene* current)
{
    for (Character* member : _placed)
        if (_scene && _scene == current && _scene->getEntity(member->getId()) == member)
            _scene->withdrawEntity(member->getId());
    // Out of the fight, a recruit is again out of every scene for good, as
    // the scene it was met in left it.
    for (Character* member : _revived)
        member->kill();
    _revived.clear();
    _placed.clear();
    _scene = nullptr;
}
}
