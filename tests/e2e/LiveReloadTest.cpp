#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "support/Files.h"

// A game maker edits the running game's files in a copy of the game folder:
// a changed map and a changed dialog line show without a restart, the avatar
// stays where it stood, and a broken file leaves the old version on screen
// with its error named.
namespace
{
const char* const MAP_FILE = "/assets/maps/region1/coastalVillage/start.tmx";
const char* const DIALOG_FILE = "/assets/dialogs/brune.xml";
const char* const OLD_LINE = "Morning, Fenwy! The tide brought something odd in last night.";
const char* const NEW_LINE = "WWWWWWWW WWWWWWWW WWWWWWWW WWWWWWWW WWWWWWWW WWWWWWWW WWWWWWWW";
const int MAP_COLUMNS = 24;
// How soon a change must show: the game looks twice a second.
const int PICKED_UP_MS = 2000;
// The map around the avatar (below the notice line, above the dialog band).
const int MAP_Y0 = 120;
const int MAP_Y1 = 330;
// The text lines of the dialog band at the bottom of the window (below the
// speaker's name, clear of the sea's glitter beside it).
const int DIALOG_Y0 = 362;
const int DIALOG_Y1 = 420;

// Blanks one cell in every drawn layer (not the passability layer), so the
// window's black background shows through there.
std::string blankCell(std::string map, int cell)
{
    size_t layer = 0;
    while ((layer = map.find("<layer ", layer)) != std::string::npos)
    {
        const size_t nameEnd = map.find('>', layer);
        const bool passability = map.substr(layer, nameEnd - layer).find("assability") != std::string::npos;
        size_t tile = map.find("<data", layer);
        layer = nameEnd;
        if (passability || tile == std::string::npos)
            continue;
        for (int i = 0; i <= cell; ++i)
            tile = map.find("<tile", tile + 1);
        const size_t tileEnd = map.find("/>", tile) + 2;
        map.replace(tile, tileEnd - tile, "<tile gid=\"0\"/>");
    }
    return map;
}

int blackPixels(const GameProcess::Image& image, int y0, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = 0; x < image.width; ++x)
        {
            const GameProcess::Color c = image.at(x, y);
            if (c.r < 8 && c.g < 8 && c.b < 8)
                ++count;
        }
    return count;
}

int dialogText(const GameProcess::Image& image)
{
    return gamescreen::whitePixels(image, 0, DIALOG_Y0, image.width, DIALOG_Y1);
}

// Standard error is a pipe of its own: its line may come after the
// standard-output line that was awaited, so it is waited for too.
bool hasErrorLine(GameProcess& game, const std::string& text)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(GameConsole::WAIT_MS);
    do
    {
        for (const std::string& line : game.errorLines())
            if (line.find(text) != std::string::npos)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

class LiveReload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_EQ(GameProcess::runCommand("cp -r " ZOLT_SOURCE_DIR "/assets " + folder.path() + "/"), 0);
        game = std::make_unique<GameProcess>(ZOLT_BINARY_DIR "/zolt", folder.path());
        ASSERT_TRUE(startGame(*game));
    }

    bool waitUntil(const std::function<bool(const GameProcess::Image&)>& shows, int ms)
    {
        return gamescreen::waitForScreen(*game, shows, picture, ms);
    }

    testsupport::ScratchFolder folder{"zolt-reload"};
    std::unique_ptr<GameProcess> game;
    GameProcess::Image picture;
};
}

TEST_F(LiveReload, AChangedMapAndDialogShowAtOnceAndBrokenOnesKeepTheOld)
{
    GameConsole console(*game);
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.avatarTile(row, col));
    console.close();
    ASSERT_TRUE(game->capture(picture));
    const int blackBefore = blackPixels(picture, MAP_Y0, MAP_Y1);

    // Three cells right of the avatar and the two beside them go black.
    const std::string mapPath = folder.path() + MAP_FILE;
    std::string map = testsupport::readText(mapPath);
    for (int dc = 2; dc <= 4; ++dc)
        map = blankCell(map, row * MAP_COLUMNS + col + dc);
    testsupport::writeText(mapPath, map);
    const int cellPixels = 32 * 32;
    EXPECT_TRUE(waitUntil([&](const GameProcess::Image& image)
                          { return blackPixels(image, MAP_Y0, MAP_Y1) - blackBefore >= 2 * cellPixels; },
                          PICKED_UP_MS))
        << "black before " << blackBefore << ", now " << blackPixels(picture, MAP_Y0, MAP_Y1);
    const int blackAfter = blackPixels(picture, MAP_Y0, MAP_Y1);

    ASSERT_TRUE(console.open());
    int rowAfter = -1;
    int colAfter = -1;
    ASSERT_TRUE(console.avatarTile(rowAfter, colAfter));
    EXPECT_EQ(rowAfter, row);
    EXPECT_EQ(colAfter, col);
    std::string ignored;
    console.query("s:dialog(\"assets/dialogs/brune.xml\", \"start\", \"brune\")", ignored);
    console.close();
    ASSERT_TRUE(
        waitUntil([](const GameProcess::Image& image) { return dialogText(image) > 100; }, GameConsole::WAIT_MS));
    const int oldText = dialogText(picture);

    const std::string dialogPath = folder.path() + DIALOG_FILE;
    std::string dialog = testsupport::readText(dialogPath);
    ASSERT_NE(dialog.find(OLD_LINE), std::string::npos);
    dialog.replace(dialog.find(OLD_LINE), std::string(OLD_LINE).size(), NEW_LINE);
    testsupport::writeText(dialogPath, dialog);
    // The wide letters of the new line light far more pixels.
    EXPECT_TRUE(
        waitUntil([&](const GameProcess::Image& image) { return dialogText(image) > oldText + 300; }, PICKED_UP_MS))
        << "dialog text pixels before " << oldText << ", now " << dialogText(picture);
    const int newText = dialogText(picture);

    // Broken files: the error names each, and the picture keeps the old ones.
    testsupport::writeText(mapPath, "<map><layer name=\"Floor\"");
    testsupport::writeText(dialogPath, "<root><name>Brune</name><node id=\"start\">");
    EXPECT_TRUE(game->waitForOutput("start.tmx was not reloaded", GameConsole::WAIT_MS));
    EXPECT_TRUE(game->waitForOutput("brune.xml was not reloaded", GameConsole::WAIT_MS));
    EXPECT_TRUE(hasErrorLine(*game, "start.tmx"));
    EXPECT_TRUE(hasErrorLine(*game, "brune.xml"));
    ASSERT_TRUE(game->capture(picture));
    EXPECT_NEAR(blackPixels(picture, MAP_Y0, MAP_Y1), blackAfter, cellPixels / 2);
    EXPECT_NEAR(dialogText(picture), newText, 100);
    // The notice line at the top names the problem.
    EXPECT_GT(gamescreen::whitePixels(picture, 0, 0, picture.width, 60), 50);
    EXPECT_TRUE(game->isRunning());

    // F6 looks at once; the map is still broken, so the old one stays.
    EXPECT_TRUE(game->pressKey("F6"));
    EXPECT_TRUE(game->waitForOutput("Reloading the game's files (F6)", GameConsole::WAIT_MS));

    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.avatarTile(rowAfter, colAfter));
    EXPECT_EQ(rowAfter, row);
    EXPECT_EQ(colAfter, col);
    console.close();
    EXPECT_EQ(game->quitWithEscape(GameConsole::WAIT_MS), 1);
}
