#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "map/Direction.h"
#include "map/LevelMapLoader.h"
#include "map/PassabilityMap.h"
#include "map/PassabilityTile.h"

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
            grid.setTile(row, column, std::make_unique<PassabilityTile>(true));
    EXPECT_TRUE(grid.isPassable(core::RIGHT, 0, 0));
    EXPECT_TRUE(grid.isPassable(core::DOWN, 0, 1));

    // Right side of (0, 0) open, left side of (0, 1) closed.
    grid.setTile(0, 1, std::make_unique<PassabilityTile>(true, true, true, false));
    EXPECT_FALSE(grid.isPassable(core::RIGHT, 0, 0));
    EXPECT_TRUE(grid.isPassable(core::LEFT, 0, 1) == false);
    EXPECT_TRUE(grid.isPassable(core::RIGHT, 0, 1));
    EXPECT_FALSE(grid.isPassable(0, 1));

    // A closed bottom blocks the step down but not the step up into it.
    grid.setTile(0, 2, std::make_unique<PassabilityTile>(true, true, false, true));
    EXPECT_FALSE(grid.isPassable(core::DOWN, 0, 2));
    EXPECT_FALSE(grid.isPassable(core::UP, 1, 2));
    grid.setTile(1, 2, std::make_unique<PassabilityTile>(false, true, true, true));
    grid.setTile(0, 2, std::make_unique<PassabilityTile>(true));
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
    grid.setTile(-1, 0, std::make_unique<PassabilityTile>(true));
    grid.setTile(0, 1, std::make_unique<PassabilityTile>(true));
    EXPECT_FALSE(grid.isPassable(0, 0));
    EXPECT_EQ(grid.getTile(1, 0), nullptr);
    auto tile = std::make_unique<PassabilityTile>(true);
    const PassabilityTile* stored = tile.get();
    grid.setTile(0, 0, std::move(tile));
    EXPECT_EQ(grid.getTile(0, 0), stored);
    EXPECT_TRUE(grid.isPassable(0, 0));
    // A tile of its own replaced by shared sides is released (the sanitizer
    // build sees a leak or a double free).
    grid.setSides(0, 0, true, true, true, false);
    EXPECT_NE(grid.getTile(0, 0), nullptr);
    EXPECT_FALSE(grid.isPassable(0, 0));
    grid.setTile(0, 0, nullptr);
    EXPECT_EQ(grid.getTile(0, 0), nullptr);
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
        const std::unique_ptr<PassabilityTile> tile = LevelMapLoader::passabilityTileFor(row.gid);
        EXPECT_EQ(tile->isPassableTop(), row.top) << row.gid;
        EXPECT_EQ(tile->isPassableRight(), row.right) << row.gid;
        EXPECT_EQ(tile->isPassableBottom(), row.bottom) << row.gid;
        EXPECT_EQ(tile->isPassableLeft(), row.left) << row.gid;
    }
}

namespace
{
int sidesOf(const PassabilityTile* tile)
{
    return (tile->isPassableTop() ? 8 : 0) | (tile->isPassableRight() ? 4 : 0) | (tile->isPassableBottom() ? 2 : 0) |
           (tile->isPassableLeft() ? 1 : 0);
}
}

TEST(PassabilityMap, SidesSetRowByRowMatchSidesSetOneByOne)
{
    // Every combination of sides, over a grid wider than high, one cell
    // holding a tile of its own (replaced and released) and the last cells
    // left out of the codes (they keep what they had).
    const int rows = 3;
    const int columns = 7;
    std::vector<unsigned char> open;
    for (int cell = 0; cell < rows * columns - 2; ++cell)
        open.push_back(static_cast<unsigned char>((cell * 5 + 3) % 16));
    PassabilityMap bulk(rows, columns);
    PassabilityMap single(rows, columns);
    for (PassabilityMap* grid : {&bulk, &single})
    {
        grid->setTile(1, 2, std::make_unique<PassabilityTile>(true, false, true, false));
        grid->setTile(rows - 1, columns - 1, std::make_unique<PassabilityTile>(false, true, false, true));
    }
    bulk.setSidesRowByRow(open);
    for (std::size_t cell = 0; cell < open.size(); ++cell)
    {
        const int code = open[cell];
        single.setSides(static_cast<int>(cell) / columns, static_cast<int>(cell) % columns, (code & 8) != 0,
                        (code & 4) != 0, (code & 2) != 0, (code & 1) != 0);
    }
    for (int row = 0; row < rows; ++row)
        for (int column = 0; column < columns; ++column)
            EXPECT_EQ(sidesOf(bulk.getTile(row, column)), sidesOf(single.getTile(row, column))) << row << "," << column;
    std::set<int> seen;
    for (int cell = 0; cell < rows * columns - 2; ++cell)
        seen.insert(sidesOf(bulk.getTile(cell / columns, cell % columns)));
    EXPECT_EQ(seen.size(), 16u);
    EXPECT_EQ(sidesOf(bulk.getTile(rows - 1, columns - 1)), 0x5);
}

TEST(PassabilityMap, AWholeLayerOfIdsOpensTheSidesEachIdOpens)
{
    // Every id around the passability tileset's, flipped and not, through
    // the loader's fill of a whole layer against one tile per id.
    std::vector<std::uint32_t> gids;
    for (std::uint32_t id = 500; id < 600; ++id)
        for (std::uint32_t flip : {0u, 0x80000000u, 0x20000000u})
            gids.push_back(id | flip);
    gids.push_back(0);
    const int columns = 10;
    const int rows = static_cast<int>(gids.size()) / columns + 2; // the last rows have no ids
    PassabilityMap grid(rows, columns);
    LevelMapLoader::fillPassabilityMap(&grid, gids);
    for (int cell = 0; cell < rows * columns; ++cell)
    {
        const std::size_t at = static_cast<std::size_t>(cell);
        const std::unique_ptr<PassabilityTile> expected =
            LevelMapLoader::passabilityTileFor(at < gids.size() ? static_cast<int>(gids[at]) : 0);
        EXPECT_EQ(sidesOf(grid.getTile(cell / columns, cell % columns)), sidesOf(expected.get()))
            << "id " << (at < gids.size() ? gids[at] : 0);
    }
}
