#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "PlaythroughDriver.h"
#include "RunningGame.h"

// The demo game played through by a player who follows the walkthrough:
// real keys and clicks from the first screen, through the story, the fights
// and the boss, to the ending screen, then again from the start.
namespace
{
using Image = GameProcess::Image;

// The ending screen's buttons, in window pixels.
const int PLAY_AGAIN_X = 224;
const int QUIT_X = 416;
const int BUTTONS_Y = 336;

// Opaque dark blue over the whole window, with the grey buttons below the
// middle.
bool endScreenShown(const Image& image)
{
    const gamescreen::Mean top = gamescreen::regionMean(image, 0, 0, 640, 120);
    return top.r < 30 && top.g < 30 && top.b < 50 && top.b > top.r &&
           gamescreen::coveredByBox(image, PLAY_AGAIN_X - 60, BUTTONS_Y - 10, PLAY_AGAIN_X + 60, BUTTONS_Y + 10) &&
           gamescreen::whitePixels(image, 0, 60, 640, 160) > 20;
}

int countLines(GameProcess& game, const std::string& text)
{
    const std::vector<std::string> lines = game.outputLines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), text));
}

bool showsEndScreen(GameConsole& console, GameProcess& game)
{
    Image shot;
    return console.framesUntil([&] { return game.capture(shot) && endScreenShown(shot); }, 20);
}

// The same process starts over: wait for its second start-up line.
bool startsAgain(GameProcess& game, int startsBefore)
{
    for (int wait = 0; wait < 1200; ++wait)
    {
        if (countLines(game, "init") > startsBefore)
            return true;
        if (game.waitUntilExited(50))
            return false;
    }
    return false;
}
}

using Playthrough = RunningGame;

TEST_F(Playthrough, TheStoryPlaysFromTheBeachToTheEndingAndBackToTheStart)
{
    PlaythroughDriver player(game, console);
    ASSERT_TRUE(player.load(ZOLT_SOURCE_DIR "/tests/e2e/Playthrough.txt")) << player.error();
    player.setBag({"potion", "potion", "banana"});
    ASSERT_TRUE(player.play()) << player.error();
    std::cerr << "Playthrough: fights lost on the way: " << player.fightsLost() << std::endl;

    // The closing words first, then the ending screen over everything.
    ASSERT_TRUE(showsEndScreen(console, game)) << "the ending screen shows once the conversation closes";
    gamescreen::keepScreenshot(game, "the-end");
    const std::string row = ask("fenwy:getRow()");
    ASSERT_TRUE(console.tap("s"));
    EXPECT_EQ(ask("fenwy:getRow()"), row) << "nobody walks under the ending screen";

    // Play again: the game starts afresh, and nothing of the old run is left.
    const int startsBefore = countLines(game, "init");
    // The click is seen at the end of the frame that reads the console's
    // last line; the next frame is the old run's last.
    ASSERT_TRUE(game.click(PLAY_AGAIN_X, BUTTONS_Y));
    console.close();
    ASSERT_TRUE(startsAgain(game, startsBefore)) << "a new run starts in the same process";
    ASSERT_TRUE(game.waitForWindow("OpenGL", 640, 480, 60000));
    ASSERT_TRUE(console.open());
    EXPECT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "8,9") << "back on the beach";
    EXPECT_EQ(ask("s:getflag('vosk_down') .. s:getflag('mayor_sent') .. s:getflag('leader_down')"), "000");
    EXPECT_EQ(ask("s:questState('vosk') .. s:questState('crate')"), "00");
    EXPECT_EQ(ask("s:getPartySize()"), "2") << "Nell and Aldric joined the old run only";
    EXPECT_EQ(ask("tostring(s:has('oldKey')) .. tostring(s:has('potion'))"), "falsetrue");
    EXPECT_EQ(ask("fenwy:getHP(false) .. '/' .. fenwy:getHP(true)"), "30/30") << "the charm was the old run's";
    Image shot;
    ASSERT_TRUE(game.capture(shot));
    EXPECT_FALSE(endScreenShown(shot));
    console.close();
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
}

TEST_F(Playthrough, QuitOnTheEndingScreenEndsTheGame)
{
    // Straight to the ending (the story's last conversation calls this).
    game.writeLine("s:theEnd()");
    ASSERT_TRUE(showsEndScreen(console, game));
    ASSERT_TRUE(game.click(QUIT_X, BUTTONS_Y));
    ASSERT_TRUE(console.frames(2));
    console.close();
    EXPECT_EQ(game.waitForExit(GameConsole::WAIT_MS), 1) << "Quit ends the game as Escape does";
    EXPECT_EQ(countLines(game, "init"), 1) << "and does not start it again";
}

// Someone standing in the walkthrough's way is walked round, one square
// aside, and the walk still ends where the walkthrough says.
TEST_F(Playthrough, SomebodyInTheWayIsWalkedRound)
{
    const std::string path = ::testing::TempDir() + "zolt-walk-round.txt";
    {
        std::ofstream walk(path);
        walk << "at 8 9\nwalk d 4\nat 8 13\n";
    }
    ASSERT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "8,9");
    // Brune, who does not wander, two squares ahead of the avatar.
    ask("brune:setPosition(8, 11)");
    ASSERT_EQ(ask("brune:getRow() .. ',' .. brune:getCol()"), "8,11");
    PlaythroughDriver player(game, console);
    ASSERT_TRUE(player.load(path)) << player.error();
    EXPECT_TRUE(player.play()) << player.error();
    EXPECT_EQ(ask("brune:getRow() .. ',' .. brune:getCol()"), "8,11") << "walked round, not through";
    std::remove(path.c_str());
}
