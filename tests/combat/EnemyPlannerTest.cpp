#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <list>
#include <memory>
#include <string>
#include <vector>

#include "data/Ability.h"
#include "data/Character.h"
#include "combat/CombatPathfinder.h"
#include "combat/EnemyPlanner.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

using core::Character;
using core::Direction;
using core::TilePos;

namespace
{
// A small arena drawn as text: '#' is a wall, '.' open ground.
class Arena
{
public:
    explicit Arena(const std::vector<std::string>& rows)
    {
        const int height = static_cast<int>(rows.size());
        const int width = static_cast<int>(rows.front().size());
        auto* grid = new core::PassabilityMap(height, width);
        for (int r = 0; r < height; ++r)
            for (int c = 0; c < width; ++c)
            {
                const bool open = rows[r][c] != '#';
                grid->setSides(r, c, open, open, open, open);
            }
        map.reset(new LevelMap(MapLayers(), grid, nullptr));
    }

    Character* character(const std::string& id, TilePos at, int hp = 20, int move = 3)
    {
        people.emplace_back(new Character(id, false));
        Character* c = people.back().get();
        c->addHP(true, hp);
        c->addHP(false, hp);
        c->addFatigue(true, 10);
        c->addFatigue(false, 10);
        c->addMove(move);
        c->setPosition(at.row, at.col);
        standing[id] = c;
        return c;
    }

    core::Ability* ability(const std::string& name, int range, int minDamage, int maxDamage, int cost)
    {
        abilities.emplace_back(new core::Ability(name, "", range, 1, 50, minDamage, maxDamage, 0, cost));
        abilities.back()->setTargetType("target");
        return abilities.back().get();
    }

    core::EnemyPlan plan(Character* enemy, const std::list<Character*>& party)
    {
        core::EnemyPlanner planner(map.get(), &standing);
        return planner.plan(enemy, party);
    }

    // Where the steps lead, checking that none enters a wall or a person.
    TilePos walk(Character* walker, const std::vector<Direction>& steps)
    {
        TilePos at = TilePos::of(walker->getPosition());
        for (Direction step : steps)
        {
            at = at.neighbour(step);
            EXPECT_TRUE(map->getPassabilityMap()->isPassable(at.row, at.col)) << at.row << "," << at.col;
            for (const auto& entry : standing)
                EXPECT_FALSE(entry.second != walker && TilePos::of(entry.second->getPosition()) == at)
                    << "walked through " << entry.first;
        }
        return at;
    }

    std::unique_ptr<LevelMap> map;
    core::EntityMap standing;
    std::vector<std::unique_ptr<Character>> people;
    std::vector<std::unique_ptr<core::Ability>> abilities;
};

int gridDistance(TilePos a, TilePos b)
{
    const int dr = std::abs(a.row - b.row);
    const int dc = std::abs(a.col - b.col);
    return dr + dc - std::min(dr, dc) / 2;
}
}

TEST(EnemyTargets, TheNearestThenTheWeakestThenTheFirstListed)
{
    Arena arena({"......", "......", "......", "......"});
    Character* foe = arena.character("foe", {0, 0});
    Character* near = arena.character("near", {0, 2}, 20);
    Character* far = arena.character("far", {3, 5}, 1);
    EXPECT_EQ(core::EnemyPlanner::chooseTarget(foe, {far, near}), near);

    Character* twinStrong = arena.character("strong", {2, 0}, 30);
    Character* twinWeak = arena.character("weak", {0, 2}, 5);
    near->setPosition(3, 3);
    EXPECT_EQ(core::EnemyPlanner::chooseTarget(foe, {twinStrong, twinWeak}), twinWeak) << "lowest hit points";
    Character* twinSame = arena.character("same", {1, 1}, 5);
    twinSame->setPosition(2, 0);
    EXPECT_EQ(core::EnemyPlanner::chooseTarget(foe, {twinWeak, twinSame}), twinWeak) << "then list order";
    twinWeak->addHP(false, -5);
    EXPECT_EQ(core::EnemyPlanner::chooseTarget(foe, {twinWeak, twinSame}), twinSame) << "the fallen are not chosen";
}

TEST(EnemyPaths, AShortestWalkAroundWallsAndPeople)
{
    Arena arena({".....", ".###.", "...#.", ".#.#.", "....."});
    core::CombatPathfinder paths(arena.map.get());
    paths.block({4, 1});
    paths.block({3, 0});
    paths.search({2, 0}, 100);
    EXPECT_EQ(paths.distanceTo({2, 2}), 2);
    EXPECT_EQ(paths.distanceTo({3, 2}), 3);
    EXPECT_EQ(paths.distanceTo({4, 3}), 5) << "down the gap and along the bottom";
    EXPECT_EQ(paths.distanceTo({4, 0}), -1) << "the people at (3, 0) and (4, 1) shut it in";
    EXPECT_EQ(paths.distanceTo({3, 0}), -1) << "nobody walks onto a person";
    EXPECT_EQ(paths.distanceTo({1, 1}), -1) << "a wall is never entered";
    const std::vector<Direction> steps = paths.pathTo({2, 4});
    EXPECT_EQ(steps.size(), 8u) << "round either end of the walls";
    EXPECT_TRUE(paths.pathTo({1, 2}).empty());

    paths.search({2, 0}, 2);
    EXPECT_EQ(paths.distanceTo({2, 2}), 2);
    EXPECT_EQ(paths.distanceTo({3, 2}), -1) << "beyond the two steps asked for";

    // The walk to the nearest square next to (2, 4), steered towards it.
    const auto nextToGoal = [](const TilePos& s) { return std::abs(s.row - 2) + std::abs(s.col - 4) == 1; };
    const auto bound = [](const TilePos& s) { return std::max(0, std::abs(s.row - 2) + std::abs(s.col - 4) - 1); };
    const std::vector<Direction> found = paths.findPath({2, 0}, nextToGoal, bound);
    EXPECT_EQ(found.size(), 7u);
    EXPECT_EQ(paths.distanceTo({2, 2}), 2) << "the new search replaced the old";
    paths.reset();
    paths.block({0, 2});
    paths.block({4, 2});
    EXPECT_TRUE(paths.findPath({2, 0}, nextToGoal, bound).empty()) << "both ways round are blocked";
}

TEST(EnemyPaths, TheMeleeEnemyWalksItsMoveTowardsTheTargetAndStrikesOnlyInReach)
{
    Arena arena({"..........", "..........", ".........."});
    Character* foe = arena.character("foe", {1, 0}, 20, 3);
    Character* hero = arena.character("hero", {1, 8});
    foe->addAbility(arena.ability("club", 2, 4, 8, 2));
    core::EnemyPlan far = arena.plan(foe, {hero});
    EXPECT_EQ(far.target, hero);
    EXPECT_EQ(far.steps.size(), 3u) << "its move allows three steps";
    EXPECT_EQ(far.ability, nullptr) << "still out of reach";
    EXPECT_EQ(arena.walk(foe, far.steps), (TilePos{1, 3}));

    foe->setPosition(1, 5);
    core::EnemyPlan close = arena.plan(foe, {hero});
    EXPECT_EQ(arena.walk(foe, close.steps), (TilePos{1, 7})) << "up to the next square";
    ASSERT_NE(close.ability, nullptr);
    EXPECT_EQ(close.ability->getName(), "club");
}

TEST(EnemyAbilities, TheHardestHittingAffordableAbilityThatReaches)
{
    Arena arena({".......", "......."});
    Character* foe = arena.character("foe", {0, 0}, 20, 0);
    Character* hero = arena.character("hero", {0, 1});
    foe->addAbility(arena.ability("heavy", 2, 10, 20, 8));
    foe->addAbility(arena.ability("jab", 2, 1, 3, 1));
    foe->addAbility(arena.ability("bolt", 6, 3, 6, 1));
    EXPECT_EQ(arena.plan(foe, {hero}).ability->getName(), "heavy");

    foe->addFatigue(false, -5);
    EXPECT_EQ(arena.plan(foe, {hero}).ability->getName(), "bolt") << "heavy costs more than is left";

    hero->setPosition(0, 4);
    EXPECT_EQ(arena.plan(foe, {hero}).ability->getName(), "bolt") << "only the bolt reaches, and it cannot move";
    foe->addFatigue(false, -5);
    EXPECT_EQ(arena.plan(foe, {hero}).ability, nullptr) << "nothing affordable";
}

TEST(EnemyBehaviours, RangedKeepsItsDistanceCowardsFleeAndTheIdleWait)
{
    Arena arena({"........", "........", "........"});
    Character* hero = arena.character("hero", {1, 1});
    Character* archer = arena.character("archer", {1, 2}, 20, 3);
    archer->addAbility(arena.ability("dagger", 2, 6, 9, 1));
    archer->addAbility(arena.ability("bow", 5, 2, 4, 1));
    archer->setBehaviour("ranged");
    core::EnemyPlan shot = arena.plan(archer, {hero});
    ASSERT_NE(shot.ability, nullptr);
    EXPECT_EQ(shot.ability->getName(), "bow") << "its longest reach, though the dagger hits harder";
    const TilePos stand = arena.walk(archer, shot.steps);
    EXPECT_EQ(gridDistance(stand, {1, 1}), 4) << "as far as the bow still reaches";

    archer->setBehaviour("melee");
    EXPECT_EQ(arena.plan(archer, {hero}).ability->getName(), "dagger");

    Character* coward = arena.character("coward", {1, 3}, 20, 2);
    coward->setBehaviour("coward");
    coward->addAbility(arena.ability("slap", 8, 1, 2, 1));
    EXPECT_NE(arena.plan(coward, {hero}).ability, nullptr) << "brave while healthy";
    coward->addHP(false, -16);
    core::EnemyPlan run = arena.plan(coward, {hero});
    EXPECT_EQ(run.ability, nullptr);
    EXPECT_EQ(gridDistance(arena.walk(coward, run.steps), {1, 1}), 4) << "two steps further away";
    {
        Arena corner({"..", ".."});
        Character* chaser = corner.character("chaser", {1, 1});
        Character* cornered = corner.character("cornered", {0, 0}, 20, 2);
        cornered->setBehaviour("coward");
        cornered->addAbility(corner.ability("slap", 8, 1, 2, 1));
        cornered->addHP(false, -16);
        const core::EnemyPlan turn = corner.plan(cornered, {chaser});
        EXPECT_NE(turn.ability, nullptr) << "nowhere further to run: it fights";
        EXPECT_TRUE(turn.steps.empty());
    }

    Character* idle = arena.character("idle", {0, 1});
    idle->setBehaviour("idle");
    idle->addAbility(arena.ability("poke", 2, 1, 2, 1));
    const core::EnemyPlan nothing = arena.plan(idle, {hero});
    EXPECT_TRUE(nothing.steps.empty());
    EXPECT_EQ(nothing.ability, nullptr);
    EXPECT_FALSE(idle->setBehaviour("berserk")) << "an unknown behaviour is refused";
    EXPECT_EQ(idle->getBehaviour(), "idle");
}

TEST(EnemyBehaviours, AWalledOffEnemyPasses)
{
    Arena arena({"...#...", "...#...", "...#..."});
    Character* foe = arena.character("foe", {1, 0});
    Character* hero = arena.character("hero", {1, 6});
    foe->addAbility(arena.ability("club", 2, 4, 8, 2));
    const core::EnemyPlan plan = arena.plan(foe, {hero});
    EXPECT_TRUE(plan.steps.empty());
    EXPECT_EQ(plan.ability, nullptr);
}

TEST(EnemyAbilities, ExpectedDamageFollowsTheRollsDefenceAndTags)
{
    Arena arena({"..."});
    Character* user = arena.character("user", {0, 0});
    Character* target = arena.character("target", {0, 1});
    core::Ability sure("sure", "", 2, 1, 0, 5, 6, 0, 1);
    sure.addTypeTag("autoHit");
    EXPECT_DOUBLE_EQ(sure.expectedDamage(user, target), 5.0);
    target->addDefense(2);
    EXPECT_DOUBLE_EQ(sure.expectedDamage(user, target), 3.0);
    target->addDodge(1000);
    core::Ability blocked("blocked", "", 2, 1, 0, 5, 6, 0, 1);
    EXPECT_DOUBLE_EQ(blocked.expectedDamage(user, target), 0.0) << "every roll misses";
    sure.addTypeTag("noDamage");
    EXPECT_DOUBLE_EQ(sure.expectedDamage(user, target), 0.0);
}
