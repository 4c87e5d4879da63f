#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "SessionTestSupport.h"
#include "input/InputContext.h"
#include "combat/CombatManager.h"
#include "combat/CombatSides.h"
#include "combat/EnemyPlanner.h"
#include "data/Character.h"
#include "gui/GUITextBox.h"
#include "script/LuaInterface.h"
#include "world/Scene.h"

using namespace sessiontest;

namespace
{
// fenwy at (2, 2) of the open test scene with oskel and tibbet standing and
// mara down, against the bandit at (0, 0) and the guard at (1, 3).
class PartyFight : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        clearsGlobals({"oskelThinks"});
        session = buildSession("partySession.xml");
        ASSERT_NE(session, nullptr);
        session->setNextScene("testA", 2, 2);
        session->update();
        ASSERT_NE(session->getAvatar(), nullptr);
        session->attemptEnterCombat("bandit;guard;");
        ASSERT_TRUE(combat().isInCombat());
    }

    core::CombatManager& combat() { return session->getCombatManager(); }
    core::Character* member(const std::string& id) { return dynamic_cast<core::Character*>(session->getEntity(id)); }

    std::vector<std::string> ids(const std::list<core::Character*>& list)
    {
        std::vector<std::string> result;
        for (const core::Character* c : list)
            result.push_back(c->getId());
        return result;
    }

    // The turn list as "id:done" strings, in order.
    std::vector<std::string> turns()
    {
        std::vector<std::string> result;
        for (const core::CombatTurnList::Entry& entry : combat().getTurnOrder())
            result.push_back(entry.fighter->getId() + (entry.done ? ":done" : ""));
        return result;
    }

    // A key that walks `who` onto an open square of the 6 x 6 test map.
    int keyTowardsFreeSquare(const core::Character* who)
    {
        const core::TilePos at = core::CombatSides::squareOf(who);
        const std::pair<int, core::Direction> keys[] = {{application::KEY_W, core::UP},
                                                        {application::KEY_D, core::RIGHT},
                                                        {application::KEY_S, core::DOWN},
                                                        {application::KEY_A, core::LEFT}};
        for (const auto& key : keys)
        {
            const core::TilePos next = at.neighbour(key.second);
            bool taken = next.row < 0 || next.col < 0 || next.row > 5 || next.col > 5;
            for (const auto& entry : session->getCurrentScene()->getEntities())
                taken = taken || core::TilePos::of(entry.second->getPosition()) == next;
            if (!taken)
                return key.first;
        }
        return application::KEY_W;
    }

    core::Session* session = nullptr;
};
}

TEST_F(PartyFight, EveryStandingMemberJoinsBesideTheAvatarAndLeavesAfter)
{
    EXPECT_EQ(ids(combat().getParty()), (std::vector<std::string>{"fenwy", "oskel", "tibbet"}));
    EXPECT_EQ(ids(combat().getFallen()), (std::vector<std::string>{"mara"}));
    core::Scene* scene = session->getCurrentScene();
    std::set<std::pair<int, int>> squares;
    for (const auto& entry : scene->getEntities())
    {
        const core::TilePos at = core::TilePos::of(entry.second->getPosition());
        EXPECT_TRUE(squares.insert({at.row, at.col}).second) << entry.first << " shares a square";
    }
    const core::TilePos avatar = core::CombatSides::squareOf(session->getAvatar());
    for (const char* id : {"oskel", "tibbet"})
    {
        core::Character* c = member(id);
        ASSERT_NE(c, nullptr) << id;
        EXPECT_EQ(scene->getEntity(id), c) << id << " stands on the map";
        EXPECT_EQ(c->getScene(), scene) << id;
        EXPECT_EQ(core::CombatManager::getCombatDistance(c, session->getAvatar()), 1)
            << id << " stands next to the avatar at " << avatar.row << "," << avatar.col;
    }
    EXPECT_EQ(scene->getEntity("mara"), nullptr) << "a fallen member does not join";

    combat().leaveCombat();
    for (const char* id : {"oskel", "tibbet"})
    {
        EXPECT_EQ(scene->getEntity(id), nullptr) << id << " leaves the map with the fight";
        EXPECT_EQ(member(id)->getScene(), nullptr) << id;
    }
    EXPECT_EQ(scene->getEntity("fenwy"), session->getAvatar()) << "the avatar stays";
}

TEST_F(PartyFight, EachMemberActsOnceARoundInTheTurnList)
{
    using Turns = std::vector<std::string>;
    // The bandit of the test scene has no hit points: nobody waits for it.
    EXPECT_EQ(turns(), (Turns{"fenwy", "oskel", "tibbet", "guard"}));
    core::Character* oskel = member("oskel");
    const core::TilePos start = core::CombatSides::squareOf(oskel);

    ASSERT_TRUE(combat().tileClick(start.row, start.col)) << "oskel is picked like the avatar";
    EXPECT_EQ(combat().getStage(), core::CombatManager::move);
    EXPECT_EQ(combat().getCurrentCharacter(), oskel);
    EXPECT_EQ(combat().getRemainingMovement(), 2) << "oskel's own move";
    ASSERT_TRUE(shown(sessiontest::turnListOf(combat())));
    const std::string list = sessiontest::turnListOf(combat())->getText();
    EXPECT_NE(list.find("> oskel"), std::string::npos) << "the list shows who acts now:\n" << list;
    EXPECT_LT(list.find("fenwy"), list.find("guard")) << list;
    combat().keyPress(keyTowardsFreeSquare(oskel), application::KEYHIT);
    updateTimes(*session, 5);
    EXPECT_NE(core::CombatSides::squareOf(oskel), start) << "oskel walked";
    EXPECT_EQ(combat().getRemainingMovement(), 1);
    combat().combatMenuClick("finish");
    EXPECT_EQ(combat().getStage(), core::CombatManager::ability);
    combat().combatMenuClick("none");
    EXPECT_EQ(turns(), (Turns{"fenwy", "oskel:done", "tibbet", "guard"}));
    EXPECT_FALSE(combat().canAct(oskel));
    EXPECT_TRUE(combat().canAct(session->getAvatar()));
    const core::TilePos moved = core::CombatSides::squareOf(oskel);
    EXPECT_TRUE(combat().tileClick(moved.row, moved.col)) << "the click is taken";
    EXPECT_EQ(combat().getStage(), core::CombatManager::base) << "but oskel acts once a round";

    combat().combatMenuClick("pass_turn");
    EXPECT_EQ(combat().getStage(), core::CombatManager::enemy);
    for (const char* id : {"fenwy", "oskel", "tibbet"})
        EXPECT_NE(std::find(turns().begin(), turns().end(), std::string(id) + ":done"), turns().end())
            << id << " let the turn go";
    ASSERT_TRUE(finishEnemyTurn(*session));
    EXPECT_EQ(turns(), (Turns{"fenwy:done", "oskel:done", "tibbet:done", "guard:done"}));
    combat().combatMenuClick("continue");
    EXPECT_EQ(turns(), (Turns{"fenwy", "oskel", "tibbet", "guard"})) << "a new round";
    EXPECT_TRUE(combat().canAct(oskel));
}

TEST_F(PartyFight, AFallenMemberStaysDownAndOnlyAWholePartyDownLoses)
{
    core::Character* oskel = member("oskel");
    core::Character* tibbet = member("tibbet");
    core::Character* fenwy = session->getAvatar();
    oskel->addHP(false, -30);
    EXPECT_FALSE(combat().settleDeaths()) << "two still stand";
    EXPECT_EQ(oskel->getHP(false), 0) << "down at 0, not below";
    EXPECT_EQ(ids(combat().getParty()), (std::vector<std::string>{"fenwy", "tibbet"}));
    EXPECT_FALSE(combat().canAct(oskel));
    const core::TilePos down = core::CombatSides::squareOf(oskel);
    combat().tileClick(down.row, down.col);
    EXPECT_EQ(combat().getStage(), core::CombatManager::base) << "the fallen cannot be picked";
    EXPECT_TRUE(combat().isTakingPart(oskel)) << "still in the fight, though down";
    EXPECT_EQ(session->getCurrentScene()->getEntity("oskel"), nullptr)
        << "off the field at once, so the body shuts no passage";

    fenwy->addHP(false, -100);
    EXPECT_FALSE(combat().settleDeaths()) << "tibbet still stands";
    EXPECT_EQ(combat().getStage(), core::CombatManager::base);
    tibbet->addHP(false, -8);
    EXPECT_TRUE(combat().settleDeaths());
    EXPECT_EQ(combat().getStage(), core::CombatManager::lose);

    combat().combatMenuClick("try_again");
    EXPECT_FALSE(combat().isInCombat());
    EXPECT_EQ(oskel->getHP(false), 12) << "trying again brings back every member";
    EXPECT_EQ(tibbet->getHP(false), 8);
    EXPECT_EQ(fenwy->getHP(false), 20);
    EXPECT_EQ(session->getCurrentScene()->getEntity("oskel"), nullptr);

    // A member who falls in a won fight is still down in the next one.
    session->attemptEnterCombat("bandit;");
    ASSERT_TRUE(combat().isInCombat());
    oskel->addHP(false, -30);
    combat().settleDeaths();
    combat().leaveCombat();
    EXPECT_EQ(oskel->getHP(false), 0);
    session->attemptEnterCombat("guard;");
    ASSERT_TRUE(combat().isInCombat());
    EXPECT_EQ(ids(combat().getFallen()), (std::vector<std::string>{"mara", "oskel"}));
    EXPECT_EQ(session->getCurrentScene()->getEntity("oskel"), nullptr) << "a fallen member stays off the field";
    EXPECT_EQ(ids(combat().getParty()), (std::vector<std::string>{"fenwy", "tibbet"}));
}

TEST_F(PartyFight, MembersThinkScriptsWaitDuringTheFight)
{
    updateTimes(*session, 10);
    EXPECT_TRUE(testsupport::luaIsNil("oskelThinks")) << "oskel stands on the map but waits";
    member("oskel")->addHP(false, -30);
    combat().settleDeaths();
    updateTimes(*session, 10);
    EXPECT_TRUE(testsupport::luaIsNil("oskelThinks")) << "fallen, it still waits";

    // The same script does run for oskel on the map outside a fight.
    combat().leaveCombat();
    session->getCurrentScene()->insertEntity(member("oskel"), 4, 4);
    updateTimes(*session, 2);
    EXPECT_EQ(testsupport::luaInt("oskelThinks"), 2);
    session->getCurrentScene()->withdrawEntity("oskel");
}

TEST_F(PartyFight, EnemiesGoForTheNearestMemberStillStanding)
{
    core::Character* guard = member("guard");
    ASSERT_NE(guard, nullptr);
    for (const char* id : {"oskel", "tibbet"})
    {
        // The guard right next to the member, farther from everybody else.
        const core::TilePos at = core::CombatSides::squareOf(member(id));
        core::Character* other = member(std::string(id) == "oskel" ? "tibbet" : "oskel");
        const core::TilePos otherAt = core::CombatSides::squareOf(other);
        bool placed = false;
        for (core::Direction d : {core::UP, core::RIGHT, core::DOWN, core::LEFT})
        {
            const core::TilePos next = at.neighbour(d);
            bool taken = next.row < 0 || next.col < 0 || next.row > 5 || next.col > 5;
            for (const auto& entry : session->getCurrentScene()->getEntities())
                taken = taken || (entry.second != guard && core::TilePos::of(entry.second->getPosition()) == next);
            const int toOther = core::CombatManager::getCombatDistance(next.row, next.col, otherAt.row, otherAt.col);
            const core::TilePos fenwy = core::CombatSides::squareOf(session->getAvatar());
            const int toFenwy = core::CombatManager::getCombatDistance(next.row, next.col, fenwy.row, fenwy.col);
            if (!taken && toOther > 1 && toFenwy > 1)
            {
                guard->setPosition(next.row, next.col);
                placed = true;
                break;
            }
        }
        ASSERT_TRUE(placed) << "no square beside " << id << " alone";
        EXPECT_EQ(combat().planFor(guard).target, member(id)) << "the guard goes for " << id;
    }
    // Tibbet, nearest now, falls: the guard looks past the body.
    member("tibbet")->addHP(false, -100);
    combat().settleDeaths();
    const core::EnemyPlan plan = combat().planFor(guard);
    EXPECT_NE(plan.target, member("tibbet"));
    EXPECT_NE(plan.target, nullptr) << "fenwy and oskel still stand";
}

TEST_F(PartyFight, ARecruitTakenOutOfItsSceneStillFightsAndIsTakenOutAgainAfter)
{
    combat().leaveCombat();
    // What a scene's think script does to a character who joined the party.
    member("tibbet")->kill();
    session->attemptEnterCombat("guard;");
    ASSERT_TRUE(combat().isInCombat());
    EXPECT_EQ(ids(combat().getParty()), (std::vector<std::string>{"fenwy", "oskel", "tibbet"}));
    EXPECT_FALSE(member("tibbet")->isRemoved()) << "tibbet stands for the fight";
    EXPECT_EQ(session->getCurrentScene()->getEntity("tibbet"), member("tibbet"));
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getEntity("tibbet"), member("tibbet")) << "not culled as removed";
    combat().leaveCombat();
    EXPECT_TRUE(member("tibbet")->isRemoved()) << "out of every scene again, as before the fight";
    EXPECT_EQ(session->getCurrentScene()->getEntity("tibbet"), nullptr);
    EXPECT_FALSE(member("oskel")->isRemoved()) << "oskel was never taken out";
}
