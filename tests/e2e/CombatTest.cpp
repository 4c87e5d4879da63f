#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "MapView.h"
#include "RunningGame.h"

// Fights in the real game that fight back. The console sets the scene up
// (and stays open, since a fight takes every key but Escape); the fight
// itself is played with the mouse on the combat menu and the map. With one
// option on the menu it fills the band, so a click at (320, 420) takes it.
namespace
{
const int ONLY_OPTION_X = 320;
const int ONLY_OPTION_Y = 420;
// Fenwy on the pier (row 13, column 15 of the 18 x 24 beach) in a fight.
const MapView PIER = MapView::fight(18, 24, 13, 15);
}

class Fights : public RunningGame
{
protected:
    void clickAndRun(int x, int y)
    {
        ASSERT_TRUE(game.click(x, y));
        ASSERT_TRUE(console.frames(3));
    }

    // Lets frames run until the Lua condition holds.
    bool waitForEnemyTurn(const std::string& until)
    {
        return console.framesUntil([&] { return ask("tostring(" + until + ")") == "true"; });
    }
};

TEST_F(Fights, TheEnemyWalksUpAndStrikesThenFallsToThePlayer)
{
    // Fenwy two squares above Brune on the pier; Brune never misses.
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(console.tap("s"));
    ASSERT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "13,15");
    game.writeLine("brune:addAttack(500)");
    const int hp = askInt("fenwy:getHP(false)");
    game.writeLine("s:fight('brune;')");
    ASSERT_EQ(ask("s:combatStage()"), "base");

    clickAndRun(ONLY_OPTION_X, ONLY_OPTION_Y); // "pass_turn"
    ASSERT_EQ(ask("s:combatStage()"), "enemy");
    ASSERT_TRUE(waitForEnemyTurn("fenwy:getHP(false) < " + std::to_string(hp))) << "Brune walks up and strikes";
    EXPECT_EQ(ask("brune:getRow() .. ',' .. brune:getCol()"), "14,15") << "one step, up to Fenwy";
    // The turn is over when "continue" appears on the band.
    GameProcess::Image shot;
    ASSERT_TRUE(
        console.framesUntil([&] { return game.capture(shot) && gamescreen::coveredByList(shot, 100, 380, 600, 460); }))
        << "continue is offered once Brune is done";
    EXPECT_TRUE(gamescreen::coveredByBox(shot, 100, 5, 600, 50)) << "what Brune did, at the top";
    EXPECT_GT(gamescreen::whitePixels(shot, 0, 0, 640, 60), 30);
    gamescreen::keepScreenshot(game, "enemy-turn");

    // "continue" once Brune is done; then Fenwy's slash finishes him.
    clickAndRun(ONLY_OPTION_X, ONLY_OPTION_Y);
    ASSERT_EQ(ask("s:combatStage()"), "base");
    game.writeLine("fenwy:addAttack(500) brune:addHP(-29, false)");
    clickAndRun(PIER.x(15), PIER.y(13)); // Fenwy
    clickAndRun(320, 444); // "finish" moving
    clickAndRun(320, 456); // back, none, focus, slash
    ASSERT_EQ(ask("s:combatStage()"), "target");
    clickAndRun(PIER.x(15), PIER.y(14)); // Brune, just below
    clickAndRun(320, 444); // "finish"
    ASSERT_EQ(ask("s:combatStage()"), "win") << "the last enemy fell";
    ASSERT_TRUE(game.capture(shot));
    gamescreen::keepScreenshot(game, "victory");
    clickAndRun(ONLY_OPTION_X, ONLY_OPTION_Y); // "exit_combat"
    EXPECT_EQ(ask("s:combatStage()"), "none");
    game.kill();
}

TEST_F(Fights, ALostFightIsTriedAgainFromWhereItBegan)
{
    game.writeLine("rusty:setPosition(9, 9) rusty:addAttack(500) fenwy:addHP(1 - fenwy:getHP(false), false)");
    // Oskel down already: the fight is lost only when every member has fallen.
    game.writeLine("oskel:addHP(-oskel:getHP(false), false)");
    ASSERT_EQ(askInt("fenwy:getHP(false)"), 1);
    game.writeLine("s:fight('rusty;')");
    ASSERT_EQ(ask("s:combatStage()"), "base");
    clickAndRun(ONLY_OPTION_X, ONLY_OPTION_Y); // "pass_turn"
    ASSERT_TRUE(waitForEnemyTurn("s:combatStage() == 'lose'")) << "Rusty's bite is too much";
    GameProcess::Image shot;
    ASSERT_TRUE(console.frames(5));
    ASSERT_TRUE(game.capture(shot));
    EXPECT_TRUE(gamescreen::coveredByBox(shot, 100, 5, 600, 50));
    gamescreen::keepScreenshot(game, "defeat");

    clickAndRun(ONLY_OPTION_X, ONLY_OPTION_Y); // "try_again"
    EXPECT_EQ(ask("s:combatStage()"), "none");
    EXPECT_EQ(askInt("fenwy:getHP(false)"), 1) << "as the fight found her";
    EXPECT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "8,9");
    console.close();
    EXPECT_TRUE(console.open()) << "the game goes on";
    game.kill();
}

TEST_F(Fights, OskelMovesAndStrikesOnHisOwnTurn)
{
    // Fenwy two squares above Brune on the pier, as above; Oskel joins her.
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(console.tap("s"));
    ASSERT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "13,15");
    game.writeLine("oskel:addAttack(500) oskel:addHP(oskel:getHP(true) - oskel:getHP(false), false)");
    game.writeLine("s:fight('brune;')");
    ASSERT_EQ(ask("s:combatStage()"), "base");
    const int row = askInt("oskel:getRow()");
    const int col = askInt("oskel:getCol()");
    EXPECT_EQ(std::abs(row - 13) + std::abs(col - 15), 1) << "Oskel stands next to Fenwy";

    clickAndRun(PIER.x(col), PIER.y(row));
    ASSERT_EQ(ask("s:combatStage()"), "move") << "Oskel is picked";
    const std::string start = ask("oskel:getRow() .. ',' .. oskel:getCol()");
    for (const char* key : {"d", "a", "w"})
    {
        ASSERT_TRUE(console.tap(key));
        ASSERT_TRUE(console.frames(8));
        if (ask("oskel:getRow() .. ',' .. oskel:getCol()") != start)
            break;
    }
    EXPECT_NE(ask("oskel:getRow() .. ',' .. oskel:getCol()"), start) << "Oskel walks on his own turn";
    EXPECT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "13,15") << "Fenwy stays";

    const int hp = askInt("brune:getHP(false)");
    clickAndRun(320, 444); // "finish" moving
    ASSERT_EQ(ask("s:combatStage()"), "ability");
    clickAndRun(320, 452); // back, none, firebolt
    ASSERT_EQ(ask("s:combatStage()"), "target");
    const int bruneRow = askInt("brune:getRow()");
    const int bruneCol = askInt("brune:getCol()");
    clickAndRun(PIER.x(bruneCol), PIER.y(bruneRow));
    clickAndRun(320, 444); // "finish"
    EXPECT_LT(askInt("brune:getHP(false)"), hp) << "Oskel's firebolt lands";
    EXPECT_EQ(ask("s:combatStage()"), "base") << "Fenwy may still act";
    ASSERT_TRUE(console.frames(5));
    gamescreen::keepScreenshot(game, "party-fight");
    game.kill();
}
