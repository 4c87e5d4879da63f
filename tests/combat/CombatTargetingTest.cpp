#include "combat/CombatTargeting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "data/Ability.h"
#include "data/Character.h"
#include "combat/CombatSides.h"
#include "combat/EnemyPlanner.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

using core::Character;
using core::TilePos;
using Squares = std::vector<TilePos>;
using Names = std::vector<std::string>;

namespace
{
// A 5 x 5 open field: the hero at (2, 2); enemies a at (0, 0), b at (0, 1)
// and c at (4, 4).
class Field
{
public:
    Field() : map(new LevelMap(MapLayers(), new core::PassabilityMap(5, 5), nullptr))
    {
        Character* hero = person("hero", {2, 2});
        enemies = {person("a", {0, 0}), person("b", {0, 1}), person("c", {4, 4})};
        sides.begin(hero, &enemies);
    }

    Character* person(const std::string& id, TilePos at)
    {
        people.emplace_back(new Character(id, false));
        people.back()->setPosition(at.row, at.col);
        return people.back().get();
    }

    core::Ability* ability(const std::string& type, int range, int radius)
    {
        abilities.emplace_back(new core::Ability(type, "", range, radius, 0, 0, 0, 0, 0));
        abilities.back()->setTargetType(type);
        return abilities.back().get();
    }

    Names targets() const
    {
        Names ids;
        for (const Character* c : targeting.targets())
            ids.push_back(c->getId());
        return ids;
    }

    Squares lit() const
    {
        Squares squares = targeting.highlightedTiles();
        std::sort(squares.begin(), squares.end(),
                  [](TilePos x, TilePos y) { return x.row != y.row ? x.row < y.row : x.col < y.col; });
        return squares;
    }

    std::unique_ptr<LevelMap> map;
    std::vector<std::unique_ptr<Character>> people;
    std::vector<std::unique_ptr<core::Ability>> abilities;
    std::list<Character*> enemies;
    core::CombatSides sides;
    core::CombatTargeting targeting{sides, [this] { return map.get(); }};
};
}

namespace core
{
void PrintTo(const TilePos& square, std::ostream* out)
{
    *out << "(" << square.row << "," << square.col << ")";
}
}

TEST(CombatTargeting, EachShapeTakesInItsCharactersAndLightsOnlyTheMap)
{
    struct Case
    {
        const char* what;
        const char* type;
        int range;
        int radius;
        Squares clicks;
        bool lastResult;
        Names targets;
        Squares lit;
    };
    const Case cases[] = {
        {"burst in a corner", "burst", 9, 1, {{0, 0}}, true, {"a"}, {{0, 0}, {0, 1}, {1, 0}}},
        {"burst takes in the user too",
         "burst",
         9,
         2,
         {{1, 2}},
         true,
         {"hero"},
         {{0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 1}, {2, 2}, {2, 3}, {3, 2}}},
        {"burst placed once", "burst", 9, 0, {{0, 0}, {4, 4}}, false, {}, {{0, 0}}},
        {"burst out of range", "burst", 2, 1, {{0, 0}}, true, {}, {}},
        {"line up to the top edge", "line", 4, 0, {{0, 2}}, true, {}, {{0, 2}, {1, 2}}},
        {"diagonal line takes in who stands on it", "line", 4, 0, {{1, 1}}, true, {"a"}, {{0, 0}, {1, 1}}},
        {"line as far as its range", "line", 2, 0, {{0, 2}}, true, {}, {{1, 2}}},
        {"line off the straight by half goes diagonally", "line", 9, 0, {{1, 4}}, true, {}, {{0, 4}, {1, 3}}},
        {"line drawn once", "line", 4, 0, {{0, 2}, {2, 0}}, false, {}, {{0, 2}, {1, 2}}},
        {"line on the user's own square", "line", 4, 0, {{2, 2}}, true, {}, {}},
        {"target capped by radius", "target", 9, 2, {{0, 0}, {0, 1}, {4, 4}}, true, {"a", "b"}, {{0, 0}, {0, 1}}},
        {"target on an empty square", "target", 9, 1, {{1, 2}}, false, {}, {}},
        {"target out of range", "target", 3, 1, {{0, 1}}, true, {}, {}},
        {"ally only from the party", "ally", 9, 1, {{0, 0}, {2, 2}}, true, {"hero"}, {{2, 2}}},
        {"ally taken once however often clicked", "ally", 9, 3, {{2, 2}, {2, 2}}, true, {"hero"}, {{2, 2}}},
        {"self takes the user wherever the click", "self", 9, 1, {{0, 0}}, true, {"hero"}, {{2, 2}}},
        {"unknown shape", "cone", 9, 1, {{0, 0}}, true, {}, {}},
        // The largest radius and range the data files allow: the shape is
        // cut to the map instead of being walked square by square.
        {"burst as wide as the data allows",
         "burst",
         9,
         1000000,
         {{0, 0}},
         true,
         {"hero", "a", "b", "c"},
         {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {2, 0}, {2, 1}, {2, 2},
          {2, 3}, {2, 4}, {3, 0}, {3, 1}, {3, 2}, {3, 3}, {3, 4}, {4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4}}},
        {"line as long and wide as the data allows", "line", 1000000, 1000000, {{0, 2}}, true, {}, {{0, 2}, {1, 2}}},
        {"diagonal line as long as the data allows stops at the map's corner",
         "line",
         1000000,
         0,
         {{3, 3}},
         true,
         {"c"},
         {{3, 3}, {4, 4}}},
    };
    for (const Case& c : cases)
    {
        Field field;
        const core::Ability* ability = field.ability(c.type, c.range, c.radius);
        field.targeting.begin(*ability, *field.sides.party().front());
        bool result = false;
        for (TilePos click : c.clicks)
            result = field.targeting.click(*ability, *field.sides.party().front(), click);
        EXPECT_EQ(result, c.lastResult) << c.what;
        EXPECT_EQ(field.targets(), c.targets) << c.what;
        EXPECT_EQ(field.lit(), c.lit) << c.what;
        field.targeting.unHighlightTiles();
        EXPECT_TRUE(field.targeting.highlightedTiles().empty()) << c.what;
    }
}

TEST(CombatTargeting, ALineRunsInTheNearestOfEightDirectionsWithinRangeAndMap)
{
    struct Case
    {
        const char* what;
        TilePos towards;
        int range;
        Squares squares;
    };
    const Case cases[] = {
        {"steep click goes straight down", {9, 5}, 9, {{3, 2}, {4, 2}}},
        {"flat click goes straight left", {1, -7}, 9, {{2, 1}, {2, 0}}},
        {"even click goes diagonally", {0, 0}, 9, {{1, 1}, {0, 0}}},
        {"range 3 reaches two squares straight", {2, 4}, 3, {{2, 3}, {2, 4}}},
        {"range 3 reaches one square diagonally", {4, 4}, 3, {{3, 3}}},
        {"range 1 reaches nothing", {2, 4}, 1, {}},
        {"no range reaches nothing", {2, 4}, 0, {}},
        {"the user's own square is no direction", {2, 2}, 9, {}},
    };
    for (const Case& c : cases)
    {
        Field field;
        EXPECT_EQ(field.targeting.lineSquares({2, 2}, c.towards, c.range), c.squares) << c.what;
    }
}

TEST(CombatTargeting, AnEnemyBlowLandsOnlyOnThePartyWithinReach)
{
    Field field;
    Character* hero = field.sides.party().front();
    Character* c = field.enemies.back();
    core::EnemyPlan plan;
    plan.target = hero;
    plan.ability = field.ability("burst", 4, 2);
    EXPECT_TRUE(field.targeting.canStrike(c, plan)) << "(4, 4) to (2, 2) is 3 away";
    EXPECT_EQ(field.targeting.struckBy(plan), std::list<Character*>{hero});

    plan.ability = field.ability("target", 3, 1);
    EXPECT_FALSE(field.targeting.canStrike(c, plan)) << "out of reach";
    plan.target = field.enemies.front();
    plan.ability = field.ability("target", 9, 1);
    EXPECT_FALSE(field.targeting.canStrike(c, plan)) << "enemies do not strike each other";
    EXPECT_FALSE(field.targeting.canStrike(nullptr, plan));

    plan.ability = field.ability("burst", 9, 1);
    field.targeting.markBlow(plan);
    EXPECT_EQ(field.lit(), (Squares{{0, 0}, {0, 1}, {1, 0}})) << "a burst at the corner keeps to the map";
    EXPECT_EQ(field.targeting.struckBy(plan), (std::list<Character*>{field.enemies.front()}));
    plan.ability = field.ability("target", 9, 1);
    field.targeting.markBlow(plan);
    EXPECT_EQ(field.lit(), (Squares{{0, 0}})) << "a single blow lights its target's square alone";
}
