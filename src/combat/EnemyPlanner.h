#pragma once

#include <list>
#include <vector>

#include "combat/CombatPathfinder.h"
#include "map/Direction.h"
#include "world/Entity.h"
#include "world/TilePos.h"

class LevelMap;

namespace core
{
class Ability;
class Character;

// What one enemy does with its turn: whom it goes for, the steps it walks
// and the ability it then uses (none when nothing reaches).
struct EnemyPlan
{
    Character* target = nullptr;
    std::vector<Direction> steps;
    Ability* ability = nullptr;
};

// Decides enemy turns from the character's behaviour: "melee" walks up and
// uses its hardest-hitting ability, "ranged" keeps its distance and uses its
// longest reach, "coward" runs from the party below a quarter of its hit
// points, "idle" does nothing. Every walk is a shortest one over open
// squares, around everybody standing in the scene.
class EnemyPlanner
{
public:
    // The planner takes the map and where everybody stands when it is asked.
    EnemyPlanner(const LevelMap* map, const EntityMap* standing);

    EnemyPlan plan(Character* enemy, const std::list<Character*>& party);

    // The nearest party member by grid distance; ties go to the lowest hit
    // points, then to the first in the list. Null without a living member.
    static Character* chooseTarget(const Character* enemy, const std::list<Character*>& party);
    // Whether the ability, used from `from`, reaches a character on `target`.
    static bool reaches(const Ability& ability, const TilePos& from, const TilePos& target);
    // Enabled abilities the enemy can pay for that hurt a chosen square.
    static std::vector<Ability*> usableAbilities(const Character& enemy);

private:
    void searchFrom(Character* enemy);
    EnemyPlan fightPlan(Character* enemy, Character* target, bool keepDistance);
    // Within the move the last search covered, the square farthest from
    // every party member.
    EnemyPlan fleePlan(const std::list<Character*>& party);
    // Walks towards the nearest square from which `ability` (or, without
    // one, a blow from the next square) reaches the target, as far as the
    // enemy's move allows.
    std::vector<Direction> approach(const Character& enemy, const Ability* ability, const TilePos& target);
    static int nearestMemberDistance(const TilePos& square, const std::list<Character*>& party);

    const EntityMap* _standing;
    CombatPathfinder _paths;
};
}
