#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SessionTestSupport.h"
#include "input/InputContext.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "combat/CombatManager.h"
#include "script/LuaInterface.h"
#include "world/ProcessManager2.h"
#include "world/Scene.h"
#include "script/ScriptInstance.h"
#include "gui/CombatMenu.h"
#include "gui/GUITextBox.h"
#include "sound/SoundHandler.h"
#include "util/RandomText.h"

using namespace sessiontest;
using namespace testsupport;

using EnemyTurn = SessionFixture;
using Options = std::vector<std::string>;

namespace
{
// In the test scene testA (6 x 6, open ground) the guard stands at (1, 3),
// the thinker at (5, 5) and the bandit, without hit points, at (0, 0).
core::Character* character(core::Session& session, const std::string& id)
{
    return dynamic_cast<core::Character*>(session.getEntity(id));
}

// An ability that always hits for exactly `damage`.
core::Ability* sureBlow(const std::string& name, int damage, int range = 2)
{
    static std::vector<std::unique_ptr<core::Ability>> kept;
    kept.emplace_back(new core::Ability(name, "", range, 1, 0, damage, damage + 1, 0, 0));
    kept.back()->setTargetType("target");
    kept.back()->addTypeTag("autoHit");
    return kept.back().get();
}

int zeroRoll()
{
    return 0;
}

// Rolls fixed for the whole test.
class FixedRolls
{
public:
    FixedRolls() { setRandSource(zeroRoll); }
    ~FixedRolls() { setRandSource(nullptr); }
};

core::Session* fightWithGuard(int avatarRow, int avatarCol, const std::string& opponents = "guard;")
{
    core::Session* session = sessionInTestA(avatarRow, avatarCol);
    if (!session)
        return nullptr;
    character(*session, "guard")->addAbility(sureBlow("club", 4));
    session->attemptEnterCombat(opponents);
    return session;
}

std::string resultText(core::CombatManager& combat)
{
    return sessiontest::resultsOf(combat)->getText();
}
}

TEST_F(EnemyTurn, TheEnemyWalksUpStrikesAndHandsTheTurnBack)
{
    FixedRolls rolls;
    core::Session* session = fightWithGuard(3, 2);
    ASSERT_NE(session, nullptr);
    core::CombatManager& combat = session->getCombatManager();
    core::Character* avatar = session->getAvatar();
    core::Character* guard = character(*session, "guard");
    const int hp = avatar->getHP(false);
    combat.combatMenuClick("pass_turn");

    // Step by step: after a frame the guard is on its way, not there.
    session->update();
    core::ProcessManager2::getProcessManager2()->update(1.0 / 60.0);
    EXPECT_TRUE(guard->isMoving()) << "the walk is shown, one step at a time";
    int frames = 0;
    while (combat.isEnemyTurnRunning() && frames < 2000)
    {
        session->update();
        core::ProcessManager2::getProcessManager2()->update(1.0 / 60.0);
        ++frames;
    }
    ASSERT_FALSE(combat.isEnemyTurnRunning());
    EXPECT_EQ(core::CombatManager::getCombatDistance(guard, avatar), 1) << "next to Fenwy";
    EXPECT_EQ(avatar->getHP(false), hp - 4);
    EXPECT_NE(resultText(combat).find("Guard uses Club on Fenwy."), std::string::npos) << resultText(combat);
    // Two steps of a quarter second each, the aim and the result: a player
    // can follow it.
    EXPECT_GE(frames / 60.0, 2 * 0.25 + 0.35);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"continue"});
    combat.combatMenuClick("continue");
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    combat.leaveCombat();
}

TEST_F(EnemyTurn, AnEnemyThatCannotReachAnyonePassesAndTheTurnEnds)
{
    FixedRolls rolls;
    // Fenwy in the corner, shut in by the bandit and the thinker.
    core::Session* session = sessionInTestA(0, 1);
    ASSERT_NE(session, nullptr);
    session->getEntity("bandit")->setPosition(1, 1);
    session->getEntity("thinker")->setPosition(0, 2);
    session->getAvatar()->setPosition(0, 0);
    character(*session, "guard")->addAbility(sureBlow("club", 4));
    session->attemptEnterCombat("guard;");
    core::CombatManager& combat = session->getCombatManager();
    const int hp = session->getAvatar()->getHP(false);
    combat.combatMenuClick("pass_turn");
    ASSERT_TRUE(finishEnemyTurn(*session));
    EXPECT_EQ(session->getAvatar()->getHP(false), hp);
    EXPECT_NE(resultText(combat).find("Guard waits."), std::string::npos);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"continue"});
    combat.leaveCombat();
}

TEST_F(EnemyTurn, AnEnemyThatHasFallenIsTakenOutOnceAndNeverActs)
{
    FixedRolls rolls;
    core::Session* session = fightWithGuard(2, 1, "bandit;guard;");
    ASSERT_NE(session, nullptr);
    core::CombatManager& combat = session->getCombatManager();
    core::Character* bandit = character(*session, "bandit");
    bandit->addAbility(sureBlow("knife", 50, 9));
    ASSERT_LT(bandit->getHP(false), 1);
    const int hp = session->getAvatar()->getHP(false);
    combat.combatMenuClick("pass_turn");
    ASSERT_TRUE(finishEnemyTurn(*session));
    EXPECT_TRUE(bandit->isRemoved());
    ASSERT_EQ(combat.getEnemies()->size(), 1u);
    EXPECT_EQ(combat.getEnemies()->front()->getId(), "guard");
    EXPECT_EQ(session->getAvatar()->getHP(false), hp - 4) << "only the guard struck";
    EXPECT_EQ(session->getCurrentScene()->getEntity("bandit"), nullptr) << "culled from the scene";
    combat.leaveCombat();
}

TEST_F(EnemyTurn, LosingOffersTryAgainWhichPutsThePartyBackAsTheFightFoundIt)
{
    FixedRolls rolls;
    core::Session* session = fightWithGuard(2, 3);
    ASSERT_NE(session, nullptr);
    core::CombatManager& combat = session->getCombatManager();
    core::Character* avatar = session->getAvatar();
    const int hp = avatar->getHP(false);
    const int fatigue = avatar->getFatigue(false);
    core::Character* guard = character(*session, "guard");
    const glm::vec2 guardStart = guard->getPosition();

    // Fenwy walks a square, tires, and is then struck down.
    combat.tileClick(2, 3);
    combat.keyPress(application::KEY_D, application::KEYHIT);
    updateTimes(*session, 5);
    combat.combatMenuClick("finish");
    combat.combatMenuClick("none");
    avatar->addFatigue(false, -3);
    avatar->addHP(false, -(hp - 2));
    combat.combatMenuClick("pass_turn");
    ASSERT_TRUE(finishEnemyTurn(*session));
    EXPECT_EQ(combat.getStage(), core::CombatManager::lose);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"try_again"});
    EXPECT_NE(resultText(combat).find("Defeat!"), std::string::npos);
    EXPECT_FALSE(avatar->isRemoved()) << "the fallen avatar stays in the scene";
    EXPECT_TRUE(combat.combatMenuClick("continue")) << "nothing else is offered";
    EXPECT_EQ(combat.getStage(), core::CombatManager::lose);

    ASSERT_NE(guard->getPosition(), guardStart) << "the guard walked up to strike";
    EXPECT_TRUE(combat.combatMenuClick("try_again"));
    EXPECT_FALSE(combat.isInCombat());
    EXPECT_EQ(guard->getPosition(), guardStart) << "nobody is left on a square the party goes back to";
    EXPECT_EQ(avatar->getHP(false), hp);
    EXPECT_EQ(avatar->getFatigue(false), fatigue);
    EXPECT_EQ(avatar->getPosition(), glm::vec2(2, 3)) << "back where the fight began (off the diagonal, so a row and column swapped show)";
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getEntity("fenwy"), avatar);

    // The next fight starts afresh.
    session->attemptEnterCombat("guard;");
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    EXPECT_TRUE(combat.canAct(avatar));
    combat.leaveCombat();
}

TEST_F(EnemyTurn, WinningRunsTheDefeatScriptOnceAndBringsBackTheSceneMusic)
{
    clearsGlobals({"defeats", "defeated"});
    FixedRolls rolls;
    sound::SoundHandler::addSound("./assets/sound/themeTown.ogg", true, 0, false);
    sound::SoundHandler::addSound("./assets/sound/themeBattle.ogg", true, 0, false);
    sound::SoundHandler::sendRequest("themeTown", 0);
    core::Session* session = sessionInTestA(1, 2);
    ASSERT_NE(session, nullptr);
    core::Character* guard = character(*session, "guard");
    guard->setDefeatScript(
        std::make_unique<core::ScriptInstance>(core::TEXT, "defeats = (defeats or 0) + 1 defeated = obj:getId()"));
    guard->addHP(false, -9);
    session->getAvatar()->addAbility(sureBlow("poke", 5));
    session->attemptEnterCombat("guard;");
    core::CombatManager& combat = session->getCombatManager();
    EXPECT_EQ(sound::SoundHandler::getLastMusicRequest(), "themeBattle") << "the fight's own music";

    combat.tileClick(1, 2);
    combat.combatMenuClick("finish");
    combat.combatMenuClick("poke");
    combat.tileClick(1, 3);
    combat.combatMenuClick("finish");
    EXPECT_EQ(combat.getStage(), core::CombatManager::win);
    EXPECT_NE(resultText(combat).find("Victory!"), std::string::npos);
    EXPECT_EQ(luaInt("defeats"), 1);
    EXPECT_EQ(luaString("defeated"), "guard") << "obj is the fallen character";
    EXPECT_EQ(sound::SoundHandler::getLastMusicRequest(), "themeTown") << "the scene's music again";
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"exit_combat"});
    EXPECT_TRUE(combat.combatMenuClick("exit_combat"));
    EXPECT_FALSE(combat.isInCombat());
    updateTimes(*session, 3);
    EXPECT_EQ(luaInt("defeats"), 1) << "once";
    sound::SoundHandler::erase();
}

TEST_F(EnemyTurn, FightersThinkScriptsWaitUntilTheFightIsOver)
{
    core::Session* session = sessionInTestA(4, 4);
    ASSERT_NE(session, nullptr);
    updateTimes(*session, 1);
    const int before = luaInt("thinkCount");
    session->attemptEnterCombat("thinker;");
    updateTimes(*session, 3);
    EXPECT_EQ(luaInt("thinkCount"), before) << "the thinker is fighting";
    session->getCombatManager().leaveCombat();
    updateTimes(*session, 2);
    EXPECT_EQ(luaInt("thinkCount"), before + 2);
}
