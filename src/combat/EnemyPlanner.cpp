#include "combat/EnemyPlanner.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "data/Ability.h"
#include "data/Character.h"
#include "combat/CombatDistance.h"

namespace core
{
namespace
{
// Without an ability to aim, an enemy still walks up to the next square.
const int BARE_HANDED_RANGE = 2;

TilePos squareOf(const Character& character)
{
    return TilePos::of(character.getPosition());
}

bool standing(const Character* character)
{
    return character && !character->isRemoved() && character->getHP(false) >= 1;
}
}

EnemyPlanner::EnemyPlanner(const LevelMap* map, const EntityMap* standingEntities)
    : _standing(standingEntities), _paths(map)
{
}

Character* EnemyPlanner::chooseTarget(const Character* enemy, const std::list<Character*>& party)
{
    if (!enemy)
        return nullptr;
    const TilePos from = squareOf(*enemy);
    Character* best = nullptr;
    int bestDistance = std::numeric_limits<int>::max();
    for (Character* member : party)
    {
        if (!standing(member))
            continue;
        const int d = combatDistance(from, squareOf(*member));
        if (d < bestDistance || (d == bestDistance && member->getHP(false) < best->getHP(false)))
        {
            best = member;
            bestDistance = d;
        }
    }
    return best;
}

bool EnemyPlanner::reaches(const Ability& ability, const TilePos& from, const TilePos& target)
{
    const std::string& type = ability.getTargetType();
    // A burst is centred on the target itself, so the centre's range decides.
    return (type == "target" || type == "burst") && combatDistance(from, target) < ability.getRange();
}

std::vector<Ability*> EnemyPlanner::usableAbilities(const Character& enemy)
{
    std::vector<Ability*> usable;
    for (const std::string& name : enemy.getAllAbilities())
    {
        Ability* ability = enemy.getAbility(name);
        if (!ability || !enemy.isAbilityEnabled(name) || ability->getCost() > enemy.getFatigue(false) ||
            ability->hasTypeTag("noDamage"))
            continue;
        const std::string& type = ability->getTargetType();
        if (type == "target" || type == "burst")
            usable.push_back(ability);
    }
    return usable;
}

void EnemyPlanner::searchFrom(Character* enemy)
{
    _paths.reset();
    if (_standing)
        for (const auto& entry : *_standing)
            if (entry.second && entry.second != enemy && !entry.second->isRemoved())
                _paths.block(TilePos::of(entry.second->getPosition()));
    _paths.search(squareOf(*enemy), std::max(0, enemy->getMove()));
}

EnemyPlan EnemyPlanner::plan(Character* enemy, const std::list<Character*>& party)
{
    EnemyPlan nothing;
    if (!standing(enemy) || enemy->getBehaviour() == "idle")
        return nothing;
    searchFrom(enemy);
    if (enemy->getBehaviour() == "coward" && enemy->getHP(false) * 4 < enemy->getHP(true))
    {
        // A coward with nowhere further to run turns and fights: one that
        // only waited in its corner would keep the fight from ever ending.
        EnemyPlan flight = fleePlan(party);
        if (!flight.steps.empty())
            return flight;
    }
    Character* target = chooseTarget(enemy, party);
    if (!target)
        return nothing;
    return fightPlan(enemy, target, enemy->getBehaviour() == "ranged");
}

EnemyPlan EnemyPlanner::fightPlan(Character* enemy, Character* target, bool keepDistance)
{
    EnemyPlan plan;
    plan.target = target;
    const TilePos targetSquare = squareOf(*target);
    std::vector<Ability*> abilities = usableAbilities(*enemy);
    // Hardest hitting first; one that keeps its distance tries its longest
    // reach first.
    std::stable_sort(abilities.begin(), abilities.end(),
                     [&](const Ability* a, const Ability* b)
                     {
                         if (keepDistance && a->getRange() != b->getRange())
                             return a->getRange() > b->getRange();
                         return a->expectedDamage(enemy, target) > b->expectedDamage(enemy, target);
                     });
    for (Ability* ability : abilities)
    {
        const TilePos* best = nullptr;
        int bestSpread = -1;
        for (const TilePos& square : _paths.reached())
        {
            if (!reaches(*ability, square, targetSquare))
                continue;
            if (!keepDistance)
            {
                best = &square;
                break;
            }
            // Farthest from the target, and among those the fewest steps.
            const int spread = combatDistance(square, targetSquare);
            if (spread > bestSpread)
            {
                best = &square;
                bestSpread = spread;
            }
        }
        if (best)
        {
            plan.steps = _paths.pathTo(*best);
            plan.ability = ability;
            return plan;
        }
    }
    plan.steps = approach(*enemy, abilities.empty() ? nullptr : abilities.front(), targetSquare);
    return plan;
}

std::vector<Direction> EnemyPlanner::approach(const Character& enemy, const Ability* ability, const TilePos& target)
{
    const int range = ability ? ability->getRange() : BARE_HANDED_RANGE;
    const auto inReach = [ability, &target](const TilePos& square)
    { return ability ? reaches(*ability, square, target) : combatDistance(square, target) < BARE_HANDED_RANGE; };
    // A square in reach lies at most one and a half times the range (less
    // one) from the target counted in straight steps, so no walk from `square`
    // gets there in fewer steps than this.
    const int slack = (3 * (range - 1)) / 2;
    const auto lowerBound = [&target, slack](const TilePos& square)
    { return std::max(0, std::abs(square.row - target.row) + std::abs(square.col - target.col) - slack); };
    // Empty when walled off: nowhere in reach can be walked to.
    std::vector<Direction> steps = _paths.findPath(squareOf(enemy), inReach, lowerBound);
    steps.resize(std::min(steps.size(), static_cast<size_t>(std::max(0, enemy.getMove()))));
    return steps;
}

int EnemyPlanner::nearestMemberDistance(const TilePos& square, const std::list<Character*>& party)
{
    int nearest = std::numeric_limits<int>::max();
    for (const Character* member : party)
        if (standing(member))
            nearest = std::min(nearest, combatDistance(square, squareOf(*member)));
    return nearest;
}

EnemyPlan EnemyPlanner::fleePlan(const std::list<Character*>& party)
{
    EnemyPlan plan;
    const TilePos* best = nullptr;
    // Only a square further from the party than where it stands is a flight.
    int bestDistance = nearestMemberDistance(_paths.start(), party);
    for (const TilePos& square : _paths.reached())
    {
        const int d = nearestMemberDistance(square, party);
        if (d > bestDistance)
        {
            best = &square;
            bestDistance = d;
        }
    }
    if (best)
        plan.steps = _paths.pathTo(*best);
    return plan;
}
}
