#include "combat/CombatSnapshot.h"

#include "data/Character.h"

namespace core
{
void CombatSnapshot::take(const std::list<Character*>& party)
{
    _states.clear();
    for (Character* member : party)
        if (member)
            _states[member] = State{member->getHP(false), member->getFatigue(false), TilePos::of(member->getPosition()),
                                    member->getFaceDirection()};
}

void CombatSnapshot::restore() const
{
    for (const auto& entry : _states)
    {
        Character* member = entry.first;
        const State& state = entry.second;
        member->addHP(false, state.hp - member->getHP(false));
        member->addFatigue(false, state.fatigue - member->getFatigue(false));
        if (member->getScene())
        {
            member->setPosition(state.square.row, state.square.col);
            member->setFacing(state.facing);
        }
    }
}
}
