#include <gtest/gtest.h>

#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "MapView.h"
#include "RunningGame.h"

// A fight in the real game that leaves the party stronger: an effect shows
// over the fighter who holds it and lasts its rounds, and the victory gives
// experience (a level) and the beaten enemy's loot. The console sets the
// scene up; the fight is played with the mouse on the combat menu and the
// map, as in the other fights (the menu band runs from y 380 to 460 and its
// options share it evenly).
namespace
{
const int MENU_X = 320;
const int ONLY_OPTION_Y = 420;
const int SECOND_OF_TWO_Y = 444;
const int THIRD_OF_FOUR_Y = 430;
const int FOURTH_OF_FOUR_Y = 456;
// Fenwy stands in the middle of the screen; squares are 32 pixels.
// Fenwy on the pier (row 13, column 15 of the 18 x 24 beach) in a fight.
const MapView PIER = MapView::fight(18, 24, 13, 15);
const int FENWY_X = PIER.x(15);
const int FENWY_Y = PIER.y(13);
}

class Growth : public RunningGame
{
protected:
    void clickAndRun(int x, int y)
    {
        ASSERT_TRUE(game.click(x, y));
        ASSERT_TRUE(console.frames(3));
    }
};

TEST_F(Growth, FocusShowsOverFenwyThenTheVictoryGivesALevelAndTheCatch)
{
    // Fenwy two squares above Brune on the pier; Brune never hits. Beating
    // him is worth 50 experience, just what Fenwy's level 2 costs.
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(console.tap("s"));
    ASSERT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "13,15");
    ASSERT_EQ(ask("tostring(s:has('fish'))"), "false");
    // Fenwy fights alone, so the whole reward is hers.
    game.writeLine("s:removeFromParty('oskel')");
    ASSERT_EQ(askInt("s:getPartySize()"), 1);
    game.writeLine("brune:addAttack(-500)");
    const int attack = askInt("fenwy:getAttack()");
    const int maxHP = askInt("fenwy:getHP(true)");
    game.writeLine("s:fight('brune;')");
    ASSERT_EQ(ask("s:combatStage()"), "base");
    GameProcess::Image before;
    ASSERT_TRUE(game.capture(before));

    clickAndRun(FENWY_X, FENWY_Y);
    clickAndRun(MENU_X, SECOND_OF_TWO_Y); // "finish" moving
    clickAndRun(MENU_X, THIRD_OF_FOUR_Y); // back, none, focus, slash
    ASSERT_EQ(ask("s:combatStage()"), "target");
    clickAndRun(FENWY_X, FENWY_Y);        // herself
    clickAndRun(MENU_X, SECOND_OF_TWO_Y); // "finish"
    ASSERT_EQ(askInt("fenwy:getAttack()"), attack + 15) << "focus gathers strength";
    GameProcess::Image focused;
    ASSERT_TRUE(console.frames(3));
    ASSERT_TRUE(game.capture(focused));
    EXPECT_GT(gamescreen::regionDifference(before, focused, FENWY_X - 16, FENWY_Y - 34, FENWY_X + 16, FENWY_Y - 14),
              0.02)
        << "the focus icon shows over Fenwy";
    EXPECT_LT(gamescreen::regionDifference(before, focused, 0, 300, 200, 370), 0.01)
        << "the rest of the map is as it was";
    gamescreen::keepScreenshot(game, "effect-icon");

    clickAndRun(MENU_X, ONLY_OPTION_Y); // "pass_turn"
    ASSERT_TRUE(console.framesUntil([&] { return ask("brune:getRow() .. ',' .. brune:getCol()") == "14,15"; }))
        << "Brune walks up";
    GameProcess::Image shot;
    ASSERT_TRUE(
        console.framesUntil([&] { return game.capture(shot) && gamescreen::coveredByList(shot, 100, 380, 600, 460); }))
        << "continue is offered once Brune is done";
    clickAndRun(MENU_X, ONLY_OPTION_Y); // "continue": Fenwy's turn, focus ticks
    ASSERT_EQ(ask("s:combatStage()"), "base");
    EXPECT_EQ(askInt("fenwy:getAttack()"), attack + 15) << "focus lasts two of Fenwy's turns";

    game.writeLine("fenwy:addAttack(500) brune:addHP(-29, false)");
    clickAndRun(FENWY_X, FENWY_Y);
    clickAndRun(MENU_X, SECOND_OF_TWO_Y);  // "finish" moving
    clickAndRun(MENU_X, FOURTH_OF_FOUR_Y); // slash
    clickAndRun(FENWY_X, FENWY_Y + 32);    // Brune, just below
    clickAndRun(MENU_X, SECOND_OF_TWO_Y);  // "finish"
    ASSERT_EQ(ask("s:combatStage()"), "win");
    EXPECT_EQ(askInt("fenwy:getHP(true)"), maxHP + 6) << "Warrior level 2 adds 6 hit points";
    EXPECT_EQ(ask("tostring(s:has('fish'))"), "true") << "Brune's catch is in the bag";
    ASSERT_TRUE(console.frames(3));
    ASSERT_TRUE(game.capture(shot));
    EXPECT_TRUE(gamescreen::coveredByBox(shot, 100, 5, 600, 50)) << "the result box tells the spoils";
    gamescreen::keepScreenshot(game, "victory-level-up");

    clickAndRun(MENU_X, ONLY_OPTION_Y); // "exit_combat"
    EXPECT_EQ(ask("s:combatStage()"), "none");
    EXPECT_EQ(askInt("fenwy:getAttack()"), attack + 500 + 2)
        << "focus ends with the fight and gives back what it added; level 2 adds 2";
    game.kill();
}
