#pragma once

#include <functional>
#include <list>
#include <set>
#include <utility>
#include <vector>

#include "world/TilePos.h"

class LevelMap;

namespace core
{
class Ability;
class Character;
class CombatSides;
struct EnemyPlan;

// Aims an ability on a fight's grid: which characters each click takes in
// for the ability's area shape, and which squares light up on the map.
//
// Shapes: "target" takes the character clicked, up to `radius` of them;
// "ally" a party member clicked, each once, up to `radius` of them (at least
// one); "burst" everybody within `radius` of the square clicked, once;
// "line" everybody on the squares in a straight line from the user towards
// the click (one of the eight directions), out to the ability's range, once;
// "self" the user, taken in as soon as the ability is chosen. Squares off
// the map are never lit.
class CombatTargeting
{
public:
    // The map is looked up on every use, since the scene may change under a fight.
    using MapSource = std::function<LevelMap*()>;

    CombatTargeting(const CombatSides& sides, MapSource currentMap);

    // Takes in what the shape holds before any click: the user of a "self"
    // ability.
    void begin(const Ability& ability, Character& user);
    // False when the click found nobody where the shape needs somebody.
    bool click(const Ability& ability, const Character& user, TilePos square);
    // The squares of a line from `user` towards `towards`, snapped to the
    // nearest of the eight directions, nearest first, while they lie within
    // `range` (grid distance below it) and on the map; empty for the user's
    // own square.
    std::vector<TilePos> lineSquares(TilePos user, TilePos towards, int range) const;

    // An enemy's planned blow: whether it still lands on a party member from
    // where the enemy stands, whom it takes in (the target alone, or everybody
    // its burst reaches), and the squares it lights while the enemy aims.
    bool canStrike(const Character* foe, const EnemyPlan& plan) const;
    std::list<Character*> struckBy(const EnemyPlan& plan) const;
    void markBlow(const EnemyPlan& plan);

    void highlightTile(TilePos square);
    void unHighlightTiles();
    void clearTargets() { _targets.clear(); }

    const std::list<Character*>& targets() const { return _targets; }
    const std::vector<TilePos>& highlightedTiles() const { return _highlightedTiles; }

private:
    bool clickSingleTarget(Character* clicked, int radius);
    bool clickAlly(Character* clicked, int radius);
    bool clickBurst(TilePos centre, int radius);
    bool clickLine(const Character& user, TilePos towards, int range);
    // Lights every square within `radius` of the centre.
    void highlightBurst(TilePos centre, int radius);
    // How many steps from `start` in direction `step` (+1 or -1) stay on the
    // map's rows (or columns), at most `wanted`. A shape's loops are bounded
    // by it, so a huge radius in the data costs no more than the map.
    int stepsOnMap(int start, int step, int wanted, bool rows) const;

    const CombatSides& _sides;
    MapSource _currentMap;
    // Borrowed from the sides of the fight.
    std::list<Character*> _targets;
    std::vector<TilePos> _highlightedTiles;
    // The same squares as (row, column), so that lighting a large shape does
    // not search the list once per square.
    std::set<std::pair<int, int>> _lit;
};
}
