#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "EntityTestSupport.h"
#include "script/LuaInterface.h"

using entitytest::TestEntity;
using entitytest::TestScene;

namespace
{
// The region of wander.tmx: rows 3-5, columns 3-5.
bool insideRegion(const glm::vec2& tile)
{
    return tile.x >= 3 && tile.x <= 5 && tile.y >= 3 && tile.y <= 5;
}

// One frame as the session runs it: the step advances with no "obj" set,
// then the think script calls wander with "obj" naming the wanderer.
void thinkAndStep(core::Entity& npc, int chance)
{
    npc.updatePosition();
    core::LuaInterface::registerAlias(npc.getLuaRef(), "obj");
    npc.wander(chance);
    core::LuaInterface::clearAlias("obj");
}
}

TEST(WanderRegionTest, WandererStaysInsideItsRegionOverManySteps)
{
    TestScene scene("wander.tmx");
    TestEntity npc("villager");
    scene->insertEntity(&npc, 4, 4);
    entitytest::clearRand();
    entitytest::seedFallbackRand(20261207u);

    std::set<std::pair<int, int>> visited;
    int attemptsOutward = 0;
    for (int frame = 0; frame < 3000; ++frame)
    {
        thinkAndStep(npc, 50);
        const glm::vec2 tile = npc.getPosition();
        ASSERT_TRUE(insideRegion(tile)) << "left the region at frame " << frame << ": (" << tile.x << ", " << tile.y
                                        << ")";
        visited.insert({static_cast<int>(tile.x), static_cast<int>(tile.y)});
        if (!npc.isMoving() && (tile.x == 3 || tile.x == 5 || tile.y == 3 || tile.y == 5))
            ++attemptsOutward;
    }
    // It really wandered: all nine cells were reached, edges included.
    EXPECT_EQ(9u, visited.size());
    EXPECT_GT(attemptsOutward, 0);
}

TEST(WanderRegionTest, RegionCellReadmitsOnlyThroughTheWanderer)
{
    TestScene scene("wander.tmx");
    TestEntity npc("villager");
    scene->insertEntity(&npc, 3, 3);
    npc.setIsInWanderRegion(false);

    // Up from (3, 3) leaves the region: the flag stays clear and no step starts.
    entitytest::queueRand({0, 0});
    thinkAndStep(npc, 100);
    EXPECT_FALSE(npc.isMoving());
    EXPECT_FLOAT_EQ(3.0f, npc.getPosition().x);

    // Right from (3, 3) lands in the region, whose script lets it in.
    entitytest::queueRand({0, 1});
    thinkAndStep(npc, 100);
    EXPECT_TRUE(npc.isMoving());
    EXPECT_EQ(core::RIGHT, npc.getFaceDirection());
    EXPECT_FALSE(npc.isInWanderRegion());

    // Without "obj" (the step end, or the avatar) the region's script does nothing.
    EXPECT_TRUE(npc.checkTriggers(4, 4));
    EXPECT_FALSE(npc.isInWanderRegion());

    // The avatar fires region cells too, harmlessly.
    TestEntity hero("hero");
    hero.setIsAvatar(true);
    scene->insertEntity(&hero, 5, 5);
    EXPECT_TRUE(hero.checkTriggers());
    EXPECT_FALSE(hero.checkTriggers(6, 6));
}
