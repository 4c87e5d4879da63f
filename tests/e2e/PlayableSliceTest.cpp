#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "GameConsole.h"
#include "GameProcess.h"
#include "MapView.h"

// The demo game as the player meets it: Fenwy starts on the beach of
// coastalVillage_start at (8, 9); a wall stops her at column 15 of row 8;
// Brune stands on the pier at (15, 15) with an interact script; the portal
// to coastalVillage_main covers row 0, columns 11 and 12.
namespace
{
const int TILE = 32;
const int CENTRE_X = 320;
const int CENTRE_Y = 240;

// Bright colours of the avatar's sprite sheet (dark outline and the
// transparent background left out).
std::set<std::tuple<int, int, int>> avatarColours()
{
    std::set<std::tuple<int, int, int>> colours;
    GameProcess::Image sheet;
    if (!GameProcess::readImage(ZOLT_SOURCE_DIR "/assets/sprites/Fenwy.png", sheet))
        return colours;
    for (int y = 0; y < sheet.height; ++y)
        for (int x = 0; x < sheet.width; ++x)
        {
            const GameProcess::Color c = sheet.at(x, y);
            if (c.r + c.g + c.b >= 150)
                colours.insert(std::make_tuple(c.r, c.g, c.b));
        }
    return colours;
}

int countColours(const GameProcess::Image& image, const std::set<std::tuple<int, int, int>>& colours, int centreX,
                 int centreY)
{
    int count = 0;
    for (int y = centreY - 24; y < centreY + 24; ++y)
        for (int x = centreX - 24; x < centreX + 24; ++x)
        {
            const GameProcess::Color c = image.at(x, y);
            count += colours.count(std::make_tuple(c.r, c.g, c.b)) ? 1 : 0;
        }
    return count;
}

// Share of the pixels in the top band of `after` that equal those of
// `before` shifted left by `shift` pixels, as when the map scrolls.
double shiftedMatch(const GameProcess::Image& before, const GameProcess::Image& after, int shift)
{
    int same = 0;
    int total = 0;
    for (int y = 8; y < 200; y += 2)
        for (int x = 0; x + shift < 640; x += 2)
        {
            const GameProcess::Color a = before.at(x + shift, y);
            const GameProcess::Color b = after.at(x, y);
            same += (a.r == b.r && a.g == b.g && a.b == b.b) ? 1 : 0;
            ++total;
        }
    return total ? static_cast<double>(same) / total : 0.0;
}

}

// Every case starts the real game; the console is ready but closed.
class PlayableSlice : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_TRUE(startGame(game));
    }

    GameProcess game;
    GameConsole console{game};
};

TEST_F(PlayableSlice, TheGameStartsInTheVillageWithTheAvatarDrawnAtTheCentre)
{
    const auto colours = avatarColours();
    ASSERT_GT(colours.size(), 3u);
    GameProcess::Image shot;
    ASSERT_TRUE(game.capture(shot));
    const int atCentre = countColours(shot, colours, CENTRE_X, CENTRE_Y);
    const int fourTilesLeft = countColours(shot, colours, CENTRE_X - 4 * TILE, CENTRE_Y);
    EXPECT_GE(atCentre, 100) << "the camera follows the avatar, so it is drawn at the centre";
    EXPECT_LT(fourTilesLeft, atCentre / 5);
    const GameProcess::Color corner = shot.at(600, 60);
    EXPECT_GT(corner.r + corner.g + corner.b, 60) << "the map is drawn around it";

    ASSERT_TRUE(console.open());
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(row, 8);
    EXPECT_EQ(col, 9);
    const std::vector<std::string> ids = console.sceneIds();
    EXPECT_EQ(ids, (std::vector<std::string>{"brune", "fenwy", "rusty"})) << "the residents of coastalVillage_start";
    console.close();

    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
}

TEST_F(PlayableSlice, HoldingDWalksTheAvatarRightTileByTile)
{
    GameProcess::Image before;
    ASSERT_TRUE(game.capture(before));

    // Long enough for a few steps even when frames are slow; at full speed
    // the fence stops the walk.
    ASSERT_TRUE(game.holdKey("d", 1000));
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.frames(7)) << "the last step finishes";
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    // The window shows the last frame drawn while the console waits.
    GameProcess::Image after;
    ASSERT_TRUE(game.capture(after));
    console.close();
    EXPECT_EQ(row, 8);
    EXPECT_GT(col, 9) << "holding D walks";
    EXPECT_LE(col, 15) << "the fence at column 16 stops the walk";

    // The camera follows the avatar as far as the map's east edge allows
    // (coastalVillage_start is 24 x 18 tiles), so the map has scrolled left
    // by what the camera moved: the picture matches the old one shifted by
    // that, and by nothing half a tile or a tile off it.
    const MapView start{18, 24, 8, 9};
    const MapView walked{18, 24, 8, col};
    const int shift = start.x(0) - walked.x(0);
    ASSERT_GT(shift, 0) << "the camera follows a walk to the right";
    EXPECT_GT(shiftedMatch(before, after, shift), 0.9) << shift << " pixels";
    EXPECT_LT(shiftedMatch(before, after, 0), 0.5) << "the view did move";
    const double whole = shiftedMatch(before, after, shift);
    EXPECT_GT(whole, shiftedMatch(before, after, shift + TILE / 2) + 0.2) << "no half steps";
    EXPECT_GT(whole, shiftedMatch(before, after, shift + TILE) + 0.2);
    EXPECT_GT(whole, shiftedMatch(before, after, shift - TILE) + 0.2);
    EXPECT_GE(countColours(after, avatarColours(), walked.x(col), walked.y(8)), 100);

    game.kill();
}

TEST_F(PlayableSlice, WalkingOntoThePortalChangesTheScene)
{
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(console.tap("d"));
    ASSERT_TRUE(console.tap("d"));
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_EQ(row, 8);
    ASSERT_EQ(col, 11) << "two taps, two steps";

    // Straight up column 11 to the portal on row 0, eight tiles away.
    for (int step = 0; step < 8; ++step)
        ASSERT_TRUE(console.tap("w"));
    ASSERT_TRUE(console.frames(2)) << "the scene changes at the end of the next update";
    const std::vector<std::string> ids = console.sceneIds();
    EXPECT_EQ(ids, (std::vector<std::string>{"aldric", "fenwy", "mayor", "tibbet"}))
        << "the residents of coastalVillage_main";
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(col, 17) << "the portal's target column";
    EXPECT_LE(row, 26);
    console.close();
    EXPECT_TRUE(console.open()) << "the game still runs in the new scene";
    console.close();
    game.kill();
}

TEST_F(PlayableSlice, ZFacingBruneRunsHisInteractScript)
{
    ASSERT_TRUE(console.open());

    // Nobody in front at the start: Z does nothing.
    ASSERT_TRUE(console.tap("z"));
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 0) << "Z faced nobody";

    // Along the beach to the fence, then down the pier until Brune blocks
    // the way.
    for (int step = 0; step < 6; ++step)
        ASSERT_TRUE(console.tap("d"));
    for (int step = 0; step < 7; ++step)
        ASSERT_TRUE(console.tap("s"));
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(row, 14);
    EXPECT_EQ(col, 15);
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 0) << "walking opens no dialog";

    ASSERT_TRUE(console.tap("z"));
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 1);
    EXPECT_EQ(console.flag("flag_isInteractKeyDown"), 0) << "released again";

    // While the conversation is on, Z does not start it again.
    ASSERT_TRUE(console.tap("z"));
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 1);
    console.close();
    EXPECT_TRUE(console.open()) << "the game still runs";
    console.close();
    game.kill();
}
