#include <gtest/gtest.h>

#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "map/TriggerMap.h"

namespace
{
// A rows x columns layer over 16 x 16 tiles drawn at 32 x 32.
tamsygraphics::Map* makeLayer(const std::string& name, int rows, int columns, tamsygraphics::Tileset* tileset)
{
    auto* map = new tamsygraphics::Map();
    map->name = name;
    map->rows = rows;
    map->cols = columns;
    map->tileset = tileset;
    LevelMapLoader::fillDrawableMap(map, std::vector<std::uint32_t>(rows * columns, 1));
    return map;
}

tamsygraphics::Tileset* makeTileset()
{
    auto* tileset = new tamsygraphics::Tileset();
    tileset->tileWidth = tileset->tileHeight = 16;
    tileset->renderedTileWidth = tileset->renderedTileHeight = 32;
    tileset->maxCol = 20;
    tileset->maxRow = 30;
    return tileset;
}
}

TEST(LevelMap, PositionsOfCellsAndBack)
{
    tamsygraphics::Tileset* tileset = makeTileset();
    LevelMap level({makeLayer("Floor", 10, 20, tileset)}, new core::PassabilityMap(10, 20), nullptr);
    level.adoptTileset(tileset);

    glm::vec2 topLeft = level.getPosition(0, 0);
    EXPECT_FLOAT_EQ(topLeft.x, -304.0f);
    EXPECT_FLOAT_EQ(topLeft.y, 144.0f);
    glm::vec2 bottomRight = level.getPosition(9, 19);
    EXPECT_FLOAT_EQ(bottomRight.x, 304.0f);
    EXPECT_FLOAT_EQ(bottomRight.y, -144.0f);
    glm::vec2 halfway = level.getPosition(0.5, 2.2);
    EXPECT_FLOAT_EQ(halfway.x, -304.0f + 32.0f * 2.2f);
    EXPECT_FLOAT_EQ(halfway.y, 128.0f);

    int row = 7, column = 7;
    level.getRowCol(topLeft, row, column);
    EXPECT_EQ(row, 0);
    EXPECT_EQ(column, 0);
    for (int r = 0; r < 10; ++r)
    {
        for (int c = 0; c < 20; ++c)
        {
            level.getRowCol(level.getPosition(r, c) + glm::vec2(15.0f, -15.0f), row, column);
            EXPECT_EQ(row, r);
            EXPECT_EQ(column, c);
        }
    }
    // The edges themselves lie outside.
    level.getRowCol(glm::vec2(320.0f, 0.0f), row, column);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(column, -1);
    level.getRowCol(glm::vec2(0.0f, 160.0f), row, column);
    EXPECT_EQ(row, -1);
    level.getRowCol(glm::vec2(-320.0f, 0.0f), row, column);
    EXPECT_EQ(column, -1);
    level.getRowCol(glm::vec2(0.0f, -159.5f), row, column);
    EXPECT_EQ(row, 9);
    EXPECT_EQ(column, 10);
}

TEST(LevelMap, OnMapFollowsThePassabilityGrid)
{
    tamsygraphics::Tileset* tileset = makeTileset();
    LevelMap level({makeLayer("Floor", 4, 6, tileset)}, new core::PassabilityMap(3, 5), nullptr);
    level.adoptTileset(tileset);
    EXPECT_TRUE(level.isOnMap(0, 0));
    EXPECT_TRUE(level.isOnMap(2, 4));
    EXPECT_FALSE(level.isOnMap(-1, 0));
    EXPECT_FALSE(level.isOnMap(3, 0));
    EXPECT_FALSE(level.isOnMap(0, 5));
    EXPECT_FALSE(level.isOnMap(0, -1));

    // Without a passability grid the first layer gives the extent, so a
    // level without one cannot crash whoever asks.
    tamsygraphics::Tileset* other = makeTileset();
    LevelMap bare({makeLayer("Floor", 4, 6, other)}, nullptr, nullptr);
    bare.adoptTileset(other);
    EXPECT_TRUE(bare.isOnMap(3, 5));
    EXPECT_FALSE(bare.isOnMap(4, 0));
    EXPECT_EQ(bare.getPassabilityMap(), nullptr);
    EXPECT_EQ(bare.getTriggerMap(), nullptr);

    LevelMap empty({}, nullptr, nullptr);
    EXPECT_FALSE(empty.isOnMap(0, 0));
    int row = 0, column = 0;
    empty.getRowCol(glm::vec2(0.0f, 0.0f), row, column);
    EXPECT_EQ(row, -1);
    empty.highlightTile(0, 0);
}

TEST(LevelMap, HighlightsGoToTheTopLayerAndListsAreCopies)
{
    tamsygraphics::Tileset* tileset = makeTileset();
    tamsygraphics::Map* floor = makeLayer("Floor", 3, 3, tileset);
    tamsygraphics::Map* top = makeLayer("Roof", 3, 3, tileset);
    LevelMap level({floor, top}, nullptr, new TriggerMap(3, 3));
    level.adoptTileset(tileset);
    level.adoptTileset(tileset); // adopting twice must not release it twice

    level.highlightTile(1, 2);
    level.highlightTile(1, 2);
    EXPECT_TRUE(floor->GetHighlightedTiles().empty());
    ASSERT_EQ(top->GetHighlightedTiles().size(), 2u);
    level.unHighlightTile(1, 2);
    EXPECT_TRUE(top->GetHighlightedTiles().empty());

    DrawableMapList copy = level.getDrawableMaps();
    copy.pop_back();
    EXPECT_EQ(level.getDrawableMaps().size(), 2u);
    EXPECT_EQ(level.getDrawableMaps().front(), floor);
    EXPECT_NE(level.getTriggerMap(), nullptr);
}
