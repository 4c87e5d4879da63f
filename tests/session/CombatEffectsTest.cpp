#include <gtest/gtest.h>

#include <string>

#include "SessionTestSupport.h"
#include "combat/CombatManager.h"
#include "data/Character.h"
#include "data/ResourceManager.h"
#include "gui/GUITextBox.h"
#include "session/Session.h"
#include "util/RandomText.h"
#include "world/ProcessManager2.h"

using namespace sessiontest;
using namespace testsupport;

using CombatEffects = SessionFixture;

// Effects in a running fight: they act at the start of their holder's turn
// (the party's when its round begins, an enemy's when its move starts), a
// death they cause is settled like any other, and they end with the fight.
namespace
{
const char* const EFFECTS_FILE = "tests/data/character/data/effects.xml";

core::Character* character(core::Session& session, const std::string& id)
{
    return dynamic_cast<core::Character*>(session.getEntity(id));
}

int zeroRoll()
{
    return 0;
}

void runEnemyTurn(core::Session& session, core::CombatManager& combat)
{
    for (int frames = 0; combat.isEnemyTurnRunning() && frames < 2000; ++frames)
    {
        session.update();
        core::ProcessManager2::getProcessManager2()->update(1.0 / 60.0);
    }
}

std::string resultText(core::CombatManager& combat)
{
    return sessiontest::resultsOf(combat)->getText();
}
}

TEST_F(CombatEffects, AnEnemysBurnActsAtTheStartOfItsTurnAndItsDeathWinsTheFight)
{
    setRandSource(zeroRoll);
    ASSERT_TRUE(core::ResourceManager::getEffect("scorch") || core::ResourceManager::buildFromXMLFile(EFFECTS_FILE));
    core::Session* session = sessionInTestA(3, 2);
    ASSERT_NE(session, nullptr);
    core::Character* guard = character(*session, "guard");
    ASSERT_NE(guard, nullptr);
    guard->addHP(false, 3 - guard->getHP(false));
    guard->addEffect("scorch");
    session->attemptEnterCombat("guard;");
    core::CombatManager& combat = session->getCombatManager();
    combat.combatMenuClick("pass_turn");
    runEnemyTurn(*session, combat);
    EXPECT_EQ(combat.getStage(), core::CombatManager::win) << resultText(combat);
    EXPECT_NE(resultText(combat).find("Guard takes 4 damage from scorch."), std::string::npos) << resultText(combat);
    EXPECT_LT(guard->getHP(false), 1);
    combat.leaveCombat();
    setRandSource(nullptr);
}

TEST_F(CombatEffects, ThePartysEffectsTickWhenItsRoundBeginsAndEndWithTheFight)
{
    setRandSource(zeroRoll);
    ASSERT_TRUE(core::ResourceManager::getEffect("rally") || core::ResourceManager::buildFromXMLFile(EFFECTS_FILE));
    core::Session* session = sessionInTestA(3, 2);
    ASSERT_NE(session, nullptr);
    core::Character* avatar = session->getAvatar();
    const int attack = avatar->getAttack();
    session->attemptEnterCombat("guard;");
    core::CombatManager& combat = session->getCombatManager();
    avatar->addEffect("rally");
    avatar->addEffect("scorch");
    const int hp = avatar->getHP(false);
    ASSERT_EQ(avatar->getAttack(), attack + 15);

    for (int round = 1; round <= 2; ++round)
    {
        combat.combatMenuClick("pass_turn");
        runEnemyTurn(*session, combat);
        ASSERT_EQ(combat.getStage(), core::CombatManager::enemy);
        combat.combatMenuClick("continue");
        ASSERT_EQ(combat.getStage(), core::CombatManager::base) << "round " << round;
        EXPECT_EQ(avatar->getHP(false), hp - 4 * round) << "round " << round;
    }
    EXPECT_EQ(avatar->getAttack(), attack) << "rally ran out after two of the party's turns";
    EXPECT_NE(resultText(combat).find("rally wears off Fenwy."), std::string::npos) << resultText(combat);
    ASSERT_TRUE(avatar->hasEffect("scorch"));

    combat.leaveCombat();
    EXPECT_FALSE(avatar->hasEffect("scorch")) << "effects end with the fight";
    EXPECT_EQ(avatar->getHP(false), hp - 8) << "and do no more";
    setRandSource(nullptr);
}
