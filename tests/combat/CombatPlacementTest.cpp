#include "combat/CombatPlacement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "data/Character.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

using core::TilePos;
using Squares = std::vector<TilePos>;

TEST(CombatPlacement, MembersGetTheNearestSquaresTheAvatarCouldWalkTo)
{
    struct Case
    {
        const char* what;
        bool withMap;
        Squares others; // where somebody already stands
        TilePos around;
        size_t count;
        size_t expected;
        int farthest; // largest walk from `around` among the squares given
        Squares awayFrom = {};
        Squares first = {}; // the squares that must come first, in order
    };
    // A 5 x 5 field whose right-hand column (col 4) is cut off from the
    // rest: every cell of column 3 is closed on its right side.
    const Case cases[] = {
        {"two beside the avatar", true, {}, {2, 2}, 2, 2, 1},
        {"four fill the ring around it", true, {}, {2, 2}, 4, 4, 1},
        {"a fifth goes one ring out", true, {}, {2, 2}, 5, 5, 2},
        {"nobody asked for", true, {}, {2, 2}, 0, 0, 0},
        {"squares taken are passed over", true, {{1, 2}, {2, 1}}, {2, 2}, 2, 2, 1},
        {"walled in by people", true, {{1, 2}, {2, 1}, {3, 2}, {2, 3}}, {2, 2}, 3, 0, 0},
        {"in a corner", true, {}, {0, 0}, 3, 3, 2},
        {"the cut-off column is never offered", true, {}, {0, 3}, 20, 19, 7},
        {"an avatar off the map", true, {}, {9, 9}, 2, 0, 0},
        {"no map at all", false, {}, {2, 2}, 2, 0, 0},
        {"behind the leader, away from an enemy above", true, {}, {2, 2}, 1, 1, 1, {{0, 2}}, {{3, 2}}},
        {"beside, away from enemies above and below", true, {}, {2, 2}, 2, 2, 1, {{0, 2}, {4, 2}}, {{2, 3}, {2, 1}}},
        {"no nearer square for being safer", true, {}, {2, 2}, 4, 4, 1, {{0, 2}}, {{3, 2}}},
    };
    for (const Case& c : cases)
    {
        auto* grid = new core::PassabilityMap(5, 5);
        for (int row = 0; row < 5; ++row)
        {
            for (int col = 0; col < 3; ++col)
                grid->setSides(row, col, true, true, true, true);
            grid->setSides(row, 3, true, false, true, true);
            grid->setSides(row, 4, true, true, true, false);
        }
        std::unique_ptr<LevelMap> map(new LevelMap(MapLayers(), grid, nullptr));
        std::vector<std::unique_ptr<core::Character>> people;
        core::EntityMap standing;
        for (const TilePos& at : c.others)
        {
            people.emplace_back(new core::Character("p" + std::to_string(people.size()), false));
            people.back()->setPosition(at.row, at.col);
            standing[people.back()->getId()] = people.back().get();
        }
        const Squares squares = core::CombatPlacement::freeSquaresNear(c.withMap ? map.get() : nullptr, &standing,
                                                                       c.around, c.count, c.awayFrom);
        EXPECT_EQ(squares.size(), c.expected) << c.what;
        int farthest = 0;
        for (const TilePos& square : squares)
        {
            EXPECT_NE(square, c.around) << c.what << ": not the avatar's own square";
            EXPECT_NE(square.col, 4) << c.what << ": the cut-off column";
            for (const TilePos& taken : c.others)
                EXPECT_NE(square, taken) << c.what << ": somebody stands there";
            farthest = std::max(farthest, std::abs(square.row - c.around.row) + std::abs(square.col - c.around.col));
        }
        EXPECT_EQ(farthest, c.farthest) << c.what;
        for (size_t i = 0; i < c.first.size() && i < squares.size(); ++i)
            EXPECT_EQ(squares[i], c.first[i]) << c.what << ": square " << i;
    }
}
