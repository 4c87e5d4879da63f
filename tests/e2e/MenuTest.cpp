#include <gtest/gtest.h>

#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "MapView.h"

// The menus of the real game, driven with the mouse and checked on the
// window's pictures. Window pixels, origin top left: the "Menu" button sits
// in the bottom-left corner, the main menu over the left quarter with
// "Party", "Inventory", "Quests", "Save" and "Load" down
// its height.
namespace
{
using gamescreen::coveredByBox;
using gamescreen::coveredByList;
using gamescreen::keepScreenshot;
using gamescreen::waitForScreen;
using Image = GameProcess::Image;

const int MENU_BUTTON_X = 40;
const int MENU_BUTTON_Y = 465;
const int MAIN_MENU_X = 80;
// Five entries share the height inside the title bands: the middle of the
// first and of the second.
const int PARTY_ENTRY_Y = 67;
const int INVENTORY_ENTRY_Y = 153;

bool mainMenuShown(const Image& image)
{
    return coveredByList(image, 20, 60, 140, 200);
}

bool partyMenuShown(const Image& image)
{
    return coveredByList(image, 240, 60, 600, 420);
}

bool dialogBandShown(const Image& image)
{
    return coveredByBox(image, 200, 440, 600, 470) || coveredByList(image, 200, 440, 600, 470);
}

// Whether the bottom quarter looks as it did in `before` again.
bool bandGoneAgain(const Image& image, const Image& before)
{
    return gamescreen::regionDifference(image, before, 0, 360, 640, 480) < 8.0;
}
}

class Menus : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_TRUE(startGame(game));
    }

    void openMainMenu()
    {
        ASSERT_TRUE(game.click(MENU_BUTTON_X, MENU_BUTTON_Y));
        ASSERT_TRUE(waitForScreen(game, mainMenuShown, shot)) << "the Menu button opens the main menu";
    }

    // Lets a few frames see the last click, then asks where the fight stands.
    std::string stageAfterFrames()
    {
        std::string stage;
        if (!console.frames(3) || !console.query("s:combatStage()", stage))
            return "?";
        return stage;
    }

    int avatarHP()
    {
        std::string value;
        if (!console.query("fenwy:getHP(false)", value))
            return -1;
        return std::atoi(value.c_str());
    }

    GameProcess game;
    GameConsole console{game};
    Image shot;
};

TEST_F(Menus, TheMainMenuOpensThePartyMenuWhoseSheetFollowsTheChosenMember)
{
    Image start;
    ASSERT_TRUE(game.capture(start));
    ASSERT_FALSE(mainMenuShown(start));
    keepScreenshot(game, "game");

    openMainMenu();
    keepScreenshot(game, "main-menu");
    // Over the menu, then away from it.
    ASSERT_TRUE(game.moveMouse(MAIN_MENU_X, 240));
    ASSERT_TRUE(game.moveMouse(MAIN_MENU_X + 10, 250));
    ASSERT_TRUE(game.moveMouse(400, 240));
    EXPECT_TRUE(waitForScreen(
        game, [](const Image& i) { return !mainMenuShown(i); }, shot))
        << "leaving the main menu closes it";

    openMainMenu();
    ASSERT_TRUE(game.click(MAIN_MENU_X, PARTY_ENTRY_Y));
    ASSERT_TRUE(waitForScreen(game, partyMenuShown, shot)) << "Party opens the full-screen party menu";
    EXPECT_GT(gamescreen::whitePixels(shot, 30, 30, 150, 60), 20) << "the first member's name";
    EXPECT_GT(gamescreen::whitePixels(shot, 30, 140, 150, 170), 20) << "the second member's name";
    keepScreenshot(game, "party-menu");

    // The sheet shows the first member; choosing the second redraws it.
    const Image firstSheet = shot;
    ASSERT_TRUE(game.click(96, 186));
    EXPECT_TRUE(waitForScreen(
        game,
        [&firstSheet](const Image& i) {
            return gamescreen::whitePixels(i, 220, 20, 620, 60) !=
                   gamescreen::whitePixels(firstSheet, 220, 20, 620, 60);
        },
        shot))
        << "the sheet shows the chosen member";

    ASSERT_TRUE(game.click(40, 393));
    EXPECT_TRUE(waitForScreen(
        game, [](const Image& i) { return !partyMenuShown(i); }, shot))
        << "Close closes it";
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
}

TEST_F(Menus, TheInventoryListsTheItemsAndUsingOneRunsItsScript)
{
    ASSERT_TRUE(console.open());
    // Hurt, so that both potions have something to heal.
    game.writeLine("fenwy:addHP(-25, false)");
    const int hp = avatarHP();
    console.close();
    ASSERT_GT(hp, 0);

    openMainMenu();
    ASSERT_TRUE(game.click(MAIN_MENU_X, INVENTORY_ENTRY_Y));
    ASSERT_TRUE(waitForScreen(
        game, [](const Image& i) { return coveredByList(i, 150, 45, 580, 80); }, shot))
        << "the first line of the inventory";
    EXPECT_TRUE(coveredByList(shot, 150, 90, 580, 120)) << "the second line";
    EXPECT_FALSE(coveredByList(shot, 150, 140, 580, 170)) << "two kinds of item in the demo party";
    keepScreenshot(game, "inventory");

    // The first line is the healing potions: each use heals ten and spends one.
    const Image before = shot;
    ASSERT_TRUE(game.click(360, 63));
    ASSERT_TRUE(waitForScreen(
        game,
        [&before](const Image& i)
        { return gamescreen::whitePixels(i, 150, 45, 580, 80) != gamescreen::whitePixels(before, 150, 45, 580, 80); },
        shot))
        << "the count on the line changes";
    ASSERT_TRUE(console.open());
    EXPECT_EQ(avatarHP(), hp + 10);
    std::string hasPotion;
    ASSERT_TRUE(console.query("tostring(s:has('potion'))", hasPotion));
    EXPECT_EQ(hasPotion, "true") << "one of two spent";
    console.close();

    ASSERT_TRUE(game.click(360, 63));
    ASSERT_TRUE(waitForScreen(
        game, [](const Image& i) { return !coveredByList(i, 150, 90, 580, 120); }, shot))
        << "the last potion is gone, so the list is one line shorter";
    ASSERT_TRUE(console.open());
    EXPECT_EQ(avatarHP(), hp + 20);
    ASSERT_TRUE(console.query("tostring(s:has('potion'))", hasPotion));
    EXPECT_EQ(hasPotion, "false");
    console.close();
    game.kill();
}

TEST_F(Menus, TalkingToBrunePagesHisTextOffersOptionsAndCanBeRepeated)
{
    ASSERT_TRUE(console.open());
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 7; ++step)
        ASSERT_TRUE(console.tap("s"));
    Image beforeTalk;
    ASSERT_TRUE(game.capture(beforeTalk));
    ASSERT_TRUE(console.tap("z"));
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 1);
    console.close();
    ASSERT_TRUE(waitForScreen(game, dialogBandShown, shot)) << "the dialog band";
    EXPECT_GT(gamescreen::whitePixels(shot, 0, 365, 640, 400), 40) << "his words";
    keepScreenshot(game, "dialog");

    // One page of text; a click brings up the three options.
    ASSERT_TRUE(game.click(320, 420));
    ASSERT_TRUE(waitForScreen(
        game, [](const Image& i) { return coveredByList(i, 100, 365, 600, 470); }, shot));
    keepScreenshot(game, "dialog-options");
    // The second option asks about the catch; Brune hands over a fish.
    ASSERT_TRUE(game.click(320, 420));
    ASSERT_TRUE(waitForScreen(
        game, [](const Image& i) { return coveredByBox(i, 100, 400, 600, 470); }, shot))
        << "the next node's text";
    ASSERT_TRUE(console.open());
    std::string hasFish;
    ASSERT_TRUE(console.query("tostring(s:has('fish'))", hasFish));
    EXPECT_EQ(hasFish, "true");
    console.close();

    ASSERT_TRUE(game.click(320, 420));
    ASSERT_TRUE(waitForScreen(
        game, [](const Image& i) { return coveredByList(i, 100, 365, 600, 470); }, shot));
    ASSERT_TRUE(game.click(320, 420)); // the only option leads out
    ASSERT_TRUE(waitForScreen(
        game, [&beforeTalk](const Image& i) { return bandGoneAgain(i, beforeTalk); }, shot));
    ASSERT_TRUE(console.open());
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 0);
    ASSERT_TRUE(console.tap("z"));
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 1) << "Brune can be talked to again";
    console.close();
    EXPECT_TRUE(waitForScreen(game, dialogBandShown, shot));
    game.kill();
}

TEST_F(Menus, AFightFromTheConsoleIsPlayedThroughTheCombatMenu)
{
    // In combat every key but Escape belongs to the fight, so the console is
    // opened before it starts and stays open: each click is seen by the
    // frames the console lets run.
    ASSERT_TRUE(console.open());
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(console.tap("s"));
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_EQ(row, 13);
    ASSERT_EQ(col, 15) << "two squares above Brune";
    std::string hp;
    ASSERT_TRUE(console.query("brune:getHP(false)", hp));
    const int bruneHP = std::atoi(hp.c_str());
    game.writeLine("s:fight('brune;')");
    ASSERT_EQ(stageAfterFrames(), "base");
    ASSERT_TRUE(game.capture(shot));
    EXPECT_TRUE(coveredByList(shot, 100, 380, 600, 460)) << "the combat menu along the bottom";
    keepScreenshot(game, "combat-menu");

    // Fenwy (row 13, column 15 of the 18 x 24 beach) is chosen and takes
    // one step down.
    const MapView pier = MapView::fight(18, 24, 13, 15);
    ASSERT_TRUE(game.click(pier.x(15), pier.y(13)));
    ASSERT_EQ(stageAfterFrames(), "move");
    ASSERT_TRUE(console.tap("s"));
    ASSERT_TRUE(game.click(320, 444)); // "finish", the second of back and finish
    ASSERT_EQ(stageAfterFrames(), "ability");
    // back, none, focus, slash: slash is the fourth line.
    ASSERT_TRUE(game.click(320, 456));
    ASSERT_EQ(stageAfterFrames(), "target");
    // Brune stands just below Fenwy, whom the camera followed a row down.
    const MapView stepped = MapView::fight(18, 24, 14, 15);
    ASSERT_TRUE(game.click(stepped.x(15), stepped.y(15)));
    ASSERT_TRUE(game.click(320, 444)); // "finish"
    ASSERT_EQ(stageAfterFrames(), "base");
    ASSERT_TRUE(game.capture(shot));
    EXPECT_TRUE(coveredByBox(shot, 100, 5, 600, 50)) << "the result text box at the top";
    EXPECT_GT(gamescreen::whitePixels(shot, 0, 0, 640, 60), 30) << "what happened";
    keepScreenshot(game, "combat-result");
    ASSERT_TRUE(console.query("brune:getHP(false)", hp));
    EXPECT_LE(std::atoi(hp.c_str()), bruneHP);

    ASSERT_TRUE(game.click(320, 420)); // "pass_turn", the only option
    ASSERT_EQ(stageAfterFrames(), "enemy");
    // Brune takes his turn; "continue" appears on the band when he is done.
    ASSERT_TRUE(console.framesUntil([this] { return game.capture(shot) && coveredByList(shot, 100, 380, 600, 460); }));
    ASSERT_TRUE(game.click(320, 420)); // "continue"
    EXPECT_EQ(stageAfterFrames(), "base") << "the turn came back";
    game.kill();
}
