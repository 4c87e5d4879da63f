#include "world/TilePos.h"

#include <gtest/gtest.h>

#include <climits>

using core::TilePos;

TEST(TilePos, NeighboursStepOneSquareAndStopAtTheEndsOfInt)
{
    struct Case
    {
        TilePos from;
        core::Direction direction;
        TilePos expected;
    };
    const Case cases[] = {
        {{5, 7}, core::UP, {4, 7}},
        {{5, 7}, core::RIGHT, {5, 8}},
        {{5, 7}, core::DOWN, {6, 7}},
        {{5, 7}, core::LEFT, {5, 6}},
        {{INT_MIN, 0}, core::UP, {INT_MIN, 0}},
        {{INT_MAX, 0}, core::DOWN, {INT_MAX, 0}},
        {{0, INT_MIN}, core::LEFT, {0, INT_MIN}},
        {{0, INT_MAX}, core::RIGHT, {0, INT_MAX}},
    };
    for (const Case& c : cases)
    {
        const TilePos got = c.from.neighbour(c.direction);
        EXPECT_EQ(got, c.expected) << c.from.row << "," << c.from.col << " towards " << c.direction << " gave "
                                   << got.row << "," << got.col;
    }
}

TEST(TilePos, EntityPositionsReadRowFromXAndClampBeyondInt)
{
    EXPECT_EQ(TilePos::of(glm::vec2(3.0f, 9.0f)), (TilePos{3, 9}));
    EXPECT_EQ(TilePos::of(glm::vec2(3.9f, 9.2f)), (TilePos{3, 9})) << "mid-step positions truncate";
    EXPECT_EQ(TilePos::of(glm::vec2(-1e20f, 1e20f)), (TilePos{INT_MIN, INT_MAX}));
    EXPECT_NE((TilePos{1, 2}), (TilePos{2, 1}));
}
