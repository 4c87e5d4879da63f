#include "combat/CombatSnapshot.h"

#include "data/Character.h"
#include "world/Scene.h"

namespace core
{
void CombatSnapshot::take(const std::list<Character*>& party, const std::list<Character*>* enemies)
{
    clear();
    for (Character* member : party)
        if (member)
            _states[member] = State{member->getHP(false), member->getFatigue(false), TilePos::of(member->getPosition()),
                                    member->getFaceDirection()};
    if (enemies)
        for (Character* enemy : *enemies)
            if (enemy)
                _places[enemy->getId()] = Place{TilePos::of(enemy->getPosition()), enemy->getFaceDirection()};
}

void CombatSnapshot::restore(const Scene* scene) const
{
    // Enemies first: a member put back fires the trigger of its square,
    // whose script may look at who stands where.
    if (scene)
        for (const auto& entry : _places)
            if (Entity* enemy = scene->getEntity(entry.first))
                putBack(enemy, entry.second);
    for (const auto& entry : _states)
    {
        Character* member = entry.first;
        const State& state = entry.second;
        member->addHP(false, state.hp - member->getHP(false));
        member->addFatigue(false, state.fatigue - member->getFatigue(false));
        putBack(member, Place{state.square, state.facing});
    }
}

void CombatSnapshot::putBack(Entity* character, const Place& place)
{
    if (!character->getScene())
        return;
    character->setPosition(place.square.row, place.square.col);
    character->setFacing(place.facing);
}
}
