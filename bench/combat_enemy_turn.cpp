#include <benchmark/benchmark.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "data/Ability.h"
#include "data/Character.h"
#include "combat/EnemyPlanner.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

// The decisions of one enemy turn: twenty enemies on a 100 x 100 map with
// walls, each finding its target, a shortest walk and its ability. The walk
// itself is paced over frames; this is the part that must fit in one.
namespace
{
struct Battlefield
{
    Battlefield(int size, int enemies)
    {
        auto* grid = new core::PassabilityMap(size, size);
        for (int r = 0; r < size; ++r)
            for (int c = 0; c < size; ++c)
            {
                // Walls every eight columns with a gap every eight rows.
                const bool wall = c % 8 == 4 && r % 8 != 0;
                grid->setSides(r, c, !wall, !wall, !wall, !wall);
            }
        map.reset(new LevelMap(MapLayers(), grid, nullptr));
        club.reset(new core::Ability("club", "", 2, 1, 5, 4, 9, 0, 1));
        club->setTargetType("target");
        bow.reset(new core::Ability("bow", "", 6, 1, 5, 2, 5, 0, 1));
        bow->setTargetType("target");
        hero = add("hero", size / 2, size / 2, false);
        for (int i = 0; i < enemies; ++i)
            foes.push_back(add("foe" + std::to_string(i), (i * 37) % size, (i * 53) % size + (i % 2), i % 3 == 0));
    }

    core::Character* add(const std::string& id, int row, int col, bool ranged)
    {
        people.emplace_back(new core::Character(id, false));
        core::Character* c = people.back().get();
        c->addHP(true, 20);
        c->addHP(false, 20);
        c->addFatigue(false, 10);
        c->addMove(4);
        c->addAbility(club.get());
        c->addAbility(bow.get());
        if (ranged)
            c->setBehaviour("ranged");
        c->setPosition(row, col);
        standing[id] = c;
        return c;
    }

    std::unique_ptr<LevelMap> map;
    std::unique_ptr<core::Ability> club;
    std::unique_ptr<core::Ability> bow;
    std::vector<std::unique_ptr<core::Character>> people;
    core::EntityMap standing;
    core::Character* hero = nullptr;
    std::vector<core::Character*> foes;
};
}

static void BM_EnemyTurn20On100x100(benchmark::State& state)
{
    Battlefield field(100, 20);
    const std::list<core::Character*> party{field.hero};
    for (auto _ : state)
    {
        core::EnemyPlanner planner(field.map.get(), &field.standing);
        for (core::Character* foe : field.foes)
            benchmark::DoNotOptimize(planner.plan(foe, party));
    }
}
BENCHMARK(BM_EnemyTurn20On100x100)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
