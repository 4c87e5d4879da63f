#include "combat/CombatSimulation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data/Ability.h"
#include "data/Character.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

using core::Character;
using core::CombatSimulation;
using core::TilePos;

namespace
{
// An open 8 x 8 field with a hero at (0, 0) and a foe at (7, 7), each with
// the hit points, attack and blow the case gives.
class Arena
{
public:
    Arena()
    {
        auto* grid = new core::PassabilityMap(8, 8);
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                grid->setSides(r, c, true, true, true, true);
        map.reset(new LevelMap(MapLayers(), grid, nullptr));
    }

    Character* fighter(const std::string& id, TilePos at, int hp, int attack, int damage, const char* behaviour)
    {
        people.emplace_back(new Character(id, false));
        Character* c = people.back().get();
        c->setPosition(at.row, at.col);
        c->addHP(true, hp);
        c->addHP(false, hp);
        c->addAttack(attack);
        c->addMove(3);
        c->setBehaviour(behaviour);
        if (damage > 0)
        {
            blows.emplace_back(new core::Ability(id + "Blow", "", 2, 1, 0, damage, damage, 0, 0));
            blows.back()->setTargetType("target");
            c->addAbility(blows.back().get());
        }
        return c;
    }

    std::unique_ptr<LevelMap> map;
    std::vector<std::unique_ptr<Character>> people;
    std::vector<std::unique_ptr<core::Ability>> blows;
};
}

TEST(CombatSimulation, TheStrongerSideWinsAndEveryFighterIsPutBackAfterwards)
{
    struct Case
    {
        const char* what;
        int heroHp, heroDamage;
        int foeHp, foeDamage;
        const char* foeBehaviour;
        bool won;
        int minRounds, maxRounds;
    };
    // Attack 1000 never misses; blows do exactly their damage.
    const Case cases[] = {
        {"a hero who fells the foe in two blows", 30, 10, 20, 1, "melee", true, 2, 4},
        {"a foe who fells the hero first", 10, 1, 50, 10, "melee", false, 2, 4},
        {"nobody can hurt anybody", 10, 0, 10, 0, "melee", false, CombatSimulation::MAX_ROUNDS,
         CombatSimulation::MAX_ROUNDS},
        // 13 squares to walk at 3 a round: the first blow in round 5.
        {"an idle foe waits to be felled", 10, 5, 10, 5, "idle", true, 6, 6},
    };
    for (const Case& c : cases)
    {
        Arena arena;
        Character* hero = arena.fighter("hero", {0, 0}, c.heroHp, 1000, c.heroDamage, "idle");
        Character* foe = arena.fighter("foe", {7, 7}, c.foeHp, 1000, c.foeDamage, c.foeBehaviour);
        CombatSimulation::Result result;
        {
            CombatSimulation simulation(arena.map.get(), {hero}, {foe});
            std::srand(3);
            result = simulation.play();
            EXPECT_EQ(result.won, c.won) << c.what;
            EXPECT_GE(result.rounds, c.minRounds) << c.what;
            EXPECT_LE(result.rounds, c.maxRounds) << c.what;
            EXPECT_EQ(hero->getHP(false), c.heroHp) << c.what << ": the next run starts afresh";
            EXPECT_EQ(foe->getHP(false), c.foeHp) << c.what;
            EXPECT_EQ(TilePos::of(hero->getPosition()), (TilePos{0, 0})) << c.what;
            EXPECT_EQ(TilePos::of(foe->getPosition()), (TilePos{7, 7})) << c.what;
            std::srand(3);
            const CombatSimulation::Result again = simulation.play();
            EXPECT_EQ(again.won, result.won) << c.what << ": the same seed plays the same fight";
            EXPECT_EQ(again.rounds, result.rounds) << c.what;
        }
        EXPECT_EQ(hero->getBehaviour(), "idle") << c.what << ": the party's own behaviour is given back";
    }
}

TEST(CombatSimulation, ThoseDownAlreadySitTheFightOut)
{
    Arena arena;
    Character* hero = arena.fighter("hero", {0, 0}, 10, 1000, 5, "idle");
    Character* down = arena.fighter("down", {0, 1}, 0, 1000, 50, "idle");
    Character* foe = arena.fighter("foe", {7, 7}, 10, 1000, 0, "idle");
    CombatSimulation simulation(arena.map.get(), {hero, down}, {foe});
    std::vector<std::string> blows;
    simulation.setTrace(
        [&blows](const std::string& line)
        {
            if (line.rfind("round", 0) != 0)
                blows.push_back(line.substr(0, line.find(':')));
        });
    const CombatSimulation::Result result = simulation.play();
    EXPECT_TRUE(result.won);
    ASSERT_EQ(blows.size(), 2u) << "two blows of 5 fell a foe of 10";
    for (const std::string& blow : blows)
        EXPECT_EQ(blow, "hero uses heroBlow on foe");
}
