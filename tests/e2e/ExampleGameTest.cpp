#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "GameConsole.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "MapView.h"
#include "PlaythroughDriver.h"

// The example game of examples/lantern on the same game binary as the
// demo, from its folder and from the zip the build packs of it: its own
// title, tileset and avatar on screen; walls from the tileset's `pass`
// properties (a boulder closed all round, a hedge closed only to the
// north); then the whole story with real keys and clicks: Odo's errand, the
// cave mouth, the fight with the gloam, the lantern, the ending screen.
namespace
{
using Image = GameProcess::Image;
using Colours = std::set<std::tuple<int, int, int>>;

const char* const TITLE = "The Lantern";
const char* const AVATAR = "wren";
const char* const FOLDER = ZOLT_SOURCE_DIR "/examples/lantern";
const char* const ZIP = ZOLT_BINARY_DIR "/zolt-lantern.zip";
// The ending screen's Quit button, in window pixels.
const int QUIT_X = 416;
const int BUTTONS_Y = 336;

// Every opaque colour of a picture of the game; `minBrightness` leaves out
// the dark outlines that other pictures share.
Colours coloursOf(const std::string& path, int minBrightness)
{
    Colours colours;
    Image picture;
    if (!GameProcess::readImage(path, picture))
        return colours;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
        {
            const GameProcess::Color c = picture.at(x, y);
            if (c.r + c.g + c.b >= minBrightness)
                colours.insert(std::make_tuple(c.r, c.g, c.b));
        }
    return colours;
}

int countColours(const Image& image, const Colours& colours, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const GameProcess::Color c = image.at(x, y);
            count += colours.count(std::make_tuple(c.r, c.g, c.b)) ? 1 : 0;
        }
    return count;
}

bool exists(const std::string& path)
{
    return std::ifstream(path).good();
}
}

// Parameter: the game as given to zolt, its folder or its zip.
class ExampleGame : public ::testing::TestWithParam<const char*>
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_TRUE(exists(GetParam())) << GetParam() << " is missing (the build's zolt-lantern-zip target packs it)";
        console.setAvatar(AVATAR);
        ASSERT_TRUE(game.launch(TITLE, 640, 480, 60000)) << "the window carries the title of the game's manifest";
        ASSERT_TRUE(console.open());
    }

    void TearDown() override
    {
        // A broken or missing file of the game is named on standard error.
        for (const std::string& line : game.errorLines())
            EXPECT_EQ(line.find("assets/"), std::string::npos) << line;
    }

    // One tap of the key, and where the avatar stands after it.
    std::string tapAndWhere(const std::string& key)
    {
        if (!console.tap(key))
            return "no tap";
        return console.ask(std::string(AVATAR) + ":getRow() .. ',' .. " + AVATAR + ":getCol()");
    }

    GameProcess game{ZOLT_BINARY_DIR "/zolt", ZOLT_SOURCE_DIR, {GetParam()}};
    GameConsole console{game};
};

TEST_P(ExampleGame, ShowsItsOwnArtAndWallsThenPlaysToTheEnding)
{
    Image shot;
    ASSERT_TRUE(game.capture(shot));
    const Colours avatar = coloursOf(std::string(FOLDER) + "/assets/sprites/wren.png", 150);
    const Colours tiles = coloursOf(std::string(FOLDER) + "/assets/maps/lantern.png", 0);
    ASSERT_GT(avatar.size(), 3u);
    ASSERT_GT(tiles.size(), 10u);
    // The glade is 20 x 15 tiles, the window's size: the camera shows it
    // whole, and Wren where she stands on it.
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    const MapView glade{15, 20, row, col};
    EXPECT_GE(countColours(shot, avatar, glade.x(col) - 24, glade.y(row) - 24, glade.x(col) + 24, glade.y(row) + 24),
              60)
        << "Wren's own sheet, drawn where the camera follows her";
    EXPECT_GE(countColours(shot, tiles, 0, 0, 640, 480), 640 * 480 / 4) << "the glade from the game's own tileset";
    EXPECT_EQ(console.ask("s:getflag('odo_asked') .. s:getPartySize()"), "01") << "a fresh start, Wren alone";

    // The boulder west of the start is closed on every side; the hedge is
    // entered from the south but not left to the north.
    EXPECT_EQ(tapAndWhere("a"), "7,3");
    EXPECT_EQ(tapAndWhere("a"), "7,3") << "the boulder's tile has an empty pass property";
    EXPECT_EQ(tapAndWhere("w"), "6,3");
    EXPECT_EQ(tapAndWhere("w"), "5,3");
    EXPECT_EQ(tapAndWhere("w"), "4,3") << "the hedge is open to the south (pass RDL)";
    EXPECT_EQ(tapAndWhere("w"), "4,3") << "and closed to the north";
    for (const char* expected : {"5,3", "6,3", "7,3"})
        ASSERT_EQ(tapAndWhere("s"), expected);

    PlaythroughDriver player(game, console);
    ASSERT_TRUE(player.load(ZOLT_SOURCE_DIR "/tests/e2e/LanternWalkthrough.txt")) << player.error();
    player.setBag({"herb"});
    ASSERT_TRUE(player.play()) << player.error();
    ASSERT_TRUE(console.framesUntil([&] { return game.capture(shot) && gamescreen::endingShown(shot); }, 20))
        << "the ending screen shows once the lantern's conversation closes";
    gamescreen::keepScreenshot(game, "lantern-the-end");

    ASSERT_TRUE(game.click(QUIT_X, BUTTONS_Y));
    ASSERT_TRUE(console.frames(2));
    console.close();
    EXPECT_EQ(game.waitForExit(GameConsole::WAIT_MS), 1) << "Quit ends the game";
}

INSTANTIATE_TEST_SUITE_P(FolderAndZip, ExampleGame, ::testing::Values(FOLDER, ZIP),
                         [](const ::testing::TestParamInfo<const char*>& info)
                         { return info.index == 0 ? std::string("FromItsFolder") : std::string("FromItsZip"); });
