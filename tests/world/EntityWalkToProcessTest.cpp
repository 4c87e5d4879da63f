#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "EntityTestSupport.h"
#include "map/LevelMap.h"
#include "world/EntityWalkToProcess.h"
#include "script/LuaInterface.h"
#include "world/ProcessManager2.h"
#include "script/ScriptInstance.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"

using entitytest::TestEntity;
using entitytest::TestScene;

namespace
{
// One frame as the game runs it: the processes first see the entity, then
// the session advances it by one update.
std::vector<glm::ivec2> walkUntilDone(core::EntityWalkToProcess& walk, core::Entity& entity, int maxFrames = 200)
{
    std::vector<glm::ivec2> tiles;
    glm::ivec2 last(static_cast<int>(entity.getPosition().x), static_cast<int>(entity.getPosition().y));
    for (int frame = 0; frame < maxFrames && !walk.isDead(); ++frame)
    {
        walk.update(0.016);
        entity.updatePosition();
        const glm::ivec2 now(static_cast<int>(entity.getPosition().x), static_cast<int>(entity.getPosition().y));
        if (now != last)
            tiles.push_back(now);
        last = now;
    }
    return tiles;
}
}

TEST(EntityWalkToProcessTest, WalksDownFirstThenRightAndEnds)
{
    TestScene scene("open.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 0, 0);

    core::EntityWalkToProcess walk(&walker, 2, 3);
    EXPECT_EQ(core::ENTITY_WALKTO_PROCESS, walk.getType());
    const std::vector<glm::ivec2> tiles = walkUntilDone(walk, walker);

    const std::vector<glm::ivec2> expected = {{1, 0}, {2, 0}, {2, 1}, {2, 2}, {2, 3}};
    EXPECT_EQ(expected, tiles);
    EXPECT_TRUE(walk.isDead());
    EXPECT_FALSE(walker.isMoving());
    EXPECT_GT(walk.getAccumulatedTime(), 0.016 * 25 - 1e-9);
}

TEST(EntityWalkToProcessTest, WalksUpAndLeftTowardsATargetAboveAndBehind)
{
    TestScene scene("open.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 4, 4);

    core::EntityWalkToProcess walk(&walker, 3, 1);
    const std::vector<glm::ivec2> expected = {{3, 4}, {3, 3}, {3, 2}, {3, 1}};
    EXPECT_EQ(expected, walkUntilDone(walk, walker));
    EXPECT_TRUE(walk.isDead());
}

TEST(EntityWalkToProcessTest, EndsAtOnceOnTheTargetOrAtTheFirstBlockage)
{
    TestScene scene("walls.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 2, 1);

    core::EntityWalkToProcess stay(&walker, 2, 1);
    stay.update(0.016);
    EXPECT_TRUE(stay.isDead());
    EXPECT_FALSE(walker.isMoving());

    // (3, 1) below is closed and there is no column to make up: no path-finding.
    core::EntityWalkToProcess blocked(&walker, 4, 1);
    EXPECT_TRUE(walkUntilDone(blocked, walker).empty());
    EXPECT_TRUE(blocked.isDead());

    // A cell closed on one side only is entered from an open side, as the
    // player would step: (1, 3) is closed only on its left.
    walker.setPosition(0, 3);
    core::EntityWalkToProcess halfOpen(&walker, 1, 3);
    EXPECT_EQ(std::vector<glm::ivec2>{glm::ivec2(1, 3)}, walkUntilDone(halfOpen, walker));
    EXPECT_TRUE(halfOpen.isDead());

    // Down first while down is open, then right.
    walker.setPosition(2, 0);
    core::EntityWalkToProcess open(&walker, 4, 1);
    const std::vector<glm::ivec2> expected = {{3, 0}, {4, 0}, {4, 1}};
    EXPECT_EQ(expected, walkUntilDone(open, walker));
}

TEST(EntityWalkToProcessTest, AnotherEntityInTheWayEndsTheWalkAfterInteracting)
{
    TestScene scene("open.tmx");
    TestEntity walker("walker");
    TestEntity guard("guard");
    guard.setInteractScript(
        std::make_unique<core::ScriptInstance>(core::TEXT, "interactedWith = 'guard script on ' .. obj.id"));
    testsupport::clearLuaGlobal("interactedWith");
    scene->insertEntity(&walker, 0, 0);
    scene->insertEntity(&guard, 0, 2);

    core::EntityWalkToProcess walk(&walker, 0, 4);
    const std::vector<glm::ivec2> expected = {{0, 1}};
    EXPECT_EQ(expected, walkUntilDone(walk, walker));
    EXPECT_TRUE(walk.isDead());
    EXPECT_EQ("guard script on guard", testsupport::luaString("interactedWith"));
    EXPECT_TRUE(testsupport::luaIsNil("obj"));
}

TEST(EntityWalkToProcessTest, RunsThroughTheProcessManagerAndLeavesIt)
{
    TestScene scene("open.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 5, 5);

    core::ProcessManager2 manager;
    manager.addProcess(std::make_unique<core::EntityWalkToProcess>(&walker, 5, 3));
    for (int frame = 0; frame < 40 && !manager.getProcesses().empty(); ++frame)
    {
        manager.update(0.016);
        walker.updatePosition();
    }
    EXPECT_TRUE(manager.getProcesses().empty());
    EXPECT_FLOAT_EQ(5.0f, walker.getPosition().x);
    EXPECT_FLOAT_EQ(3.0f, walker.getPosition().y);
}

TEST(EntityWalkToProcessTest, NullEntityEndsTheProcessWithoutCrashing)
{
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    core::EntityWalkToProcess walk(nullptr, 1, 1);
    walk.update(0.016);
    EXPECT_TRUE(walk.isDead());
    EXPECT_NE(std::string::npos, errors.text().find("EntityWalkToProcess::update - No entity to walk"));
}

// A scripted walker meets a wall on one side of a cell only: (1, 2) is
// closed on its right, every other side of the map is open. The walker must
// neither stand pushing against the wall for ever nor pass through it; where
// another open way leads on, it takes it.
TEST(EntityWalkToProcessTest, AOneSidedWallStopsOrTurnsTheWalkerButNeverHoldsIt)
{
    const struct
    {
        const char* what;
        glm::ivec2 start;
        glm::ivec2 target;
        std::vector<glm::ivec2> path;
    } cases[] = {
        {"straight at the wall from the left: stops before it", {1, 0}, {1, 4}, {{1, 1}, {1, 2}}},
        {"from the wall's own cell, with rows to make up: goes round above", {1, 2}, {0, 4}, {{0, 2}, {0, 3}, {0, 4}}},
        {"towards the wall from the right: the closed side is the target's", {1, 5}, {1, 0}, {{1, 4}, {1, 3}}},
        {"down past the wall first, then along", {0, 2}, {2, 4}, {{1, 2}, {2, 2}, {2, 3}, {2, 4}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        TestScene scene("onesided.tmx");
        ASSERT_NE(nullptr, scene->getLevelMap());
        ASSERT_NE(nullptr, scene->getLevelMap()->getPassabilityMap());
        TestEntity walker("walker");
        scene->insertEntity(&walker, c.start.x, c.start.y);

        core::EntityWalkToProcess walk(&walker, c.target.x, c.target.y);
        EXPECT_EQ(c.path, walkUntilDone(walk, walker));
        EXPECT_TRUE(walk.isDead()) << "the walk must end rather than push against the wall";
        EXPECT_FALSE(walker.isMoving());
    }
}
