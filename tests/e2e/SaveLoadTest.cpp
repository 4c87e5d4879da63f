#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "support/Files.h"

// F5 and F9 in the real game: a quick save, a walk away, a quick load, and
// the avatar stands where it stood, on the console and on the screen.
namespace
{
using Image = GameProcess::Image;

// The camera follows the avatar, so the avatar and the ground around it
// fill the middle of the window; the news of a save shows along the top.
const int VIEW_X0 = 200;
const int VIEW_Y0 = 140;
const int VIEW_X1 = 440;
const int VIEW_Y1 = 340;
}

class SaveLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_FALSE(saves.path().empty());
        dataHome = saves.path();
        // The game takes its save folder from the environment it inherits.
        const char* old = std::getenv("XDG_DATA_HOME");
        hadDataHome = old != nullptr;
        oldDataHome = old ? old : "";
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        ASSERT_TRUE(startGame(game));
    }

    void TearDown() override
    {
        if (hadDataHome)
            ::setenv("XDG_DATA_HOME", oldDataHome.c_str(), 1);
        else
            ::unsetenv("XDG_DATA_HOME");
    }

    // First, so that it goes last, once the game has stopped.
    testsupport::ScratchFolder saves{"zolt-e2e-saves"};
    GameProcess game;
    GameConsole console{game};
    std::string dataHome;
    std::string oldDataHome;
    bool hadDataHome = false;
};

TEST_F(SaveLoad, QuickSaveThenQuickLoadPutsTheAvatarBack)
{
    ASSERT_TRUE(console.open());
    // One step first, so the avatar faces the way it will walk on.
    ASSERT_TRUE(console.tap("d"));
    int row = -1, col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_TRUE(console.frames(3));
    Image saved;
    ASSERT_TRUE(game.capture(saved));

    ASSERT_TRUE(console.tap("F5"));
    ASSERT_TRUE(game.waitForOutput("Saved quick to " + dataHome + "/zolt/saves/quick.xml", GameConsole::WAIT_MS));
    EXPECT_TRUE(std::filesystem::exists(dataHome + "/zolt/saves/quick.xml"));

    ASSERT_TRUE(console.tap("d"));
    ASSERT_TRUE(console.tap("d"));
    int movedRow = -1, movedCol = -1;
    ASSERT_TRUE(console.avatarTile(movedRow, movedCol));
    ASSERT_EQ(movedRow, row);
    ASSERT_EQ(movedCol, col + 2) << "walked two tiles away";
    ASSERT_TRUE(console.frames(3));
    Image away;
    ASSERT_TRUE(game.capture(away));
    ASSERT_GT(gamescreen::regionDifference(saved, away, VIEW_X0, VIEW_Y0, VIEW_X1, VIEW_Y1), 8.0)
        << "the view moved with the avatar";

    ASSERT_TRUE(console.tap("F9"));
    ASSERT_TRUE(game.waitForOutput("Loaded (quick)", GameConsole::WAIT_MS));
    ASSERT_TRUE(console.frames(3)) << "the scene is entered at the end of the next update";
    int loadedRow = -1, loadedCol = -1;
    ASSERT_TRUE(console.avatarTile(loadedRow, loadedCol));
    EXPECT_EQ(loadedRow, row);
    EXPECT_EQ(loadedCol, col);
    Image loaded;
    ASSERT_TRUE(game.capture(loaded));
    gamescreen::keepScreenshot(game, "quick-load");
    EXPECT_LT(gamescreen::regionDifference(saved, loaded, VIEW_X0, VIEW_Y0, VIEW_X1, VIEW_Y1), 8.0)
        << "the view is back where it was saved";
    console.close();
    game.kill();
}

TEST_F(SaveLoad, TheLoadMenuListsTheQuickSaveAndLoadsItOnAClick)
{
    const int MENU_BUTTON_X = 40, MENU_BUTTON_Y = 465;
    const int MAIN_MENU_X = 80, LOAD_ENTRY_Y = 413;
    const int FIRST_SLOT_X = 300, FIRST_SLOT_Y = 60;
    ASSERT_TRUE(console.open());
    int row = -1, col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_TRUE(console.tap("F5"));
    ASSERT_TRUE(game.waitForOutput("Saved quick to", GameConsole::WAIT_MS));
    ASSERT_TRUE(console.tap("d"));
    console.close();

    Image shot;
    ASSERT_TRUE(game.click(MENU_BUTTON_X, MENU_BUTTON_Y));
    ASSERT_TRUE(gamescreen::waitForScreen(
        game, [](const Image& image) { return gamescreen::coveredByList(image, 20, 380, 140, 440); }, shot))
        << "the main menu reaches down to its Load entry";
    ASSERT_TRUE(game.click(MAIN_MENU_X, LOAD_ENTRY_Y));
    ASSERT_TRUE(gamescreen::waitForScreen(
        game, [](const Image& image) { return gamescreen::coveredByList(image, 240, 45, 560, 75); }, shot))
        << "the Load menu opens with its slots";
    gamescreen::keepScreenshot(game, "load-menu");
    ASSERT_TRUE(game.click(FIRST_SLOT_X, FIRST_SLOT_Y));
    ASSERT_TRUE(game.waitForOutput("Loaded (quick)", GameConsole::WAIT_MS));

    ASSERT_TRUE(console.open());
    int loadedRow = -1, loadedCol = -1;
    ASSERT_TRUE(console.avatarTile(loadedRow, loadedCol));
    EXPECT_EQ(loadedRow, row);
    EXPECT_EQ(loadedCol, col);
    console.close();
    game.kill();
}
