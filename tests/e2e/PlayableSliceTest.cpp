#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "GameProcess.h"

// The demo game as the player meets it: Fenwy starts on the beach of
// coastalVillage_start at (8, 9); a wall stops her at column 15 of row 8;
// Brune stands on the pier at (15, 15) with an interact script; the portal
// to coastalVillage_main covers row 0, columns 11 and 12.
namespace
{
const int TILE = 32;
const int CENTRE_X = 320;
const int CENTRE_Y = 240;

bool haveDisplay()
{
    return std::getenv("DISPLAY") != nullptr;
}

void sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Console commands whose output must be told apart from their echo build
// their markers from two pieces, so only the printed line holds it whole.
class Console
{
public:
    explicit Console(GameProcess& game) : _game(game) {}

    // P on the map opens the console; the game then waits for a line every frame.
    bool open() { return _game.pressKey("p", 80); }
    void close() { _game.writeLine("s:close()"); }

    bool avatarTile(int& row, int& col)
    {
        const std::string tag = "TILE" + std::to_string(++_count);
        _game.writeLine("print('" + tag.substr(0, 2) + "' .. '" + tag.substr(2) +
                        " ' .. fenwy:getRow() .. ' ' .. fenwy:getCol())");
        std::string line;
        if (!_game.waitForOutput(tag + " ", 5000, &line))
            return false;
        std::istringstream in(line.substr(line.find(tag) + tag.size()));
        return static_cast<bool>(in >> row >> col);
    }

    int flag(const std::string& name)
    {
        const std::string tag = "FLAG" + std::to_string(++_count);
        _game.writeLine("print('" + tag.substr(0, 2) + "' .. '" + tag.substr(2) + " ' .. s:getflag('" +
                        name + "'))");
        std::string line;
        if (!_game.waitForOutput(tag + " ", 5000, &line))
            return -9999;
        return std::atoi(line.substr(line.find(tag) + tag.size()).c_str());
    }

    // The ids that s:chars() lists under "Scene:".
    std::vector<std::string> sceneIds()
    {
        const std::string tag = "CHARS" + std::to_string(++_count);
        _game.writeLine("s:chars()");
        _game.writeLine("print('" + tag.substr(0, 2) + "' .. '" + tag.substr(2) + "')");
        std::vector<std::string> ids;
        if (!_game.waitForOutput(tag, 5000))
            return ids;
        const std::vector<std::string> lines = _game.outputLines();
        size_t end = lines.size();
        while (end > 0 && lines[end - 1] != tag)
            --end;
        size_t start = end;
        while (start > 0 && lines[start - 1] != "Scene:")
            --start;
        for (size_t i = start; i + 1 < end && !lines[i].empty(); ++i)
            ids.push_back(lines[i]);
        return ids;
    }

    // One step exactly, whatever the frame rate: with the console open each
    // line typed lets one frame run, so the key is seen down in one frame only.
    void tap(const std::string& key)
    {
        _game.keyDown(key);
        sleepMs(150);
        _game.writeLine("");  // the frame ends and polls the press
        sleepMs(150);
        _game.keyUp(key);
        sleepMs(150);
        for (int frame = 0; frame < 7; ++frame)
            _game.writeLine("");  // the step takes five updates
    }

private:
    GameProcess& _game;
    int _count = 0;
};

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

int countColours(const GameProcess::Image& image, const std::set<std::tuple<int, int, int>>& colours,
                 int centreX, int centreY)
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

bool startGame(GameProcess& game)
{
    if (!game.start() || !game.waitForWindow())
    {
        // Say why: the game's last words, if any.
        for (const std::string& line : game.errorLines())
            std::cerr << "zolt stderr: " << line << std::endl;
        const std::vector<std::string> out = game.outputLines();
        for (size_t i = out.size() > 20 ? out.size() - 20 : 0; i < out.size(); ++i)
            std::cerr << "zolt stdout: " << out[i] << std::endl;
        return false;
    }
    // The start-up script has entered the first scene once frames run.
    sleepMs(1500);
    return game.isRunning();
}
}

TEST(PlayableSlice, TheGameStartsInTheVillageWithTheAvatarDrawnAtTheCentre)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    ASSERT_TRUE(startGame(game));

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

    Console console(game);
    ASSERT_TRUE(console.open());
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(row, 8);
    EXPECT_EQ(col, 9);
    const std::vector<std::string> ids = console.sceneIds();
    EXPECT_EQ(ids, (std::vector<std::string>{"brune", "fenwy", "rusty"}))
        << "the residents of coastalVillage_start";
    console.close();
    sleepMs(300);

    EXPECT_TRUE(game.pressKey("Escape"));
    EXPECT_EQ(game.waitForExit(10000), 1);
}

TEST(PlayableSlice, HoldingDWalksTheAvatarRightTileByTile)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    GameProcess::Image before;
    ASSERT_TRUE(game.capture(before));

    ASSERT_TRUE(game.holdKey("d", 400));
    sleepMs(600);  // let the last step finish
    GameProcess::Image after;
    ASSERT_TRUE(game.capture(after));

    Console console(game);
    ASSERT_TRUE(console.open());
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    console.close();
    EXPECT_EQ(row, 8);
    EXPECT_GT(col, 9) << "holding D walks";
    EXPECT_LE(col, 15) << "the fence at column 16 stops the walk";

    // The camera follows the avatar, so the map has scrolled left by whole
    // tiles: the picture matches the old one shifted by the tiles walked.
    const int steps = col - 9;
    EXPECT_GT(shiftedMatch(before, after, steps * TILE), 0.9) << steps << " tiles";
    EXPECT_LT(shiftedMatch(before, after, 0), 0.5) << "the view did move";
    const double whole = shiftedMatch(before, after, steps * TILE);
    EXPECT_GT(whole, shiftedMatch(before, after, steps * TILE + TILE / 2) + 0.2) << "no half tiles";
    EXPECT_GT(whole, shiftedMatch(before, after, (steps + 1) * TILE) + 0.2);
    EXPECT_GT(whole, shiftedMatch(before, after, (steps - 1) * TILE) + 0.2);
    EXPECT_GE(countColours(after, avatarColours(), CENTRE_X, CENTRE_Y), 100);

    game.kill();
}

TEST(PlayableSlice, WalkingOntoThePortalChangesTheScene)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    Console console(game);
    ASSERT_TRUE(console.open());
    console.tap("d");
    console.tap("d");
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    ASSERT_EQ(row, 8);
    ASSERT_EQ(col, 11) << "two taps, two steps";
    console.close();
    sleepMs(200);

    // Straight up column 11 to the portal on row 0, eight tiles away.
    ASSERT_TRUE(game.holdKey("w", 2500));
    sleepMs(500);
    ASSERT_TRUE(console.open());
    const std::vector<std::string> ids = console.sceneIds();
    EXPECT_EQ(ids, (std::vector<std::string>{"aldric", "fenwy", "mayor", "tibbet"}))
        << "the residents of coastalVillage_main";
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(col, 17) << "the portal's target column";
    EXPECT_LE(row, 26);
    console.close();
    sleepMs(300);
    EXPECT_TRUE(game.isRunning());
    game.kill();
}

TEST(PlayableSlice, ZFacingBruneRunsHisInteractScript)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    ASSERT_TRUE(startGame(game));

    // Nobody in front at the start: Z does nothing.
    ASSERT_TRUE(game.pressKey("z"));
    sleepMs(300);

    ASSERT_TRUE(game.holdKey("d", 1500));  // to the fence at column 15
    sleepMs(300);
    ASSERT_TRUE(game.holdKey("s", 1800));  // down the pier until Brune blocks the way
    sleepMs(300);
    Console console(game);
    ASSERT_TRUE(console.open());
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(row, 14);
    EXPECT_EQ(col, 15);
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 0) << "the first Z faced nobody";
    console.close();
    sleepMs(300);

    ASSERT_TRUE(game.pressKey("z"));
    sleepMs(300);
    ASSERT_TRUE(console.open());
    EXPECT_EQ(console.flag("flag_isDialogOpen"), 1);
    EXPECT_EQ(console.flag("flag_isInteractKeyDown"), 0) << "released again";
    console.close();
    sleepMs(300);
    game.kill();
}
