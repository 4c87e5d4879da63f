#include <gtest/gtest.h>

#include <lua.hpp>

#include "EntityTestSupport.h"
#include "animation/TAAnimationManager.h"
#include "map/LevelMap.h"
#include "script/LuaInterface.h"
#include "script/ScriptInstance.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"

using entitytest::TestEntity;
using entitytest::TestScene;

namespace
{
class EntityStepTest : public testing::Test
{
protected:
    void SetUp() override
    {
        auto* animations = tamsyAnimation::AnimationManager::getInstance();
        for (const char* name : {"moveUp", "moveRight", "moveDown", "moveLeft"})
            animations->createAnimation(name, {glm::vec2(0, 0), glm::vec2(1, 0)});
        testsupport::clearLuaGlobal("stepCount");
        testsupport::clearLuaGlobal("lastTarget");
        testsupport::clearLuaGlobal("interactedWith");
        testsupport::clearLuaGlobal("onStep");
        entitytest::clearRand();
    }

    void TearDown() override { testsupport::clearLuaGlobal("onStep"); }

    // The maps' trigger scripts are test data, read from their folder.
    testsupport::ScriptFolder _scripts{"tests/world/data"};

    static tamsyAnimation::Animation* animation(const char* name)
    {
        return tamsyAnimation::AnimationManager::getInstance()->getAnimation(name);
    }
};

void expectTile(const core::Entity& entity, float row, float column)
{
    EXPECT_FLOAT_EQ(row, entity.getPosition().x);
    EXPECT_FLOAT_EQ(column, entity.getPosition().y);
}

int luaPlace(lua_State* ls)
{
    auto* entity = static_cast<core::Entity*>(lua_touserdata(ls, lua_upvalueindex(1)));
    entity->setPosition(static_cast<int>(luaL_checkinteger(ls, 1)), static_cast<int>(luaL_checkinteger(ls, 2)));
    return 0;
}

// Publishes place(row, column), which puts the entity on a tile the way a
// script's setPosition does.
void publishPlace(core::Entity& entity)
{
    lua_State* ls = core::LuaInterface::getInstance()->getState();
    lua_pushlightuserdata(ls, &entity);
    lua_pushcclosure(ls, luaPlace, 1);
    lua_setglobal(ls, "place");
}
}

TEST_F(EntityStepTest, FreshEntityOutsideAnySceneDoesNothing)
{
    core::Entity entity;
    EXPECT_EQ("base", entity.getType());
    EXPECT_EQ("", entity.getName());
    EXPECT_EQ(-2, entity.getLuaRef());
    EXPECT_EQ(core::RIGHT, entity.getFaceDirection());
    EXPECT_FALSE(entity.isMoving());
    EXPECT_TRUE(entity.isInWanderRegion());
    EXPECT_FALSE(entity.isAvatar());
    EXPECT_EQ(nullptr, entity.getSprite());
    EXPECT_EQ(nullptr, entity.getScene());

    EXPECT_FALSE(entity.attemptMoveDirection(core::DOWN, true));
    EXPECT_EQ(core::RIGHT, entity.getFaceDirection());
    EXPECT_FALSE(entity.canMoveDirection(core::DOWN));
    EXPECT_FALSE(entity.checkTriggers());
    entity.updatePosition();
    expectTile(entity, 0, 0);

    core::Entity other;
    EXPECT_FALSE(entity.overlaps(&other));
    EXPECT_FALSE(entity.isFacing(&other));
    EXPECT_FALSE(entity.overlaps(nullptr));

    entity.kill();
    EXPECT_TRUE(entity.isRemoved());
}

TEST_F(EntityStepTest, StepRightTakesFiveUpdatesAndFiresTheTargetTrigger)
{
    TestScene scene("open.tmx");
    TestEntity hero("hero");
    hero.setIsAvatar(true);
    scene->insertEntity(&hero, 3, 4);
    ASSERT_EQ(0, testsupport::luaInt("stepCount"));

    EXPECT_TRUE(hero.attemptMoveDirection(core::RIGHT, false));
    EXPECT_TRUE(hero.isMoving());
    EXPECT_EQ(core::RIGHT, hero.getFaceDirection());
    EXPECT_EQ(animation("moveRight"), hero.getRunner().getLoopingAnim());
    EXPECT_DOUBLE_EQ(0.05, hero.getRunner().getSpeed());

    for (int i = 0; i < 4; ++i)
        hero.updatePosition();
    expectTile(hero, 3, 4);
    EXPECT_NEAR(0.8f, hero.getOffset().y, 1e-5);
    const glm::vec2 glide = scene->getLevelMap()->getPosition(3.0, 4.8);
    EXPECT_NEAR(glide.x, hero.getSprite()->GetCoords().x, 1e-3);
    EXPECT_NEAR(glide.y, hero.getSprite()->GetCoords().y, 1e-3);

    // A request made during the step changes nothing.
    EXPECT_TRUE(hero.attemptMoveDirection(core::UP, false));
    EXPECT_EQ(core::RIGHT, hero.getFaceDirection());
    EXPECT_NEAR(0.2f, hero.getVelocity().y, 1e-6);
    EXPECT_FLOAT_EQ(0.0f, hero.getVelocity().x);
    EXPECT_EQ(0, testsupport::luaInt("stepCount"));

    hero.updatePosition();
    expectTile(hero, 3, 5);
    EXPECT_FALSE(hero.isMoving());
    EXPECT_FLOAT_EQ(0.0f, hero.getOffset().y);
    EXPECT_DOUBLE_EQ(0.0, hero.getRunner().getSpeed());
    EXPECT_EQ(1, testsupport::luaInt("stepCount"));
    EXPECT_EQ("east-door", testsupport::luaString("lastTarget"));
    const glm::vec2 centre = scene->getLevelMap()->getPosition(3.0, 5.0);
    EXPECT_NEAR(centre.x, hero.getSprite()->GetCoords().x, 1e-3);
    EXPECT_NEAR(centre.y, hero.getSprite()->GetCoords().y, 1e-3);
}

TEST_F(EntityStepTest, EntityWithoutSpriteIsNotAdvanced)
{
    TestScene scene("open.tmx");
    TestEntity ghost("ghost", false);
    scene->insertEntity(&ghost, 1, 1);
    EXPECT_TRUE(ghost.attemptMoveDirection(core::DOWN, false));
    EXPECT_TRUE(ghost.isMoving());
    for (int i = 0; i < 10; ++i)
        ghost.updatePosition();
    expectTile(ghost, 1, 1);
    EXPECT_TRUE(ghost.isMoving());
}

TEST_F(EntityStepTest, StepOffTheMapEdgeIsRefusedAfterTurning)
{
    TestScene scene("open.tmx");
    TestEntity hero("hero");
    testsupport::LogTail sound("vosk");
    scene->insertEntity(&hero, 0, 5);

    for (core::Direction direction : {core::UP, core::RIGHT})
    {
        EXPECT_TRUE(hero.attemptMoveDirection(direction, true));
        EXPECT_EQ(direction, hero.getFaceDirection());
        EXPECT_FALSE(hero.isMoving());
        EXPECT_DOUBLE_EQ(0.0, hero.getRunner().getSpeed());
        EXPECT_FLOAT_EQ(0.0f, hero.getVelocity().x);
        EXPECT_FLOAT_EQ(0.0f, hero.getVelocity().y);
        entitytest::finishStep(hero);
        expectTile(hero, 0, 5);
    }
    EXPECT_EQ(animation("moveRight"), hero.getRunner().getLoopingAnim());
    // (0, 5) is an odd tile, but a refused step makes no sound.
    EXPECT_EQ(0, sound.count("stepHard"));

    hero.setPosition(5, 0);
    EXPECT_TRUE(hero.attemptMoveDirection(core::DOWN, false));
    EXPECT_FALSE(hero.isMoving());
    EXPECT_TRUE(hero.attemptMoveDirection(core::LEFT, false));
    EXPECT_FALSE(hero.isMoving());
    EXPECT_TRUE(hero.attemptMoveDirection(core::UP, false));
    EXPECT_TRUE(hero.isMoving());
}

TEST_F(EntityStepTest, ClosedSidesOfEitherTileRefuseTheStep)
{
    TestScene scene("walls.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 2, 2);

    // (2, 2) has its right side closed.
    EXPECT_TRUE(walker.attemptMoveDirection(core::RIGHT, false));
    EXPECT_FALSE(walker.isMoving());
    EXPECT_TRUE(walker.canMoveDirection(core::LEFT));
    EXPECT_TRUE(walker.attemptMoveDirection(core::LEFT, false));
    EXPECT_TRUE(walker.isMoving());
    entitytest::finishStep(walker);
    expectTile(walker, 2, 1);

    // (3, 1) is closed on all four sides.
    EXPECT_FALSE(walker.canMoveDirection(core::DOWN));
    EXPECT_TRUE(walker.attemptMoveDirection(core::DOWN, false));
    EXPECT_FALSE(walker.isMoving());

    // (1, 3) has only its left side closed: entering from the left is refused,
    // entering from above is a valid step, and both questions say so alike.
    walker.setPosition(1, 2);
    EXPECT_FALSE(walker.canMoveDirection(core::RIGHT));
    EXPECT_TRUE(walker.attemptMoveDirection(core::RIGHT, false));
    EXPECT_FALSE(walker.isMoving());
    walker.setPosition(0, 3);
    EXPECT_TRUE(walker.canMoveDirection(core::DOWN));
    EXPECT_TRUE(walker.attemptMoveDirection(core::DOWN, false));
    EXPECT_TRUE(walker.isMoving());
    entitytest::finishStep(walker);
    expectTile(walker, 1, 3);
}

TEST_F(EntityStepTest, SceneWithoutPassabilityMapRefusesEveryStep)
{
    TestScene scene("nopass.tmx");
    ASSERT_NE(nullptr, scene->getLevelMap());
    ASSERT_EQ(nullptr, scene->getLevelMap()->getPassabilityMap());
    TestEntity walker("walker");
    scene->insertEntity(&walker, 1, 1);

    for (core::Direction direction : {core::UP, core::RIGHT, core::DOWN, core::LEFT})
    {
        EXPECT_FALSE(walker.canMoveDirection(direction));
        EXPECT_TRUE(walker.attemptMoveDirection(direction, true));
        EXPECT_FALSE(walker.isMoving());
        entitytest::finishStep(walker);
        expectTile(walker, 1, 1);
    }
}

TEST_F(EntityStepTest, PlacedOffTheMapItCannotStepBackOn)
{
    TestScene scene("walls.tmx");
    TestEntity lost("lost");
    lost.setIsAvatar(true);
    scene->insertEntity(&lost, -1, 2);
    expectTile(lost, -1, 2);
    EXPECT_FALSE(lost.canMoveDirection(core::UP));
    EXPECT_TRUE(lost.attemptMoveDirection(core::DOWN, true));
    EXPECT_FALSE(lost.isMoving());
    lost.setPosition(glm::vec2(7.6f, 40.2f));
    expectTile(lost, 8, 40);
    EXPECT_TRUE(lost.attemptMoveDirection(core::LEFT, true));
    EXPECT_FALSE(lost.isMoving());
    EXPECT_FALSE(lost.checkTriggers());
}

TEST_F(EntityStepTest, InvalidDirectionIsRefusedWithAnError)
{
    TestScene scene("open.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 2, 2);
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    EXPECT_FALSE(walker.attemptMoveDirection(static_cast<core::Direction>(7), false));
    EXPECT_FALSE(walker.canMoveDirection(static_cast<core::Direction>(-1)));
    EXPECT_EQ(core::RIGHT, walker.getFaceDirection());
    EXPECT_FALSE(walker.isMoving());
    EXPECT_NE(std::string::npos, errors.text().find("Entity::attemptMoveDirection - Invalid direction 7"));
}

TEST_F(EntityStepTest, FootstepSoundsOnEveryOtherTile)
{
    TestScene scene("open.tmx");
    TestEntity walker("walker");
    scene->insertEntity(&walker, 2, 2);

    testsupport::LogTail evenTile("vosk");
    EXPECT_TRUE(walker.attemptMoveDirection(core::RIGHT, false));
    EXPECT_EQ(0, evenTile.count("stepHard"));
    entitytest::finishStep(walker);
    expectTile(walker, 2, 3);

    testsupport::LogTail oddTile("vosk");
    EXPECT_TRUE(walker.attemptMoveDirection(core::DOWN, false));
    EXPECT_EQ(1, oddTile.count("Received request to play stepHard in 0 seconds"));
}

TEST_F(EntityStepTest, CollisionCancelsTheStepAndRunsTheRightInteractScript)
{
    TestScene scene("open.tmx");
    TestEntity hero("hero");
    TestEntity npc("npc");
    hero.setIsAvatar(true);
    hero.setInteractScript(
        std::make_unique<core::ScriptInstance>(core::TEXT, "interactedWith = 'hero script on ' .. obj.id"));
    npc.setInteractScript(
        std::make_unique<core::ScriptInstance>(core::TEXT, "interactedWith = 'npc script on ' .. obj.id"));
    scene->insertEntity(&hero, 1, 1);
    scene->insertEntity(&npc, 1, 2);

    // Without the interact flag the step is cancelled quietly.
    EXPECT_FALSE(hero.attemptMoveDirection(core::RIGHT, false));
    EXPECT_FALSE(hero.isMoving());
    EXPECT_TRUE(testsupport::luaIsNil("interactedWith"));

    // The avatar walking into an NPC runs the NPC's script about the NPC.
    EXPECT_FALSE(hero.attemptMoveDirection(core::RIGHT, true));
    EXPECT_FALSE(hero.isMoving());
    EXPECT_EQ(core::RIGHT, hero.getFaceDirection());
    expectTile(hero, 1, 1);
    EXPECT_EQ("npc script on npc", testsupport::luaString("interactedWith"));
    EXPECT_TRUE(testsupport::luaIsNil("obj"));

    // An NPC walking into the avatar runs its own script about itself.
    testsupport::clearLuaGlobal("interactedWith");
    EXPECT_FALSE(npc.attemptMoveDirection(core::LEFT, true));
    EXPECT_EQ("npc script on npc", testsupport::luaString("interactedWith"));
    EXPECT_TRUE(testsupport::luaIsNil("obj"));
    expectTile(npc, 1, 2);

    // Another entity's id is what tells them apart; the same tile elsewhere is free.
    EXPECT_TRUE(hero.attemptMoveDirection(core::DOWN, true));
    EXPECT_TRUE(hero.isMoving());
}

TEST_F(EntityStepTest, TileAStepIsHeadingForIsTakenUntilTheStepEnds)
{
    TestScene scene("open.tmx");
    TestEntity hero("hero");
    TestEntity npc("npc");
    hero.setIsAvatar(true);
    npc.setInteractScript(
        std::make_unique<core::ScriptInstance>(core::TEXT, "interactedWith = 'npc script on ' .. obj.id"));
    scene->insertEntity(&hero, 1, 1);
    scene->insertEntity(&npc, 1, 3);

    // Both make for (1,2): the one who set out first gets it.
    EXPECT_TRUE(hero.attemptMoveDirection(core::RIGHT, false));
    EXPECT_FALSE(npc.attemptMoveDirection(core::LEFT, false));
    EXPECT_FALSE(npc.isMoving());
    entitytest::finishStep(hero);
    expectTile(hero, 1, 2);
    expectTile(npc, 1, 3);
    EXPECT_FALSE(hero.overlaps(&npc));
    EXPECT_TRUE(testsupport::luaIsNil("interactedWith"));

    // The avatar walking into the tile an NPC is stepping onto meets the NPC.
    EXPECT_TRUE(npc.attemptMoveDirection(core::DOWN, false));
    EXPECT_TRUE(hero.attemptMoveDirection(core::DOWN, false));
    entitytest::finishStep(hero);
    EXPECT_FALSE(hero.attemptMoveDirection(core::RIGHT, true));
    EXPECT_FALSE(hero.isMoving());
    EXPECT_EQ("npc script on npc", testsupport::luaString("interactedWith"));
    entitytest::finishStep(npc);
    expectTile(hero, 2, 2);
    expectTile(npc, 2, 3);

    // Once there, the tile it left is free again.
    EXPECT_TRUE(hero.attemptMoveDirection(core::UP, false));
    entitytest::finishStep(hero);
    EXPECT_TRUE(hero.attemptMoveDirection(core::RIGHT, false));
    entitytest::finishStep(hero);
    expectTile(hero, 1, 3);
}

TEST_F(EntityStepTest, CollisionWithEntityWithoutScriptRunsNothing)
{
    TestScene scene("open.tmx");
    TestEntity hero("hero");
    TestEntity rock("rock");
    hero.setIsAvatar(true);
    hero.setInteractScript(std::make_unique<core::ScriptInstance>(core::TEXT, "interactedWith = 'hero'"));
    scene->insertEntity(&hero, 4, 4);
    scene->insertEntity(&rock, 3, 4);
    EXPECT_FALSE(hero.attemptMoveDirection(core::UP, true));
    EXPECT_TRUE(testsupport::luaIsNil("interactedWith"));
    EXPECT_TRUE(testsupport::luaIsNil("obj"));
}

TEST_F(EntityStepTest, TriggersFireForTheAvatarOnStepEndPlacementAndRefusal)
{
    TestScene scene("walls.tmx");
    TestEntity hero("hero");
    TestEntity npc("npc");
    hero.setIsAvatar(true);

    // Placement on the trigger fires it.
    scene->insertEntity(&hero, 0, 4);
    EXPECT_EQ(1, testsupport::luaInt("stepCount"));
    EXPECT_EQ("north-east", testsupport::luaString("lastTarget"));

    // A refused step (off the top edge) snaps and fires the tile again.
    EXPECT_TRUE(hero.attemptMoveDirection(core::UP, false));
    EXPECT_EQ(2, testsupport::luaInt("stepCount"));

    // Leaving does not fire; coming back fires at the end of the step only.
    EXPECT_TRUE(hero.attemptMoveDirection(core::DOWN, false));
    entitytest::finishStep(hero);
    EXPECT_EQ(2, testsupport::luaInt("stepCount"));
    EXPECT_TRUE(hero.attemptMoveDirection(core::UP, false));
    for (int i = 0; i < 4; ++i)
        hero.updatePosition();
    EXPECT_EQ(2, testsupport::luaInt("stepCount"));
    hero.updatePosition();
    EXPECT_EQ(3, testsupport::luaInt("stepCount"));
    EXPECT_TRUE(hero.checkTriggers());
    EXPECT_EQ(4, testsupport::luaInt("stepCount"));

    // Other entities fire only wander regions, never scripted triggers.
    hero.setPosition(4, 0);
    const int before = testsupport::luaInt("stepCount");
    scene->insertEntity(&npc, 0, 4);
    EXPECT_FALSE(npc.checkTriggers());
    EXPECT_FALSE(npc.checkTriggers(0, 4));
    EXPECT_EQ(before, testsupport::luaInt("stepCount"));

    // Cells off the grid never fire.
    EXPECT_FALSE(hero.checkTriggers(-1, 4));
    EXPECT_FALSE(hero.checkTriggers(0, 5));
}

// Walking keys and a fighter's moves go through takeStep: the trigger of the
// tile stood on fires with the attempt, started or refused, and again at the
// end of a step onto a trigger; a plain attempt that starts fires nothing.
TEST_F(EntityStepTest, APlayersStepChecksTheTileStoodOnAsItStarts)
{
    TestScene scene("walls.tmx"); // the counting trigger is at (0, 4)
    TestEntity hero("hero");
    hero.setIsAvatar(true);
    scene->insertEntity(&hero, 0, 4);
    const int placed = testsupport::luaInt("stepCount");

    const struct
    {
        const char* what;
        glm::ivec2 from;
        core::Direction direction;
        bool viaTakeStep;
        bool starts;
        int firedAtOnce;
        int firedByTheEnd;
    } cases[] = {
        {"a player's step off the trigger", {0, 4}, core::DOWN, true, true, 1, 1},
        {"a player's step refused at the edge", {0, 4}, core::UP, true, true, 2, 2},
        {"a player's step onto the trigger", {1, 4}, core::UP, true, true, 0, 1},
        {"a player's step far from the trigger", {2, 0}, core::RIGHT, true, true, 0, 0},
        {"a plain attempt off the trigger", {0, 4}, core::LEFT, false, true, 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        hero.setPosition(c.from.x, c.from.y);
        const int before = testsupport::luaInt("stepCount");
        const bool answer = c.viaTakeStep ? hero.takeStep(c.direction) : hero.attemptMoveDirection(c.direction, false);
        EXPECT_EQ(c.starts, answer);
        EXPECT_EQ(before + c.firedAtOnce, testsupport::luaInt("stepCount"));
        entitytest::finishStep(hero);
        EXPECT_EQ(before + c.firedByTheEnd, testsupport::luaInt("stepCount"));
    }
    EXPECT_GE(placed, 1) << "being placed on the trigger fires it";
}

TEST_F(EntityStepTest, OverlapAndFacingNeedTheSameSceneAndTheTileInFront)
{
    TestScene scene("open.tmx");
    TestScene elsewhere("open.tmx", "elsewhere");
    TestEntity hero("hero");
    TestEntity npc("npc");
    TestEntity stranger("stranger");
    scene->insertEntity(&hero, 2, 2);
    scene->insertEntity(&npc, 2, 3);
    elsewhere->insertEntity(&stranger, 2, 3);

    EXPECT_EQ(core::RIGHT, hero.getFaceDirection());
    EXPECT_TRUE(hero.isFacing(&npc));
    EXPECT_FALSE(hero.isFacing(&stranger));
    EXPECT_FALSE(hero.overlaps(&npc));
    EXPECT_FALSE(npc.overlaps(&stranger));

    // Only the one neighbour in front counts, not its whole column.
    npc.setPosition(4, 3);
    EXPECT_FALSE(hero.isFacing(&npc));

    hero.attemptMoveDirection(core::UP, false);
    entitytest::finishStep(hero);
    expectTile(hero, 1, 2);
    npc.setPosition(0, 2);
    EXPECT_TRUE(hero.isFacing(&npc));
    hero.attemptMoveDirection(core::LEFT, false);
    entitytest::finishStep(hero);
    npc.setPosition(1, 0);
    EXPECT_TRUE(hero.isFacing(&npc));
    hero.attemptMoveDirection(core::DOWN, false);
    entitytest::finishStep(hero);
    npc.setPosition(3, 1);
    EXPECT_TRUE(hero.isFacing(&npc));
    EXPECT_FALSE(npc.isFacing(&hero));

    TestEntity twin("twin");
    scene->insertEntity(&twin, 2, 1);
    EXPECT_TRUE(hero.overlaps(&twin));
    EXPECT_TRUE(twin.overlaps(&hero));
}

TEST_F(EntityStepTest, WanderChanceAndFlag)
{
    TestScene scene("open.tmx");
    TestEntity npc("npc");
    scene->insertEntity(&npc, 2, 2);

    // wander(0) never moves, whatever rand() gives.
    for (int value : {0, 1, 99, 100, 12345})
    {
        entitytest::queueRand({value, 2});
        npc.wander(0);
        entitytest::clearRand();
        EXPECT_FALSE(npc.isMoving());
        EXPECT_TRUE(npc.isInWanderRegion());
    }

    // The roll must be below the chance: 30 misses a 30 % chance, 129 hits it.
    entitytest::queueRand({30, 1});
    npc.wander(30);
    EXPECT_FALSE(npc.isMoving());
    EXPECT_TRUE(npc.isInWanderRegion());
    entitytest::clearRand();

    // 129 % 100 is below 30: a step in direction 6 % 4, down.
    entitytest::queueRand({129, 6});
    npc.wander(30);
    EXPECT_TRUE(npc.isMoving());
    EXPECT_EQ(core::DOWN, npc.getFaceDirection());
    EXPECT_FALSE(npc.isInWanderRegion());
    entitytest::finishStep(npc);
    expectTile(npc, 3, 2);

    // Outside any wander region the flag is never set again: no more steps.
    entitytest::queueRand({0, 1});
    npc.wander(100);
    EXPECT_FALSE(npc.isMoving());
    EXPECT_EQ(core::DOWN, npc.getFaceDirection());
    npc.setIsInWanderRegion(true);
    entitytest::queueRand({0, 3});
    npc.wander(100);
    EXPECT_TRUE(npc.isMoving());
    EXPECT_EQ(core::LEFT, npc.getFaceDirection());
    EXPECT_FALSE(npc.isInWanderRegion());
}

TEST_F(EntityStepTest, FreshEntityWanderingWithFullChanceAlwaysTriesOneStep)
{
    TestScene scene("open.tmx");
    for (int direction = 0; direction < 4; ++direction)
    {
        TestEntity npc("npc" + std::to_string(direction));
        scene->insertEntity(&npc, 2, 2);
        entitytest::queueRand({99, direction});
        npc.wander(100);
        EXPECT_TRUE(npc.isMoving());
        EXPECT_EQ(direction, static_cast<int>(npc.getFaceDirection()));
        EXPECT_FALSE(npc.isInWanderRegion());
        scene->removeEntity(npc.getId());
    }
}

TEST_F(EntityStepTest, TriggerThatPlacesItsEntityBackOnItFiresOnlyOnce)
{
    TestScene scene("open.tmx");
    TestEntity hero("hero");
    hero.setIsAvatar(true);
    scene->insertEntity(&hero, 3, 4);
    publishPlace(hero);
    core::LuaInterface::runString("onStep = function() place(3, 5) end");
    testsupport::ErrorCapture warnings(testsupport::ErrorCapture::ErrorsAndWarnings);

    hero.setPosition(3, 5);
    EXPECT_EQ(1, testsupport::luaInt("stepCount"));
    expectTile(hero, 3, 5);
    EXPECT_NE(std::string::npos,
              warnings.text().find("Entity::checkTriggers - The trigger at 3 5 is already running for entity hero"));

    // Once the script is over the tile fires as before.
    EXPECT_TRUE(hero.checkTriggers());
    EXPECT_EQ(2, testsupport::luaInt("stepCount"));

    // Sent away and straight back from inside its own script: still one firing
    // per step, and the entity ends where the script last put it.
    core::LuaInterface::runString("onStep = function() place(3, 4) place(3, 5) end");
    EXPECT_TRUE(hero.attemptMoveDirection(core::LEFT, false));
    entitytest::finishStep(hero);
    expectTile(hero, 3, 4);
    EXPECT_TRUE(hero.attemptMoveDirection(core::RIGHT, false));
    entitytest::finishStep(hero);
    EXPECT_EQ(3, testsupport::luaInt("stepCount"));
    expectTile(hero, 3, 5);
    EXPECT_FALSE(hero.isMoving());
}
