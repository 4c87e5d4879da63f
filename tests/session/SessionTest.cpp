#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "combat/CombatManager.h"
#include "script/LuaInterface.h"
#include "data/Party.h"
#include "world/Scene.h"

using namespace sessiontest;
using namespace testsupport;

namespace
{
core::Session* sessionInScene(const std::string& sceneId, int row, int col, const std::string& file = "session.xml")
{
    core::Session* session = buildSession(file);
    if (!session)
        return nullptr;
    session->setNextScene(sceneId, row, col);
    session->update();
    return session;
}

glm::ivec2 tileOf(const core::Entity* entity)
{
    return glm::ivec2(static_cast<int>(entity->getPosition().x), static_cast<int>(entity->getPosition().y));
}
}

using SessionBuilding = SessionFixture;

TEST_F(SessionBuilding, ReadsThePartyFindsTheAvatarAndPublishesItselfAsS)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    ASSERT_NE(session->getCurrentParty(), nullptr);
    EXPECT_EQ(session->getCurrentParty()->getId(), "heroes");
    EXPECT_EQ(session->getCurrentParty()->getMembers().size(), 2u);
    ASSERT_NE(session->getAvatar(), nullptr);
    EXPECT_EQ(session->getAvatar()->getId(), "fenwy");
    EXPECT_TRUE(session->hasItem("potion"));
    EXPECT_FALSE(session->hasItem("banana"));
    EXPECT_EQ(session->getCurrentScene(), nullptr) << "the session enters no scene by itself";
    EXPECT_FALSE(session->isConsoleOpen());
    EXPECT_TRUE(session->getScreenStack().hasScreens());
    EXPECT_EQ(luaString("s == nil and 'none' or 'set'"), "set");
    EXPECT_EQ(luaInt("s:getflag('anything')"), 0);
}

TEST_F(SessionBuilding, ALaterPartyReplacesAnEarlierOne)
{
    core::Session* session = buildSession("twoParties.xml");
    ASSERT_NE(session, nullptr);
    ASSERT_NE(session->getCurrentParty(), nullptr);
    EXPECT_EQ(session->getCurrentParty()->getId(), "second");
    ASSERT_NE(session->getAvatar(), nullptr);
}

TEST_F(SessionBuilding, MissingOrMalformedFilesAreLoggedByNameAndGiveNoSession)
{
    {
        ErrorCapture errors;
        EXPECT_EQ(buildSession("doesNotExist.xml"), nullptr);
        EXPECT_NE(errors.text().find("Session::buildFromXMLFile - Failed to load or parse file"), std::string::npos);
        EXPECT_NE(errors.text().find("doesNotExist.xml"), std::string::npos);
    }
    {
        ErrorCapture errors;
        EXPECT_EQ(buildSession("malformed.xml"), nullptr);
        EXPECT_NE(errors.text().find("malformed.xml"), std::string::npos);
    }
}

using SessionWithoutParty = SessionFixture;

TEST_F(SessionWithoutParty, HasNoAvatarAndIgnoresMovementAndInteraction)
{
    LogTail sessionLog("Session");
    clearsGlobals({"interactCount"});
    core::Session* session = sessionInScene("testA", 2, 3, "noParty.xml");
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(session->getCurrentParty(), nullptr);
    EXPECT_EQ(session->getAvatar(), nullptr);
    ASSERT_NE(session->getCurrentScene(), nullptr);
    EXPECT_TRUE(sessionLog.contains("Entering a scene with a NULL avatar"));
    session->moveAvatar(core::UP);
    session->tryInteract();
    updateTimes(*session, 3);
    EXPECT_TRUE(luaIsNil("interactCount")) << "no avatar, so nobody can interact";
    EXPECT_FALSE(session->hasItem("potion"));
    session->gainItem("potion");
    EXPECT_FALSE(session->hasItem("potion"));
    EXPECT_FALSE(session->addToParty("guard"));
}

using SessionFlags = SessionFixture;

TEST_F(SessionFlags, SetReportsChangesAndUnsetFlagsReadZero)
{
    core::Session session;
    EXPECT_FALSE(session.setFlag("door", 0)) << "an unset flag already holds 0";
    EXPECT_TRUE(session.setFlag("door", 1));
    EXPECT_FALSE(session.setFlag("door", 1));
    EXPECT_EQ(session.getFlag("door"), 1);
    EXPECT_TRUE(session.setFlag("door", -4));
    EXPECT_EQ(session.getFlag("door"), -4);
    EXPECT_FALSE(session.hasFlag("window"));
    EXPECT_EQ(session.getFlag("window"), 0);
    EXPECT_TRUE(session.hasFlag("window")) << "reading a flag creates it with 0";
}

using SessionCombat = SessionFixture;

TEST_F(SessionCombat, OpponentListsSplitOnSemicolonsAndStopAtTheFirstEmptyId)
{
    using Ids = std::vector<std::string>;
    EXPECT_EQ(core::Session::parseOpponentIds("a;b;"), (Ids{"a", "b"}));
    EXPECT_EQ(core::Session::parseOpponentIds("a;;b;"), (Ids{"a"}));
    EXPECT_EQ(core::Session::parseOpponentIds(""), Ids{});
    EXPECT_EQ(core::Session::parseOpponentIds(";a;"), Ids{});
    EXPECT_EQ(core::Session::parseOpponentIds("a;b"), (Ids{"a", "b"}));
    EXPECT_EQ(core::Session::parseOpponentIds("solo"), (Ids{"solo"}));
}

TEST_F(SessionCombat, OpponentsNotInTheSceneAreSkippedAndLogged)
{
    LogTail tibbet("tibbet");
    core::Session* session = sessionInScene("testA", 3, 3);
    ASSERT_NE(session, nullptr);
    session->attemptEnterCombat("bandit;ghost;guard;");
    core::CombatManager& combat = session->getCombatManager();
    ASSERT_TRUE(combat.isInCombat());
    ASSERT_NE(combat.getEnemies(), nullptr);
    ASSERT_EQ(combat.getEnemies()->size(), 2u);
    EXPECT_EQ(combat.getEnemies()->front()->getId(), "bandit");
    EXPECT_EQ(combat.getEnemies()->back()->getId(), "guard");
    EXPECT_TRUE(tibbet.contains("ghost"));
    EXPECT_TRUE(tibbet.contains("Entering Combat"));

    // A second request during the fight leaves the running one alone.
    session->attemptEnterCombat("thinker;");
    EXPECT_EQ(combat.getEnemies()->size(), 2u);

    session->attemptExitCombat();
    EXPECT_FALSE(combat.isInCombat());
    EXPECT_TRUE(tibbet.contains("Exiting combat"));
    EXPECT_TRUE(session->getScreenStack().hasScreens()) << "the console keeps its screen";
}

using SessionScenes = SessionFixture;

TEST_F(SessionScenes, EnteringIsDeferredAndTheLaterOfTwoRequestsWins)
{
    LogTail sessionLog("Session");
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    session->setNextScene("testA", 1, 1);
    session->setNextScene("testB", 4, 5);
    EXPECT_EQ(session->getCurrentScene(), nullptr) << "nothing changes before the update";
    session->update();
    ASSERT_NE(session->getCurrentScene(), nullptr);
    EXPECT_EQ(session->getCurrentScene()->getId(), "testB");
    EXPECT_EQ(session->getNextScene(), nullptr);
    EXPECT_EQ(tileOf(session->getAvatar()), glm::ivec2(4, 5));
    EXPECT_EQ(session->getAvatar()->getScene(), session->getCurrentScene());
    EXPECT_TRUE(sessionLog.contains("Entering Scene testB"));
    EXPECT_FALSE(sessionLog.contains("Entering Scene testA"));

    // Leaving for another scene takes the avatar along.
    core::Scene* old = session->getCurrentScene();
    session->setNextScene("testA", 2, 2);
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getId(), "testA");
    EXPECT_EQ(session->getAvatar()->getScene(), session->getCurrentScene());
    EXPECT_NE(session->getCurrentScene(), old);
}

TEST_F(SessionScenes, ScenesLeftOrReplacedAreFreedAndTheirCharactersStandNowhere)
{
    core::Session* session = sessionInScene("testB", 1, 1);
    ASSERT_NE(session, nullptr);
    core::Entity* sailor = session->getCurrentScene()->getEntity("sailor");
    ASSERT_NE(sailor, nullptr);
    session->setNextScene("testA", 2, 2);
    ASSERT_NE(session->getNextScene(), nullptr);
    core::Entity* replacedGuard = session->getNextScene()->getEntity("guard");
    ASSERT_NE(replacedGuard, nullptr);
    session->setNextScene("testA", 3, 3);
    EXPECT_EQ(replacedGuard->getScene(), nullptr) << "a pending scene that was replaced is gone";
    session->update();
    EXPECT_EQ(sailor->getScene(), nullptr) << "the scene left behind is gone";
    EXPECT_EQ(session->getAvatar()->getScene(), session->getCurrentScene());
    // Lua still holds the sailor of the freed scene; stepping it is harmless.
    core::LuaInterface::runString("sailor:attemptMoveDirection(1)");
    EXPECT_EQ(sailor->getScene(), nullptr);
    EXPECT_EQ(tileOf(session->getAvatar()), glm::ivec2(3, 3));
}

TEST_F(SessionScenes, UnknownScenesAndNullScenesChangeNothing)
{
    LogTail sessionLog("Session");
    core::Session* session = sessionInScene("testB", 1, 1);
    ASSERT_NE(session, nullptr);
    core::Scene* before = session->getCurrentScene();
    {
        ErrorCapture errors;
        session->setNextScene("nowhere", 1, 1);
        session->update();
        EXPECT_NE(errors.text().find("nowhere"), std::string::npos);
    }
    EXPECT_EQ(session->getCurrentScene(), before);
    session->attemptEnterScene(nullptr, 0, 0);
    EXPECT_EQ(session->getCurrentScene(), before);
    EXPECT_TRUE(sessionLog.contains("Unable to enter NULL scene"));
}

using SessionUpdate = SessionFixture;

TEST_F(SessionUpdate, ThinkRunsEveryFrameAndInteractWhileTheAvatarOverlaps)
{
    clearsGlobals({"thinkCount", "interactCount"});
    // The guard stands on (1, 3): entering there puts the avatar on top of it.
    core::Session* session = sessionInScene("testA", 1, 3);
    ASSERT_NE(session, nullptr);
    EXPECT_TRUE(luaIsNil("thinkCount")) << "the scene is entered after the entities' turn";
    const int thinkBefore = 0;
    const int interactBefore = 0;
    updateTimes(*session, 3);
    EXPECT_EQ(luaInt("thinkCount"), thinkBefore + 3);
    EXPECT_EQ(luaInt("interactCount"), interactBefore + 3);
    EXPECT_EQ(luaString("lastInteracted"), "guard");
    EXPECT_TRUE(luaIsNil("obj")) << "obj is cleared after each entity";

    session->getAvatar()->setPosition(3, 3);
    updateTimes(*session, 2);
    EXPECT_EQ(luaInt("interactCount"), interactBefore + 3) << "no overlap, no interaction";
    EXPECT_EQ(luaInt("thinkCount"), thinkBefore + 5);
}

TEST_F(SessionUpdate, KilledEntitiesAreCulledAtTheEndOfTheUpdate)
{
    core::Session* session = sessionInScene("testA", 3, 3);
    ASSERT_NE(session, nullptr);
    core::Entity* bandit = session->getCurrentScene()->getEntity("bandit");
    ASSERT_NE(bandit, nullptr);
    bandit->kill();
    EXPECT_NE(session->getCurrentScene()->getEntity("bandit"), nullptr);
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getEntity("bandit"), nullptr);
    EXPECT_EQ(session->getEntity("bandit"), nullptr);
    EXPECT_NE(session->getEntity("guard"), nullptr);
}

using SessionInteract = SessionFixture;

TEST_F(SessionInteract, OnlyTheFacedEntityRunsItsInteractScript)
{
    clearsGlobals({"interactCount"});
    core::Session* session = sessionInScene("testA", 2, 3);
    ASSERT_NE(session, nullptr);
    session->moveAvatar(core::DOWN);
    updateTimes(*session, 5);
    EXPECT_EQ(tileOf(session->getAvatar()), glm::ivec2(3, 3));
    session->tryInteract();
    EXPECT_TRUE(luaIsNil("interactCount")) << "the guard is behind, not in front";

    session->moveAvatar(core::UP);
    updateTimes(*session, 5);
    session->moveAvatar(core::UP); // blocked by the guard, but turns to face it
    EXPECT_EQ(tileOf(session->getAvatar()), glm::ivec2(2, 3));
    session->tryInteract();
    EXPECT_EQ(luaInt("interactCount"), 1);
    EXPECT_EQ(luaString("lastInteracted"), "guard");
}

using SessionEntities = SessionFixture;

TEST_F(SessionEntities, PartyMembersComeBeforeSceneEntitiesWithTheSameId)
{
    core::Session* session = sessionInScene("testDup", 0, 0);
    ASSERT_NE(session, nullptr);
    core::Entity* partyOskel = session->getCurrentParty()->getMembers()["oskel"];
    core::Entity* sceneOskel = session->getCurrentScene()->getEntity("oskel");
    ASSERT_NE(partyOskel, nullptr);
    ASSERT_NE(sceneOskel, nullptr);
    EXPECT_NE(partyOskel, sceneOskel);
    EXPECT_EQ(session->getEntity("oskel"), partyOskel);
    EXPECT_EQ(session->getEntity("stranger"), session->getCurrentScene()->getEntity("stranger"));
    const size_t members = session->getCurrentParty()->getMembers().size();
    const size_t entities = session->getCurrentScene()->getEntities().size();
    EXPECT_EQ(session->getEntity("nobody"), nullptr);
    EXPECT_EQ(session->getCurrentParty()->getMembers().size(), members) << "lookups add nothing";
    EXPECT_EQ(session->getCurrentScene()->getEntities().size(), entities);
}

using SessionParty = SessionFixture;

TEST_F(SessionParty, AddToPartyTakesACharacterOfTheCurrentScene)
{
    LogTail sessionLog("Session");
    core::Session* session = sessionInScene("testA", 3, 3);
    ASSERT_NE(session, nullptr);
    core::Party* party = session->getCurrentParty();
    EXPECT_TRUE(session->addToParty("guard"));
    EXPECT_EQ(party->getMembers().size(), 3u);
    EXPECT_EQ(session->getEntity("guard"), party->getMembers()["guard"]);
    EXPECT_FALSE(session->addToParty("guard"));
    EXPECT_TRUE(sessionLog.contains("already in the party"));
    EXPECT_FALSE(session->addToParty("nobody"));
    EXPECT_TRUE(sessionLog.contains("No character nobody"));
    EXPECT_EQ(party->getMembers().size(), 3u);
}
