#include "combat/CombatPlacement.h"

#include "Log/Log.h"
#include "combat/CombatPathfinder.h"
#include "data/Character.h"
#include "world/Scene.h"

namespace core
{
std::vector<TilePos> CombatPlacement::freeSquaresNear(const LevelMap* map, const EntityMap* standing, TilePos around,
                                                      size_t count)
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
    for (const TilePos& square : paths.reached())
    {
        if (square == around)
            continue;
        squares.push_back(square);
        if (squares.size() == count)
            break;
    }
    return squares;
}

void CombatPlacement::place(Scene* scene, const Character* avatar, const std::list<Character*>& members,
                            std::list<Character*>* leftOut)
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
                                  coming.size());
    size_t next = 0;
    for (Character* member : coming)
    {
        if (next >= squares.size())
        {
            Log::warn() << "CombatPlacement::place - No open square near the avatar for " << member->getId()
                        << "; it sits this fight out" << std::endl;
            if (leftOut)
                leftOut->push_back(member);
            continue;
        }
        const TilePos square = squares[next++];
        scene->insertEntity(member, square.row, square.col);
        member->setFacing(avatar->getFaceDirection());
        _placed.push_back(member);
    }
}

void CombatPlacement::withdraw(Scene* current)
{
    for (Character* member : _placed)
        if (_scene && _scene == current && _scene->getEntity(member->getId()) == member)
            _scene->withdrawEntity(member->getId());
    _placed.clear();
    _scene = nullptr;
}
}
