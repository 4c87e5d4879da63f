#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>

#include "GameConsole.h"
#include "GameProcess.h"
#include "MapView.h"
#include "RunningGame.h"

// The market is 26 x 18 tiles, drawn at 32 pixels a tile: wider and taller
// than the 640 x 480 window, so a camera that stays on the map stops short
// of the avatar when she stands on the west edge.
namespace
{
const int TILE = 32;
const int MARKET_ROWS = 18;
const int WINDOW_W = 640;
const int WINDOW_H = 480;
// The main menu's button sits in the bottom-left corner over the map.
const int MENU_BUTTON_TOP = 440;

using Image = GameProcess::Image;

bool isClearColour(const GameProcess::Color& c)
{
    return c.r == 0 && c.g == 0 && c.b == 0;
}

// Bright colours of the avatar's sprite sheet, as in the playable slice.
std::set<std::tuple<int, int, int>> avatarColours()
{
    std::set<std::tuple<int, int, int>> colours;
    Image sheet;
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

int countColours(const Image& image, const std::set<std::tuple<int, int, int>>& colours, int x0, int y0, int x1, int y1)
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

int voidPixelsInColumn(const Image& image, int x)
{
    int count = 0;
    for (int y = 0; y < MENU_BUTTON_TOP; ++y)
        count += isClearColour(image.at(x, y)) ? 1 : 0;
    return count;
}

int voidPixelsInRow(const Image& image, int y)
{
    int count = 0;
    for (int x = 0; x < WINDOW_W; ++x)
        count += isClearColour(image.at(x, y)) ? 1 : 0;
    return count;
}

// Window x of a market column's centre when the camera is held at the
// map's west edge: the map's left edge meets the window's left edge.
int edgeColumnCentreX(int column)
{
    return column * TILE + TILE / 2;
}
}

class CameraEdge : public RunningGame
{
};

TEST_F(CameraEdge, TheMarketsWestEdgeShowsNoVoidAndTheAvatarOnItsTile)
{
    // Rows 8 and 9 of the west edge are the door to the town square.
    const int row = 12;
    ASSERT_EQ(ask("(function() s:enter('town_market', " + std::to_string(row) + ", 0) return 'entered' end)()"),
              "entered");
    ASSERT_TRUE(console.frames(10));
    int atRow = -1, atCol = -1;
    ASSERT_TRUE(console.avatarTile(atRow, atCol));
    ASSERT_EQ(atRow, row);
    ASSERT_EQ(atCol, 0);

    Image shot;
    ASSERT_TRUE(game.capture(shot));
    ASSERT_EQ(shot.width, WINDOW_W);
    ASSERT_EQ(shot.height, WINDOW_H);
    EXPECT_EQ(voidPixelsInColumn(shot, 0), 0) << "the window's left column shows the map, not the clear colour";
    EXPECT_EQ(voidPixelsInColumn(shot, WINDOW_W - 1), 0) << "nor does its right column";
    EXPECT_EQ(voidPixelsInRow(shot, 0), 0) << "nor its top row";

    // The view's centre is held inside the map, so the avatar stands left of
    // the window's middle, on the first column; vertically the map is taller
    // than the window by less than a tile each way, so the middle row sits
    // where the camera's clamp puts it.
    const std::set<std::tuple<int, int, int>> colours = avatarColours();
    ASSERT_FALSE(colours.empty());
    const int x = edgeColumnCentreX(0);
    const int reachY = (MARKET_ROWS * TILE - WINDOW_H) / 2;
    const int rowCentreFromMiddle = MARKET_ROWS * TILE / 2 - row * TILE - TILE / 2;
    const int cameraY = std::max(-reachY, std::min(reachY, rowCentreFromMiddle));
    const int y = WINDOW_H / 2 - (rowCentreFromMiddle - cameraY);
    EXPECT_GT(countColours(shot, colours, x - TILE / 2, y - TILE / 2, x + TILE / 2, y + TILE / 2), 20)
        << "Fenwy is drawn on the edge tile";
    EXPECT_LT(countColours(shot, colours, WINDOW_W / 2 - TILE / 2, WINDOW_H / 2 - TILE / 2, WINDOW_W / 2 + TILE / 2,
                           WINDOW_H / 2 + TILE / 2),
              5)
        << "and not in the window's middle, where a camera centred on her would have put her";
    console.close();
    game.kill();
}

TEST_F(CameraEdge, AFightInTheBeachsSouthWestCornerShowsNoVoidAboveTheMenuAndHerSquareCanBeClicked)
{
    // The beach is 24 x 18 tiles. The fight's result box covers the top 60
    // pixels and its menu the bottom 120: the view may run that far past the
    // map's edges, under them, so her corner square comes out above the menu.
    game.writeLine("fenwy:setPosition(17, 0) brune:setPosition(15, 2)");
    ASSERT_TRUE(console.frames(5));
    game.writeLine("s:fight('brune;')");
    ASSERT_EQ(ask("s:combatStage()"), "base");
    int atRow = -1, atCol = -1;
    ASSERT_TRUE(console.avatarTile(atRow, atCol));
    ASSERT_EQ(atRow, 17);
    ASSERT_EQ(atCol, 0);
    ASSERT_TRUE(console.frames(5));

    Image shot;
    ASSERT_TRUE(game.capture(shot));
    const int menuTop = WINDOW_H - 120;
    int voidLeft = 0;
    for (int y = 60; y < menuTop; ++y)
        voidLeft += isClearColour(shot.at(0, y)) ? 1 : 0;
    EXPECT_EQ(voidLeft, 0) << "the left column shows the map between the result box and the menu";
    // Her sprite's black outline crosses that row; a view past the map's
    // edge would leave the whole row black.
    EXPECT_LT(voidPixelsInRow(shot, menuTop - 1), 20) << "and so does the row just above the menu";

    const MapView fight = MapView::fight(18, 24, 17, 0);
    EXPECT_LT(fight.y(17), menuTop) << "her square lies above the menu";
    ASSERT_TRUE(game.click(fight.x(0), fight.y(17)));
    ASSERT_TRUE(console.frames(3));
    EXPECT_EQ(ask("s:combatStage()"), "move") << "a click on her square picks her";
    console.close();
    game.kill();
}
