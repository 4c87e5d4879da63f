#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "input/InputContext.h"
#include "data/Character.h"
#include "combat/CombatManager.h"
#include "session/LevelInputContext.h"
#include "world/Scene.h"

using namespace sessiontest;
using namespace testsupport;

using LevelInput = SessionFixture;
using application::KEYHELD;
using application::KEYHIT;
using application::KEYLETGO;
using application::KEYUP;

namespace
{
glm::ivec2 avatarTile(core::Session& session)
{
    const glm::vec2 p = session.getAvatar()->getPosition();
    return glm::ivec2(static_cast<int>(p.x), static_cast<int>(p.y));
}
}

TEST_F(LevelInput, DisabledContextHandlesNothingAndTheAvatarStays)
{
    core::Session* session = sessionInTestA(3, 2);
    ASSERT_NE(session, nullptr);
    core::LevelInputContext* input = session->getLevelInputContext();
    session->setInputIsEnabled(false);
    for (int key : {application::KEY_W, application::KEY_A, application::KEY_D, application::KEY_Z, application::KEY_P,
                    application::KEY_C})
        EXPECT_FALSE(input->dispatch(key, KEYHIT)) << "key " << key;
    updateTimes(*session, 5);
    EXPECT_EQ(avatarTile(*session), glm::ivec2(3, 2));
    EXPECT_FALSE(session->isConsoleOpen());

    session->setInputIsEnabled(true);
    EXPECT_TRUE(input->dispatch(application::KEY_D, KEYHIT));
    updateTimes(*session, 5);
    EXPECT_EQ(avatarTile(*session), glm::ivec2(3, 3));
}

TEST_F(LevelInput, OnlyUpperCaseLettersAreConsideredAndOnlySomeAreUsed)
{
    core::Session* session = sessionInTestA(3, 2);
    ASSERT_NE(session, nullptr);
    core::LevelInputContext* input = session->getLevelInputContext();
    EXPECT_FALSE(input->dispatch('d', KEYHIT));
    EXPECT_FALSE(input->dispatch('w', KEYHELD));
    EXPECT_FALSE(input->dispatch('1', KEYHIT));
    EXPECT_FALSE(input->dispatch(application::KEY_ESC, KEYHIT));
    EXPECT_FALSE(input->dispatch(application::KEY_F, KEYHIT));
    EXPECT_FALSE(input->dispatch(application::KEY_Q, KEYHIT));
    updateTimes(*session, 5);
    EXPECT_EQ(avatarTile(*session), glm::ivec2(3, 2));
}

TEST_F(LevelInput, MovementKeysStepAndReportHandledEvenOnRelease)
{
    LogTail inputLog("input");
    core::Session* session = sessionInTestA(3, 1);
    ASSERT_NE(session, nullptr);
    core::LevelInputContext* input = session->getLevelInputContext();
    const struct
    {
        int key;
        glm::ivec2 expected;
    } steps[] = {{application::KEY_W, {2, 1}},
                 {application::KEY_D, {2, 2}},
                 {application::KEY_S, {3, 2}},
                 {application::KEY_A, {3, 1}}};
    for (const auto& step : steps)
    {
        EXPECT_TRUE(input->dispatch(step.key, KEYHIT));
        updateTimes(*session, 5);
        EXPECT_EQ(avatarTile(*session), step.expected) << "key " << step.key;
    }
    EXPECT_TRUE(inputLog.contains("got W in LevelInput1"));
    EXPECT_TRUE(inputLog.contains("got A in LevelInput1"));

    EXPECT_TRUE(input->dispatch(application::KEY_D, KEYLETGO));
    EXPECT_TRUE(input->dispatch(application::KEY_D, KEYUP));
    updateTimes(*session, 5);
    EXPECT_EQ(avatarTile(*session), glm::ivec2(3, 1)) << "a release does not walk";
}

TEST_F(LevelInput, AHeldKeyWalksTileAfterTile)
{
    core::Session* session = sessionInTestA(0, 2);
    ASSERT_NE(session, nullptr);
    core::LevelInputContext* input = session->getLevelInputContext();
    // As the input manager does: the key first goes down, then stays held,
    // offered once per frame before the session update.
    input->dispatch(application::KEY_S, KEYHIT);
    session->update();
    for (int frame = 1; frame < 15; ++frame)
    {
        EXPECT_TRUE(input->dispatch(application::KEY_S, KEYHELD));
        session->update();
    }
    EXPECT_EQ(avatarTile(*session), glm::ivec2(3, 2)) << "fifteen frames make three steps";
    EXPECT_FALSE(session->getAvatar()->isMoving());
}

TEST_F(LevelInput, WStartsAStepAndChecksTheTriggerOfTheTileStillStoodOn)
{
    clearsGlobals({"triggerCount"});
    testsupport::ScriptFolder scripts("tests/session/data");
    core::Session* session = sessionInTestA(4, 1); // the counting trigger is at (4, 1)
    ASSERT_NE(session, nullptr);
    const int afterEntering = luaIsNil("triggerCount") ? 0 : luaInt("triggerCount");
    EXPECT_GE(afterEntering, 1) << "being placed on the trigger fires it";
    EXPECT_TRUE(session->getLevelInputContext()->dispatch(application::KEY_W, KEYHIT));
    EXPECT_TRUE(session->getAvatar()->isMoving());
    EXPECT_EQ(luaInt("triggerCount"), afterEntering + 1);
    EXPECT_EQ(luaString("lastSpot"), "row4col1");
    updateTimes(*session, 5);
    EXPECT_EQ(avatarTile(*session), glm::ivec2(3, 1));
    EXPECT_EQ(luaInt("triggerCount"), afterEntering + 1) << "the new tile has no trigger";
}

TEST_F(LevelInput, ZPressedThenReleasedInteractsOnceAndClearsTheFlag)
{
    clearsGlobals({"interactCount"});
    LogTail inputLog("input");
    core::Session* session = sessionInTestA(2, 3); // the guard is at (1, 3)
    ASSERT_NE(session, nullptr);
    core::LevelInputContext* input = session->getLevelInputContext();
    input->dispatch(application::KEY_W, KEYHIT); // blocked by the guard; turns to face it
    session->update();

    EXPECT_TRUE(input->dispatch(application::KEY_Z, KEYHIT));
    EXPECT_EQ(session->getFlag("flag_isInteractKeyDown"), 1);
    EXPECT_EQ(luaInt("interactCount"), 1);
    EXPECT_TRUE(inputLog.contains("got Z in LevelInput"));
    EXPECT_TRUE(input->dispatch(application::KEY_Z, KEYHELD));
    EXPECT_EQ(session->getFlag("flag_isInteractKeyDown"), 1);
    EXPECT_TRUE(input->dispatch(application::KEY_Z, KEYLETGO));
    EXPECT_EQ(session->getFlag("flag_isInteractKeyDown"), 0);
    EXPECT_EQ(luaInt("interactCount"), 1) << "holding and releasing do not interact again";
}

TEST_F(LevelInput, POpensTheConsoleAndCStartsAFightWithTheCurrentOpponents)
{
    LogTail sessionLog("Session");
    core::Session* session = sessionInTestA(3, 2);
    ASSERT_NE(session, nullptr);
    core::LevelInputContext* input = session->getLevelInputContext();
    EXPECT_TRUE(input->dispatch(application::KEY_P, KEYLETGO));
    EXPECT_FALSE(session->isConsoleOpen());
    EXPECT_TRUE(input->dispatch(application::KEY_P, KEYHELD));
    EXPECT_TRUE(session->isConsoleOpen());
    EXPECT_TRUE(sessionLog.contains("Console window opened"));
    session->closeConsole();
    EXPECT_TRUE(sessionLog.contains("Console window closed"));

    EXPECT_FALSE(input->dispatch(application::KEY_C, KEYHIT)) << "nobody to fight";
    EXPECT_FALSE(session->getCombatManager().isInCombat());
    core::Character* guard = dynamic_cast<core::Character*>(session->getCurrentScene()->getEntity("guard"));
    session->getCurrentOpponents().push_back(guard);
    EXPECT_FALSE(input->dispatch(application::KEY_C, KEYHELD));
    EXPECT_FALSE(session->getCombatManager().isInCombat());
    EXPECT_TRUE(input->dispatch(application::KEY_C, KEYHIT));
    ASSERT_TRUE(session->getCombatManager().isInCombat());
    EXPECT_EQ(session->getCombatManager().getEnemies(), &session->getCurrentOpponents());
    session->getCombatManager().leaveCombat();
}
