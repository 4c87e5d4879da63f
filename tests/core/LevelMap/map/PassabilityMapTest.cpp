#include <gtest/gtest.h>

#include "core/Direction.h"
#include "core/LevelMap/LevelMapLoader.h"
#include "core/LevelMap/PassabilityMap.h"
#include "core/LevelMap/PassabilityTile.h"

using core::PassabilityMap;

TEST(PassabilityTile, OneFlagSetsAllSidesAndFourFlagsKeepTheirOrder)
{
    PassabilityTile open(true);
    EXPECT_TRUE(open.isPassable());
    PassabilityTile closed(false);
    EXPECT_FALSE(closed.isPassable());
    EXPECT_FALSE(closed.isPassableTop() || closed.isPassableRight() || closed.isPassableBottom() ||
                 closed.isPassableLeft());

    PassabilityTile onlyTop(true, false, false, false);
    EXPECT_TRUE(onlyTop.isPassableTop());
    EXPECT_FALSE(onlyTop.isPassableRight());
    EXPECT_FALSE(onlyTop.isPassable());
    PassabilityTile onlyLeft(false, false, false, true);
    EXPECT_TRUE(onlyLeft.isPassableLeft());
    EXPECT_FALSE(onlyLeft.isPassableBottom());
    PassabilityTile allButBottom(true, true, false, true);
    EXPECT_FALSE(allButBottom.isPassable());
    EXPECT_TRUE(allButBottom.isPassableRight());
}

TEST(PassabilityMap, NewGridIsClosedEverywhere)
{
    PassabilityMap grid(3, 4);
    EXPECT_EQ(grid.getNumberOfRows(), 3);
    EXPECT_EQ(grid.getNumberOfColumns(), 4);
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 4; ++column)
        {
            EXPECT_FALSE(grid.isPassable(row, column));
            for (int direction = core::UP; direction <= core::LEFT; ++direction)
                EXPECT_FALSE(grid.isPassable(direction, row, column)) << row << "," << column;
        }
    }
}

TEST(PassabilityMap, StepNeedsBothFacingSidesOpen)
{
    PassabilityMap grid(2, 3);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            grid.setTile(row, column, new PassabilityTile(true));
    EXPECT_TRUE(grid.isPassable(core::RIGHT, 0, 0));
    EXPECT_TRUE(grid.isPassable(core::DOWN, 0, 1));

    // Right side of (0, 0) open, left side of (0, 1) closed.
    grid.setTile(0, 1, new PassabilityTile(true, true, true, false));
    EXPECT_FALSE(grid.isPassable(core::RIGHT, 0, 0));
    EXPECT_TRUE(grid.isPassable(core::LEFT, 0, 1) == false);
    EXPECT_TRUE(grid.isPassable(core::RIGHT, 0, 1));
    EXPECT_FALSE(grid.isPassable(0, 1));

    // A closed bottom blocks the step down but not the step up into it.
    grid.setTile(0, 2, new PassabilityTile(true, true, false, true));
    EXPECT_FALSE(grid.isPassable(core::DOWN, 0, 2));
    EXPECT_FALSE(grid.isPassable(core::UP, 1, 2));
    grid.setTile(1, 2, new PassabilityTile(false, true, true, true));
    grid.setTile(0, 2, new PassabilityTile(true));
    EXPECT_FALSE(grid.isPassable(core::UP, 1, 2));
    EXPECT_FALSE(grid.isPassable(core::DOWN, 0, 2));

    // Unknown directions are not blocked; steps off the grid are.
    EXPECT_TRUE(grid.isPassable(7, 0, 0));
    EXPECT_FALSE(grid.isPassable(core::UP, 0, 0));
    EXPECT_FALSE(grid.isPassable(core::LEFT, 1, 0));
    EXPECT_FALSE(grid.isPassable(core::RIGHT, 1, 2));
    EXPECT_FALSE(grid.isPassable(core::DOWN, 1, 0));
    EXPECT_FALSE(grid.isPassable(5, 9));
}

TEST(PassabilityMap, SetTileOutsideTheGridIsIgnored)
{
    PassabilityMap grid(1, 1);
    grid.setTile(-1, 0, new PassabilityTile(true));
    grid.setTile(0, 1, new PassabilityTile(true));
    EXPECT_FALSE(grid.isPassable(0, 0));
    EXPECT_EQ(grid.getTile(1, 0), nullptr);
    PassabilityTile* tile = new PassabilityTile(true);
    grid.setTile(0, 0, tile);
    grid.setTile(0, 0, tile); // storing the same tile again must not release it
    EXPECT_EQ(grid.getTile(0, 0), tile);
    EXPECT_TRUE(grid.isPassable(0, 0));
}

TEST(PassabilityMap, PassabilityTilesetIdsCloseTheirSides)
{
    struct Expected
    {
        int gid;
        bool top, right, bottom, left;
    };
    const Expected table[] = {
        {521, true, true, true, false},
        {522, false, true, true, true},
        {523, true, true, false, true},
        {524, true, false, true, true},
        {541, true, false, false, true},
        {542, true, true, false, false},
        {543, false, true, true, false},
        {544, false, false, true, true},
        {561, true, false, true, false},
        {562, false, true, false, true},
        {563, false, false, false, true},
        {564, true, false, false, false},
        {581, false, true, false, false},
        {582, false, false, true, false},
        {583, false, false, false, false},
        {0, true, true, true, true},
        {1, true, true, true, true},
        {525, true, true, true, true},
        {static_cast<int>(0x80000000u | 521u), true, true, true, true},
    };
    for (const Expected& row : table)
    {
        PassabilityTile* tile = LevelMapLoader::passabilityTileFor(row.gid);
        EXPECT_EQ(tile->isPassableTop(), row.top) << row.gid;
        EXPECT_EQ(tile->isPassableRight(), row.right) << row.gid;
        EXPECT_EQ(tile->isPassableBottom(), row.bottom) << row.gid;
        EXPECT_EQ(tile->isPassableLeft(), row.left) << row.gid;
        delete tile;
    }
}
