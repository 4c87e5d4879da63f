#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "SessionTestSupport.h"
#include "input/InputContext.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "combat/CombatInputContext.h"
#include "combat/CombatManager.h"
#include "map/LevelMap.h"
#include "script/LuaInterface.h"
#include "world/Scene.h"
#include "graphics/TGCamera.h"
#include "gui/CombatMenu.h"
#include "gui/GUITextBox.h"

using namespace sessiontest;
using Options = std::vector<std::string>;

namespace
{
// The avatar at (2, 2), the bandit at (0, 0) and the guard at (1, 3) as opponents.
core::Session* sessionInCombat(const std::string& opponents = "bandit;guard;")
{
    core::Session* session = sessionInTestA(2, 2);
    if (!session)
        return nullptr;
    session->attemptEnterCombat(opponents);
    return session;
}

// The fight most tests start from: the bandit and the guard against the
// avatar at (2, 2).
class InCombat : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        session = sessionInCombat();
        ASSERT_NE(session, nullptr);
        avatar = session->getAvatar();
    }

    core::Session* session = nullptr;
    core::Character* avatar = nullptr;
};

using CombatMovement = InCombat;
using CombatTargets = InCombat;
using CombatInput = InCombat;

core::Character* character(core::Session& session, const std::string& id)
{
    return dynamic_cast<core::Character*>(session.getEntity(id));
}

void stepRight(core::Session& session, core::CombatManager& combat)
{
    combat.keyPress(application::KEY_D, application::KEYHIT);
    updateTimes(session, 5);
}

glm::ivec2 tileOf(const core::Entity* entity)
{
    return glm::ivec2(static_cast<int>(entity->getPosition().x), static_cast<int>(entity->getPosition().y));
}

core::Ability* makeAbility(const std::string& name, const std::string& type, int range, int radius)
{
    // Characters only point at their abilities: the test keeps them.
    static std::vector<std::unique_ptr<core::Ability>> kept;
    kept.push_back(std::make_unique<core::Ability>(name, "", range, radius, 0, 0, 0, 0, 0));
    kept.back()->setTargetType(type);
    return kept.back().get();
}
}

TEST(CombatDistance, DiagonalStepsCostAboutOneAndAHalf)
{
    using core::CombatManager;
    EXPECT_EQ(CombatManager::getCombatDistance(0, 0, 1, 1), 2);
    EXPECT_EQ(CombatManager::getCombatDistance(0, 0, 2, 2), 3);
    EXPECT_EQ(CombatManager::getCombatDistance(0, 0, 3, 3), 5);
    EXPECT_EQ(CombatManager::getCombatDistance(4, 4, 0, 0), 6);
    EXPECT_EQ(CombatManager::getCombatDistance(0, 0, 0, 4), 4);
    EXPECT_EQ(CombatManager::getCombatDistance(5, 1, 4, 4), 4);
    EXPECT_EQ(CombatManager::getCombatDistance(2, 2, 2, 2), 0);
}

TEST_F(CombatMovement, ADoorDoesNotTakeTheFightIntoAnotherScene)
{
    testsupport::ErrorCapture warnings(testsupport::ErrorCapture::ErrorsAndWarnings);
    core::LuaInterface::runString("s:enter('testB', 1, 1)");
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getId(), "testA");
    EXPECT_EQ(session->getNextScene(), nullptr);
    EXPECT_TRUE(session->getCombatManager().isInCombat());
    EXPECT_NE(warnings.text().find("testB is not entered during a fight"), std::string::npos) << warnings.text();

    session->getCombatManager().leaveCombat();
    warnings.clear();
    core::LuaInterface::runString("s:enter('testB', 1, 1) s:fight('bandit;')");
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getId(), "testA") << "a fight begun after the request keeps the scene";
    EXPECT_NE(warnings.text().find("testB is not entered during a fight"), std::string::npos) << warnings.text();

    session->getCombatManager().leaveCombat();
    core::LuaInterface::runString("s:enter('testB', 1, 1)");
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getId(), "testB") << "after the fight the door works again";
}

using CombatFlow = SessionFixture;

TEST_F(CombatFlow, BaseMenuPassTurnAndContinue)
{
    core::Session* session = sessionInCombat("guard;");
    ASSERT_NE(session, nullptr);
    core::CombatManager& combat = session->getCombatManager();
    ASSERT_TRUE(combat.isInCombat());
    EXPECT_TRUE(shown(sessiontest::combatMenuOf(combat)));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"pass_turn"});
    EXPECT_EQ(combat.getParty().size(), 1u);
    EXPECT_TRUE(combat.canAct(session->getAvatar()));

    EXPECT_FALSE(combat.tileClick(4, 4)) << "nobody stands there";
    EXPECT_TRUE(combat.combatMenuClick("finish")) << "an option of another stage is ignored";
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    EXPECT_TRUE(combat.combatMenuClick("pass_turn"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::enemy);
    EXPECT_TRUE(optionsOf(sessiontest::combatMenuOf(combat)).empty()) << "nothing to choose while the enemies act";
    EXPECT_FALSE(combat.canAct(character(*session, "guard"))) << "the player no longer moves enemies";
    EXPECT_FALSE(combat.tileClick(1, 3)) << "clicks mean nothing in the enemy turn";
    EXPECT_TRUE(combat.keyPress(application::KEY_D, application::KEYHIT));
    EXPECT_FALSE(combat.keyPress(application::KEY_ESC, application::KEYHIT));
    EXPECT_TRUE(combat.combatMenuClick("continue"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::enemy) << "not before every enemy has acted";

    ASSERT_TRUE(finishEnemyTurn(*session));
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"continue"});
    EXPECT_TRUE(combat.combatMenuClick("continue"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    EXPECT_TRUE(combat.canAct(session->getAvatar()));

    combat.leaveCombat();
    EXPECT_FALSE(combat.isInCombat());
    EXPECT_FALSE(shown(sessiontest::combatMenuOf(combat)));
}

TEST_F(CombatMovement, MoveAllowanceLimitsStepsAndWallsStillCost)
{
    core::CombatManager& combat = session->getCombatManager();
    avatar->setPosition(2, 4);
    ASSERT_TRUE(combat.tileClick(2, 4));
    ASSERT_EQ(combat.getStage(), core::CombatManager::move);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), (Options{"back", "finish"}));
    EXPECT_EQ(combat.getRemainingMovement(), 3);
    EXPECT_FALSE(combat.keyPress(application::KEY_Q, application::KEYHIT));
    EXPECT_TRUE(combat.keyPress(application::KEY_D, application::KEYHELD)) << "used, but only a press walks";
    EXPECT_EQ(combat.getRemainingMovement(), 3);
    for (int i = 0; i < 4; ++i)
        stepRight(*session, combat);
    EXPECT_EQ(tileOf(avatar), glm::ivec2(2, 5)) << "the map edge stops the second step";
    EXPECT_EQ(combat.getRemainingMovement(), 0) << "steps into the edge still cost";

    EXPECT_TRUE(combat.combatMenuClick("back"));
    EXPECT_EQ(tileOf(avatar), glm::ivec2(2, 4));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
}

TEST_F(CombatMovement, BackFromTheAbilityStageRestoresSquareAndMove)
{
    core::CombatManager& combat = session->getCombatManager();
    avatar->addAbility(makeAbility("poke", "target", 2, 2));
    ASSERT_TRUE(combat.tileClick(2, 2));
    stepRight(*session, combat);
    EXPECT_TRUE(combat.combatMenuClick("finish"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::ability);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), (Options{"back", "none", "poke"}));
    EXPECT_EQ(combat.getRemainingMovement(), 0);
    EXPECT_TRUE(combat.combatMenuClick("back"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::move);
    EXPECT_EQ(tileOf(avatar), glm::ivec2(2, 2));
    EXPECT_EQ(combat.getRemainingMovement(), 3);

    combat.combatMenuClick("finish");
    EXPECT_TRUE(combat.combatMenuClick("none"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    EXPECT_FALSE(combat.canAct(avatar));
    EXPECT_TRUE(combat.tileClick(2, 2)) << "a spent character is found but cannot act";
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
}

TEST_F(CombatTargets, TargetRangeAndRadiusLimitTheClicks)
{
    core::CombatManager& combat = session->getCombatManager();
    avatar->addAbility(makeAbility("poke", "target", 2, 2));
    session->getEntity("guard")->setPosition(1, 2);  // orthogonal neighbour
    session->getEntity("bandit")->setPosition(1, 1); // diagonal neighbour
    combat.tileClick(2, 2);
    combat.combatMenuClick("finish");
    ASSERT_TRUE(combat.combatMenuClick("poke"));
    ASSERT_EQ(combat.getStage(), core::CombatManager::target);
    EXPECT_EQ(combat.getChosenAbility()->getName(), "poke");

    EXPECT_TRUE(combat.tileClick(1, 1));
    EXPECT_TRUE(combat.getTargets().empty()) << "a diagonal is distance 2, out of range 2";
    EXPECT_FALSE(combat.tileClick(2, 3)) << "in range but nobody there";
    EXPECT_TRUE(combat.tileClick(1, 2));
    EXPECT_TRUE(combat.tileClick(2, 2));
    EXPECT_TRUE(combat.tileClick(1, 2));
    EXPECT_EQ(combat.getTargets().size(), 2u) << "radius 2 takes two targets";
    EXPECT_EQ(combat.getHighlightedTiles().size(), 2u);

    EXPECT_TRUE(combat.combatMenuClick("back"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::ability);
    EXPECT_TRUE(combat.getHighlightedTiles().empty());
}

TEST_F(CombatTargets, BurstHitsThoseNearItsCentreAndHighlightsACross)
{
    core::CombatManager& combat = session->getCombatManager();
    avatar->addAbility(makeAbility("flash", "burst", 4, 1));
    session->getEntity("guard")->setPosition(2, 4);
    session->getEntity("bandit")->setPosition(2, 3);
    combat.tileClick(2, 2);
    combat.combatMenuClick("finish");
    combat.combatMenuClick("flash");
    EXPECT_TRUE(combat.tileClick(2, 4));
    ASSERT_EQ(combat.getTargets().size(), 1u);
    EXPECT_EQ(combat.getTargets().front()->getId(), "guard");
    EXPECT_EQ(combat.getHighlightedTiles().size(), 5u);
    EXPECT_FALSE(combat.tileClick(2, 3)) << "a burst is placed once";
}

using CombatResolution = SessionFixture;

TEST_F(CombatResolution, TheDeadLeaveTheFightAndExitIsOffered)
{
    core::Session* session = sessionInCombat("bandit;");
    ASSERT_NE(session, nullptr);
    core::CombatManager& combat = session->getCombatManager();
    core::Character* avatar = session->getAvatar();
    core::Character* bandit = character(*session, "bandit");
    ASSERT_NE(bandit, nullptr);
    ASSERT_LT(bandit->getHP(false), 1) << "the test bandit has no hit points at all";
    avatar->addAbility(makeAbility("poke", "target", 9, 1));
    combat.tileClick(2, 2);
    combat.combatMenuClick("finish");
    combat.combatMenuClick("poke");
    EXPECT_TRUE(combat.tileClick(0, 0));
    EXPECT_TRUE(combat.combatMenuClick("finish"));
    EXPECT_EQ(combat.getStage(), core::CombatManager::win) << "the last enemy fell";
    EXPECT_TRUE(combat.getEnemies()->empty());
    EXPECT_TRUE(bandit->isRemoved());
    EXPECT_TRUE(shown(sessiontest::resultsOf(combat)));
    EXPECT_NE(sessiontest::resultsOf(combat)->getText().find("Bandit is defeated."), std::string::npos);
    EXPECT_NE(sessiontest::resultsOf(combat)->getText().find("Victory!"), std::string::npos);
    EXPECT_EQ(optionsOf(sessiontest::combatMenuOf(combat)), Options{"exit_combat"});
    EXPECT_FALSE(combat.canAct(avatar));
    EXPECT_TRUE(combat.combatMenuClick("exit_combat"));
    EXPECT_FALSE(combat.isInCombat());
}

TEST_F(CombatInput, MapClicksBecomeTileClicksAndPassThrough)
{
    tamsygraphics::Camera camera("testCam", 640, 480, 45.0f, 0.5f, 100.0f);
    session->setCamera(&camera);
    core::CombatManager& combat = session->getCombatManager();
    core::CombatInputContext* input = combat.getCombatInputContext();
    ASSERT_NE(input, nullptr);

    // The screen point over the avatar's square, with the camera at the origin.
    const glm::vec2 world = session->getCurrentScene()->getLevelMap()->getPosition(2, 2);
    const double x = world.x / 320.0;
    const double y = world.y / 240.0;
    EXPECT_FALSE(input->dispatch(0, application::MOUSE_UP, x, y));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base) << "a release does nothing";
    EXPECT_FALSE(input->dispatch(0, application::MOUSE_DOWN, 0.99, 0.99));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base) << "outside the map";
    EXPECT_FALSE(input->dispatch(0.1, 0.2));
    EXPECT_FALSE(input->dispatch(1, application::MOUSE_DOWN, x, y)) << "offered to the menu too";
    EXPECT_EQ(combat.getStage(), core::CombatManager::move) << "a right click acts like a left one";
    EXPECT_TRUE(input->dispatch(application::KEY_D, application::KEYHIT));
    session->setCamera(nullptr);
    combat.leaveCombat();
}

TEST_F(CombatInput, TheKeyboardCursorStartsOnTheAvatarMovesOnTheMapAndChoosesSquares)
{
    core::CombatManager& combat = session->getCombatManager();
    ASSERT_EQ(combat.getStage(), core::CombatManager::base);
    ASSERT_TRUE(combat.getCursor().isShown());
    EXPECT_EQ(combat.getCursor().at(), (core::TilePos{2, 2}));

    struct Step
    {
        int key;
        int state;
        core::TilePos at;
    };
    const std::vector<Step> steps = {
        {application::KEY_W, application::KEYHIT, {1, 2}},
        {application::KEY_W, application::KEYHELD, {1, 2}}, // a held key moves once
        {application::KEY_D, application::KEYHIT, {1, 3}},  // onto the guard
        {application::KEY_W, application::KEYHIT, {0, 3}},
        {application::KEY_W, application::KEYHIT, {0, 3}}, // the map's edge holds it
        {application::KEY_S, application::KEYHIT, {1, 3}},
    };
    for (const Step& step : steps)
    {
        EXPECT_TRUE(combat.keyPress(step.key, step.state));
        EXPECT_EQ(combat.getCursor().at(), step.at) << step.key << " in state " << step.state;
    }
    EXPECT_TRUE(combat.keyPress(application::KEY_Z, application::KEYHIT));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base) << "an enemy is not the player's to command";
    combat.keyPress(application::KEY_S, application::KEYHIT);
    combat.keyPress(application::KEY_A, application::KEYHIT);
    ASSERT_EQ(combat.getCursor().at(), (core::TilePos{2, 2}));
    EXPECT_TRUE(combat.keyPress(' ', application::KEYHIT));
    EXPECT_EQ(combat.getStage(), core::CombatManager::move) << "Space on the avatar takes her, as a click does";
    EXPECT_EQ(combat.getCurrentCharacter(), avatar);

    combat.leaveCombat();
    EXPECT_FALSE(combat.getCursor().isShown());
}
