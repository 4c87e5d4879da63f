#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "EnvironmentValue.h"
#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "support/Files.h"

// The game as a player starts it: on the title screen, played with the
// keyboard (and a gamepad) only, with settings that outlive the run. Each
// test keeps its settings and saves in a scratch folder of its own.
namespace
{
// The title and pause menus stand in the middle of the window.
bool menuInTheMiddle(const GameProcess::Image& shot)
{
    return gamescreen::coveredByList(shot, 200, 200, 440, 280);
}

// The settings are written when they change; the title runs no console to
// ask, so the file itself is watched.
bool waitForFileHolding(const std::string& path, const std::string& text)
{
    for (int attempt = 0; attempt < 300; ++attempt)
    {
        if (testsupport::readText(path).find(text) != std::string::npos)
            return true;
        ::usleep(100000);
    }
    return false;
}

// The main menu runs down the left edge.
bool mainMenuShown(const GameProcess::Image& shot)
{
    return gamescreen::coveredByList(shot, 20, 100, 140, 300);
}

class PlayerGame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_FALSE(_scratch.path().empty());
    }

    std::string settingsFile() const { return _scratch.path() + "/config/zolt/settings.xml"; }

    // The settings file the next game reads, its folders made first.
    void writeSettings(const std::string& text)
    {
        ::mkdir((_scratch.path() + "/config").c_str(), 0755);
        ::mkdir((_scratch.path() + "/config/zolt").c_str(), 0755);
        testsupport::writeText(settingsFile(), text);
    }

    // Waits for the title, then presses keys on it.
    void waitForTitle(GameProcess& game)
    {
        GameProcess::Image shot;
        ASSERT_TRUE(gamescreen::waitForScreen(game, menuInTheMiddle, shot)) << "the title menu never showed";
        gamescreen::keepScreenshot(game, "title");
    }

    void keys(GameProcess& game, std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ASSERT_TRUE(game.pressKey(name, 150)) << name;
    }

    testsupport::ScratchFolder _scratch{"zolt-player"};
    EnvironmentValue _config{"XDG_CONFIG_HOME", _scratch.path() + "/config"};
    EnvironmentValue _data{"XDG_DATA_HOME", _scratch.path() + "/data"};
};
}

TEST_F(PlayerGame, TitleThenNewGameThenAFightPlayedWithKeysOnly)
{
    GameProcess game;
    game.atTitle();
    ASSERT_TRUE(game.launch());
    waitForTitle(game);
    GameConsole console(game);

    keys(game, {"Return"}); // New game, the focused entry
    GameProcess::Image shot;
    ASSERT_TRUE(gamescreen::waitForScreen(
        game, [](const GameProcess::Image& s) { return !menuInTheMiddle(s); }, shot))
        << "the title stays up";
    ASSERT_TRUE(console.open()) << "the game runs once the title is gone";

    // Fenwy on the pier, as the mouse-played fight has it.
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 5; ++step)
        ASSERT_TRUE(console.tap("s"));
    ASSERT_EQ(console.ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), "13,15");
    // Brune steps up next to her, within a slash's reach.
    game.writeLine("brune:setPosition(14, 15) fenwy:addAttack(500) brune:addHP(-29, false)");
    game.writeLine("s:fight('brune;')");
    ASSERT_EQ(console.ask("s:combatStage()"), "base");

    // The cursor starts on Fenwy: Z takes her, as a click on her square would.
    ASSERT_TRUE(console.tap("z"));
    ASSERT_EQ(console.ask("s:combatStage()"), "move");
    // The band offers back, finish: Down to finish, Enter takes it.
    ASSERT_TRUE(console.tap("Down"));
    ASSERT_TRUE(console.tap("Return"));
    ASSERT_EQ(console.ask("s:combatStage()"), "ability");
    // back, none, focus, slash.
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(console.tap("Down"));
    ASSERT_TRUE(console.tap("Return"));
    ASSERT_EQ(console.ask("s:combatStage()"), "target");
    // The cursor one square down is Brune's; Z aims at him, then finish.
    ASSERT_TRUE(console.tap("s"));
    ASSERT_TRUE(console.tap("z"));
    ASSERT_TRUE(console.tap("Down"));
    ASSERT_TRUE(console.tap("Return"));
    ASSERT_EQ(console.ask("s:combatStage()"), "win") << "the slash felled Brune";
    ASSERT_TRUE(console.tap("Return")); // exit_combat
    EXPECT_EQ(console.ask("s:combatStage()"), "none");
    console.close();

    // Escape on the map pauses; only the second one quits.
    ASSERT_TRUE(game.pressKey("Escape", 150));
    ASSERT_TRUE(gamescreen::waitForScreen(game, menuInTheMiddle, shot)) << "no pause menu";
    gamescreen::keepScreenshot(game, "pause");
    EXPECT_TRUE(game.isRunning()) << "one Escape no longer ends the session";
    ASSERT_TRUE(game.pressKey("Escape", 150));
    EXPECT_EQ(game.waitForExit(GameConsole::WAIT_MS), 1);
}

TEST_F(PlayerGame, SettingsChangedOnTheTitleAreKeptForTheNextRun)
{
    {
        GameProcess game;
        game.atTitle();
        ASSERT_TRUE(game.launch());
        waitForTitle(game);
        // New game, Continue, Load, Settings: the fourth entry.
        keys(game, {"Down", "Down", "Down", "Return"});
        // Music 80% -> 90%; effects 80% -> 90%; then Walk up (the fifth
        // entry), which takes the next key pressed: I.
        keys(game, {"Return", "Down", "Return", "Down", "Down", "Down", "Return", "i"});
        ASSERT_TRUE(waitForFileHolding(settingsFile(), "key=\"I\"")) << testsupport::readText(settingsFile());
        // Escape leaves the settings for the title, Escape there quits.
        EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
    }
    const std::string saved = testsupport::readText(settingsFile());
    EXPECT_NE(saved.find("music=\"90\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("effects=\"90\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("action=\"walk_up\" key=\"I\""), std::string::npos) << saved;

    GameProcess again;
    ASSERT_TRUE(startGame(again));
    GameConsole console(again);
    ASSERT_TRUE(console.open());
    int row = 0;
    int col = 0;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_TRUE(console.tap("w"));
    int afterW = 0;
    ASSERT_TRUE(console.avatarTile(afterW, col));
    EXPECT_EQ(afterW, row) << "W no longer walks up";
    ASSERT_TRUE(console.tap("i"));
    int afterI = 0;
    ASSERT_TRUE(console.avatarTile(afterI, col));
    EXPECT_EQ(afterI, row - 1) << "I walks up now";
    EXPECT_EQ(testsupport::readText(settingsFile()), saved) << "a run that changes nothing keeps the file";
    again.kill();
}

TEST_F(PlayerGame, ABadSettingsFileIsReportedAndTheGameStarts)
{
    writeSettings("<settings><window scale=\"7\"/><keys><key action=\"walk_up\"");
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    bool named = false;
    for (const std::string& line : game.errorLines())
        named = named || (line.find(settingsFile()) != std::string::npos && line.find("XML") != std::string::npos);
    EXPECT_TRUE(named) << "standard error names the file and the fault";
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    int row = 0;
    int col = 0;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_TRUE(console.tap("w"));
    int after = 0;
    ASSERT_TRUE(console.avatarTile(after, col));
    EXPECT_EQ(after, row - 1) << "the default keys are used";
    game.kill();
}

TEST_F(PlayerGame, AGamepadWalksAndOpensTheMenu)
{
    const std::string pad = _scratch.path() + "/gamepad";
    EnvironmentValue gamepad("ZOLT_GAMEPAD_FILE", pad);
    const std::string idle = "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0  0 0 0 0 0 0\n";
    testsupport::writeText(pad, idle);
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    int row = 0;
    int col = 0;
    ASSERT_TRUE(console.avatarTile(row, col));

    // The left stick leant to the right for a few frames, then let go.
    testsupport::writeText(pad, "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0  0.9 0 0 0 0 0\n");
    ASSERT_TRUE(console.frames(4));
    testsupport::writeText(pad, idle);
    int nowRow = 0;
    int nowCol = 0;
    ASSERT_TRUE(console.framesUntil([&] { return console.avatarTile(nowRow, nowCol) && nowCol > col; }, 30))
        << "the stick walks";
    EXPECT_EQ(nowRow, row);
    console.close();

    // Y opens the main menu, B backs out of it.
    testsupport::writeText(pad, "0 0 0 1 0 0 0 0 0 0 0 0 0 0 0  0 0 0 0 0 0\n");
    GameProcess::Image shot;
    ASSERT_TRUE(gamescreen::waitForScreen(game, mainMenuShown, shot)) << "Y opens the menu";
    gamescreen::keepScreenshot(game, "gamepad-menu");
    testsupport::writeText(pad, "0 1 0 0 0 0 0 0 0 0 0 0 0 0 0  0 0 0 0 0 0\n");
    EXPECT_TRUE(gamescreen::waitForScreen(
        game, [](const GameProcess::Image& s) { return !mainMenuShown(s); }, shot))
        << "B closes it";
    testsupport::writeText(pad, idle);
    game.kill();
}

TEST_F(PlayerGame, AtScaleTwoEveryPixelOfThePictureIsATwoByTwoBlock)
{
    writeSettings("<settings><window scale=\"2\" fullscreen=\"false\"/></settings>");
    GameProcess game;
    ASSERT_TRUE(game.launch("OpenGL", 1280, 960)) << "the window is twice the picture's size";
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.frames(3));
    GameProcess::Image shot;
    ASSERT_TRUE(game.capture(shot));
    // The test screen may be smaller than the window: what it shows is checked.
    ASSERT_GT(shot.width, 640);
    ASSERT_GT(shot.height, 480);
    const int width = std::min(shot.width, 1280) / 2 * 2;
    const int height = std::min(shot.height, 960) / 2 * 2;
    gamescreen::keepScreenshot(game, "scale-2");
    int blocks = 0;
    int uneven = 0;
    std::set<std::tuple<int, int, int>> colours;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2)
        {
            const GameProcess::Color c = shot.at(x, y);
            colours.insert(std::make_tuple(c.r, c.g, c.b));
            for (const auto& other : {shot.at(x + 1, y), shot.at(x, y + 1), shot.at(x + 1, y + 1)})
                uneven += other.r != c.r || other.g != c.g || other.b != c.b ? 1 : 0;
            ++blocks;
        }
    EXPECT_GT(colours.size(), 20u) << "the picture shows the scene, not one colour";
    EXPECT_EQ(uneven, 0) << "of " << blocks << " blocks; nearest filtering keeps each block one colour";
    game.kill();
}

TEST_F(PlayerGame, AResizedOrFullScreenWindowLetterboxesThePictureAndClicksStillLand)
{
    for (const bool fullScreen : {false, true})
    {
        SCOPED_TRACE(fullScreen ? "full screen" : "resized");
        writeSettings(std::string("<settings><window scale=\"1\" fullscreen=\"") +
                                                   (fullScreen ? "true" : "false") + "\"/></settings>");
        GameProcess game;
        // Full screen, the window takes the whole test screen (its size is
        // read off the picture below).
        ASSERT_TRUE(fullScreen ? game.start() && game.waitForWindow("OpenGL", -1, -1) : game.launch());
        GameConsole console(game);
        ASSERT_TRUE(console.open());
        EXPECT_TRUE(game.isResizable()) << "a player may drag the window larger";
        if (!fullScreen)
        {
            ASSERT_TRUE(game.resizeWindow(840, 600));
        }
        ASSERT_TRUE(console.frames(5));
        GameProcess::Image shot;
        ASSERT_TRUE(game.capture(shot));
        if (!fullScreen)
        {
            ASSERT_EQ(std::make_pair(shot.width, shot.height), std::make_pair(840, 600));
        }
        ASSERT_GT(shot.width, 640);
        // The picture scaled by a whole number, in the middle; black bars round it.
        const int scale = std::max(1, std::min(shot.width / 640, shot.height / 480));
        const int left = (shot.width - 640 * scale) / 2;
        const int top = (shot.height - 480 * scale) / 2;
        const int right = left + 640 * scale;
        const int bottom = top + 480 * scale;
        const struct
        {
            const char* where;
            int x0, y0, x1, y1;
        } bars[] = {{"left", 0, 0, left, shot.height},
                    {"right", right, 0, shot.width, shot.height},
                    {"top", left, 0, right, top},
                    {"bottom", left, bottom, right, shot.height}};
        for (const auto& bar : bars)
        {
            if (bar.x1 <= bar.x0 || bar.y1 <= bar.y0)
                continue;
            const gamescreen::Mean mean = gamescreen::regionMean(shot, bar.x0, bar.y0, bar.x1, bar.y1);
            EXPECT_LT(mean.r + mean.g + mean.b, 3.0) << bar.where << " bar is black";
        }
        const gamescreen::Mean picture = gamescreen::regionMean(shot, left, top, right, bottom);
        EXPECT_GT(picture.r + picture.g + picture.b, 60.0) << "the scene in the middle";
        // The Menu button moved with the picture, and a click on it still lands.
        const int menuX = 40;
        const int menuY = 465;
        ASSERT_TRUE(game.click(left + menuX * scale, top + menuY * scale));
        ASSERT_TRUE(console.frames(5));
        ASSERT_TRUE(game.capture(shot));
        EXPECT_TRUE(gamescreen::coveredByList(shot, left + 20 * scale, top + 100 * scale, left + 140 * scale,
                                              top + 300 * scale))
            << "the main menu opened";
        game.kill();
    }
}

TEST_F(PlayerGame, ClosingTheWindowPausesFirstAndQuitsTheSecondTime)
{
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    ASSERT_TRUE(game.requestClose());
    GameProcess::Image shot;
    ASSERT_TRUE(gamescreen::waitForScreen(game, menuInTheMiddle, shot)) << "the pause menu, not the end";
    EXPECT_TRUE(game.isRunning());
    // Resume (X) and the game goes on: the console answers again.
    ASSERT_TRUE(game.pressKey("x", 150));
    GameConsole console(game);
    ASSERT_TRUE(console.open()) << "resumed";
    console.close();
    ASSERT_TRUE(game.requestClose());
    ASSERT_TRUE(gamescreen::waitForScreen(game, menuInTheMiddle, shot));
    ASSERT_TRUE(game.requestClose());
    EXPECT_EQ(game.waitForExit(GameConsole::WAIT_MS), 1) << "closed twice, the game ends as it always did";
}

TEST_F(PlayerGame, QuitToTitleStartsTheGameAgainOnItsTitle)
{
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.tap("d"));
    console.close();
    ASSERT_TRUE(game.pressKey("Escape", 150));
    GameProcess::Image shot;
    ASSERT_TRUE(gamescreen::waitForScreen(game, menuInTheMiddle, shot)) << "no pause menu";
    size_t starts = 0;
    for (const std::string& line : game.outputLines())
        starts += line == "init" ? 1 : 0;
    // Resume, Save, Load, Settings, Quit to title.
    keys(game, {"Down", "Down", "Down", "Down", "Return"});
    ASSERT_TRUE(game.waitForOutput("init", GameConsole::WAIT_MS));
    bool again = false;
    for (int attempt = 0; attempt < 300 && !again; ++attempt)
    {
        size_t now = 0;
        for (const std::string& line : game.outputLines())
            now += line == "init" ? 1 : 0;
        again = now > starts;
        if (!again)
            ::usleep(100000);
    }
    ASSERT_TRUE(again) << "a new run starts in the same process";
    ASSERT_TRUE(game.waitForWindow("OpenGL", 640, 480, 60000));
    EXPECT_TRUE(game.isRunning());
    ASSERT_TRUE(gamescreen::waitForScreen(game, menuInTheMiddle, shot)) << "the new run opens on the title";
    // New game from there plays as ever.
    keys(game, {"Return"});
    ASSERT_TRUE(gamescreen::waitForScreen(
        game, [](const GameProcess::Image& s) { return !menuInTheMiddle(s); }, shot));
    ASSERT_TRUE(console.open());
    EXPECT_EQ(console.ask("s:combatStage()"), "none");
    console.close();
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
}

TEST_F(PlayerGame, ContinueOnTheTitleLoadsTheNewestSave)
{
    int savedRow = -1;
    int savedCol = -1;
    {
        GameProcess game;
        ASSERT_TRUE(startGame(game));
        GameConsole console(game);
        ASSERT_TRUE(console.open());
        for (int step = 0; step < 3; ++step)
            ASSERT_TRUE(console.tap("d"));
        ASSERT_TRUE(console.avatarTile(savedRow, savedCol));
        ASSERT_TRUE(console.tap("F5"));
        ASSERT_TRUE(game.waitForOutput("Saved quick to", GameConsole::WAIT_MS));
        console.close();
        game.kill();
    }
    GameProcess game;
    game.atTitle();
    ASSERT_TRUE(game.launch());
    waitForTitle(game);
    keys(game, {"Down", "Return"}); // Continue, no longer greyed
    ASSERT_TRUE(game.waitForOutput("Loaded (quick)", GameConsole::WAIT_MS));
    GameProcess::Image shot;
    ASSERT_TRUE(gamescreen::waitForScreen(
        game, [](const GameProcess::Image& s) { return !menuInTheMiddle(s); }, shot))
        << "the title goes once the save is loaded";
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(row, savedRow);
    EXPECT_EQ(col, savedCol);
    console.close();
    game.kill();
}
