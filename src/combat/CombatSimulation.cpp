#include "combat/CombatSimulation.h"

#include <algorithm>
#include <string>
#include <utility>

#include "combat/CombatDistance.h"
#include "combat/EnemyPlanner.h"
#include "data/Ability.h"
#include "data/Character.h"

namespace core
{
namespace
{
TilePos squareOf(const Entity* entity)
{
    return TilePos::of(entity->getPosition());
}

bool standingUp(const Character* c)
{
    return c && c->getHP(false) >= 1;
}
}

CombatSimulation::CombatSimulation(const LevelMap* map, std::vector<Character*> party, std::vector<Character*> enemies,
                                   std::vector<Entity*> bystanders)
    : _map(map), _partyAtStart(std::move(party)), _enemiesAtStart(std::move(enemies)),
      _bystanders(std::move(bystanders))
{
    for (const std::vector<Character*>* side : {&_partyAtStart, &_enemiesAtStart})
        for (Character* c : *side)
            if (c)
                _start[c] = State{c->getHP(false), c->getFatigue(false), squareOf(c), c->getBehaviour()};
    // The player's side has no behaviour of its own: it goes for the enemy
    // as a fighter that walks up and strikes.
    for (Character* member : _partyAtStart)
        if (member && member->getBehaviour() == "idle")
            member->setBehaviour("melee");
}

CombatSimulation::~CombatSimulation()
{
    restore();
    for (auto& entry : _start)
        entry.first->setBehaviour(entry.second.behaviour);
}

void CombatSimulation::restore()
{
    for (auto& entry : _start)
    {
        Character* c = entry.first;
        const State& state = entry.second;
        c->addHP(false, state.hp - c->getHP(false));
        c->addFatigue(false, state.fatigue - c->getFatigue(false));
        c->setPosition(state.square.row, state.square.col);
    }
}

CombatSimulation::Result CombatSimulation::play()
{
    restore();
    _party.clear();
    _enemies.clear();
    // Those down already sit the fight out, as they would on screen.
    for (Character* c : _partyAtStart)
        if (standingUp(c))
            _party.push_back(c);
    for (Character* c : _enemiesAtStart)
        if (standingUp(c))
            _enemies.push_back(c);
    Result result;
    while (!_party.empty() && !_enemies.empty() && result.rounds < MAX_ROUNDS)
    {
        ++result.rounds;
        if (_trace)
            _trace("round " + std::to_string(result.rounds));
        for (Character* member : std::vector<Character*>(_party.begin(), _party.end()))
            act(member, _enemies);
        for (Character* foe : std::vector<Character*>(_enemies.begin(), _enemies.end()))
            act(foe, _party);
    }
    result.won = !_party.empty() && _enemies.empty();
    restore();
    return result;
}

void CombatSimulation::act(Character* actor, std::list<Character*>& opponents)
{
    if (!standingUp(actor) || opponents.empty())
        return;
    actor->tickEffects();
    removeFallen();
    if (!standingUp(actor))
        return;
    const EntityMap everybody = standing();
    EnemyPlanner planner(_map, &everybody);
    const EnemyPlan plan = planner.plan(actor, opponents);
    walk(actor, plan.steps);
    strike(actor, plan);
    removeFallen();
}

void CombatSimulation::walk(Character* actor, const std::vector<Direction>& steps)
{
    for (Direction step : steps)
    {
        const TilePos next = squareOf(actor).neighbour(step);
        if (occupied(next))
            return;
        actor->setPosition(next.row, next.col);
    }
}

void CombatSimulation::strike(Character* actor, const EnemyPlan& plan)
{
    if (!plan.ability || !standingUp(plan.target) ||
        !EnemyPlanner::reaches(*plan.ability, squareOf(actor), squareOf(plan.target)))
        return;
    std::list<Character*> struck;
    if (plan.ability->getTargetType() == "burst")
    {
        for (const std::list<Character*>* side : {&_party, &_enemies})
            for (Character* c : *side)
                if (combatDistance(squareOf(c), squareOf(plan.target)) < plan.ability->getRadius())
                    struck.push_back(c);
    }
    else
    {
        struck.push_back(plan.target);
    }
    std::string text = plan.ability->resolveAttack(struck, actor);
    if (!_trace)
        return;
    // One line a blow.
    std::replace(text.begin(), text.end(), '\n', ' ');
    _trace(actor->getId() + " uses " + plan.ability->getName() + " on " + plan.target->getId() + ": " + text);
}

void CombatSimulation::removeFallen()
{
    for (std::list<Character*>* side : {&_party, &_enemies})
        side->remove_if([](const Character* c) { return !standingUp(c); });
}

EntityMap CombatSimulation::standing() const
{
    EntityMap everybody;
    for (Entity* bystander : _bystanders)
        if (bystander && !bystander->isRemoved())
            everybody[bystander->getId()] = bystander;
    for (const std::list<Character*>* side : {&_party, &_enemies})
        for (Character* c : *side)
            everybody[c->getId()] = c;
    return everybody;
}

bool CombatSimulation::occupied(const TilePos& square) const
{
    const EntityMap everybody = standing();
    return std::any_of(everybody.begin(), everybody.end(),
                       [&square](const EntityMap::value_type& entry) { return squareOf(entry.second) == square; });
}
}
