#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "map/TriggerMap.h"

namespace
{
// A rows x columns layer over 16 x 16 tiles drawn at 32 x 32.
std::unique_ptr<MapLayer> makeLayer(const std::string& name, int rows, int columns, MapTileset* tileset)
{
    auto map = std::make_unique<MapLayer>();
    map->name = name;
    map->rows = rows;
    map->cols = columns;
    map->tileset = tileset;
    LevelMapLoader::fillDrawableMap(map.get(), std::vector<std::uint32_t>(rows * columns, 1));
    return map;
}

MapLayers layers(std::unique_ptr<MapLayer> first, std::unique_ptr<MapLayer> second = nullptr)
{
    MapLayers list;
    list.push_back(std::move(first));
    if (second)
        list.push_back(std::move(second));
    return list;
}

MapTileset* makeTileset()
{
    auto* tileset = new MapTileset();
    tileset->tileWidth = tileset->tileHeight = 16;
    tileset->renderedTileWidth = tileset->renderedTileHeight = 32;
    tileset->maxCol = 20;
    tileset->maxRow = 30;
    return tileset;
}
}

TEST(LevelMap, PositionsOfCellsAndBack)
{
    MapTileset* tileset = makeTileset();
    LevelMap level(layers(makeLayer("Floor", 10, 20, tileset)), new core::PassabilityMap(10, 20), nullptr);
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
    MapTileset* tileset = makeTileset();
    LevelMap level(layers(makeLayer("Floor", 4, 6, tileset)), new core::PassabilityMap(3, 5), nullptr);
    level.adoptTileset(tileset);
    EXPECT_TRUE(level.isOnMap(0, 0));
    EXPECT_TRUE(level.isOnMap(2, 4));
    EXPECT_FALSE(level.isOnMap(-1, 0));
    EXPECT_FALSE(level.isOnMap(3, 0));
    EXPECT_FALSE(level.isOnMap(0, 5));
    EXPECT_FALSE(level.isOnMap(0, -1));

    // Without a passability grid the first layer gives the extent, so a
    // level without one cannot crash whoever asks.
    MapTileset* other = makeTileset();
    LevelMap bare(layers(makeLayer("Floor", 4, 6, other)), nullptr, nullptr);
    bare.adoptTileset(other);
    EXPECT_TRUE(bare.isOnMap(3, 5));
    EXPECT_FALSE(bare.isOnMap(4, 0));
    EXPECT_EQ(bare.getPassabilityMap(), nullptr);
    EXPECT_EQ(bare.getTriggerMap(), nullptr);

    LevelMap empty(MapLayers(), nullptr, nullptr);
    EXPECT_FALSE(empty.isOnMap(0, 0));
    int row = 0, column = 0;
    empty.getRowCol(glm::vec2(0.0f, 0.0f), row, column);
    EXPECT_EQ(row, -1);
    empty.highlightTile(0, 0);
}

TEST(LevelMap, HighlightsGoToTheTopLayerAndListsAreCopies)
{
    MapTileset* tileset = makeTileset();
    std::unique_ptr<MapLayer> floorLayer = makeLayer("Floor", 3, 3, tileset);
    const MapLayer* floor = floorLayer.get();
    LevelMap level(layers(std::move(floorLayer), makeLayer("Roof", 3, 3, tileset)), nullptr, new TriggerMap(3, 3));
    level.adoptTileset(tileset);
    level.adoptTileset(tileset); // adopting twice must not release it twice

    // The marks live in the level map; whoever draws it (the scene, over
    // its topmost layer) hears of each one.
    std::vector<std::string> heard;
    level.setHighlightListener(
        [&heard](int row, int column, bool marked)
        { heard.push_back(std::to_string(row) + "," + std::to_string(column) + (marked ? " on" : " off")); });
    level.highlightTile(1, 2);
    level.highlightTile(1, 2);
    level.highlightTile(0, 0);
    ASSERT_EQ(level.getHighlightedTiles().size(), 3u);
    level.unHighlightTile(1, 2);
    ASSERT_EQ(level.getHighlightedTiles().size(), 1u);
    EXPECT_EQ(level.getHighlightedTiles().front(), std::make_pair(0, 0));
    EXPECT_EQ(heard, (std::vector<std::string>{"1,2 on", "1,2 on", "0,0 on", "1,2 off"}));
    level.setHighlightListener(nullptr);
    level.unHighlightTile(0, 0);
    EXPECT_TRUE(level.getHighlightedTiles().empty());
    EXPECT_EQ(heard.size(), 4u);

    DrawableMapList copy = level.getDrawableMaps();
    copy.pop_back();
    EXPECT_EQ(level.getDrawableMaps().size(), 2u);
    EXPECT_EQ(level.getDrawableMaps().front(), floor);
    EXPECT_NE(level.getTriggerMap(), nullptr);
}
