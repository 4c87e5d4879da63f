// Maps as the Tiled editor writes them beyond plain orthogonal CSV: every
// compression, several tilesets, infinite maps, groups, refusals.

#include <gtest/gtest.h>

#include <memory>

#include "LevelMapTestSupport.h"
#include "map/LevelMapLoader.h"
#include "map/TriggerMap.h"
#include "map/TriggerTile.h"

namespace
{
bool sameTiles(const MapLayer& a, const MapLayer& b)
{
    if (a.rows != b.rows || a.cols != b.cols || a.gids.size() != b.gids.size())
        return false;
    for (int r = 0; r < a.rows; ++r)
    {
        for (int c = 0; c < a.cols; ++c)
        {
            const MapTile& x = a.tileAt(r, c);
            const MapTile& y = b.tileAt(r, c);
            if (x.row != y.row || x.col != y.col || x.visible != y.visible || x.tileset != y.tileset ||
                x.flipHorizontal != y.flipHorizontal || x.flipVertical != y.flipVertical ||
                x.flipDiagonal != y.flipDiagonal)
                return false;
        }
    }
    return true;
}
}

TEST(LevelMapTiledFeatures, EveryCompressionGivesTheSameLayers)
{
    std::unique_ptr<LevelMap> csv = load("features/encoding_csv.tmx");
    ASSERT_TRUE(csv);
    for (const char* kind : {"xml", "base64", "zlib", "gzip", "zstd"})
    {
        SCOPED_TRACE(kind);
        ErrorCapture errors;
        std::unique_ptr<LevelMap> level = load(std::string("features/encoding_") + kind + ".tmx");
        ASSERT_TRUE(level);
        EXPECT_EQ(errors.text(), "");
        ASSERT_EQ(level->getDrawableMaps().size(), 2u);
        for (int layer = 0; layer < 2; ++layer)
            EXPECT_TRUE(sameTiles(*level->getDrawableMaps()[layer], *csv->getDrawableMaps()[layer]));
    }
}

TEST(LevelMapTiledFeatures, EveryCutOfACompressedMapIsHandledSafely)
{
    // What a fuzzer would try first: the loader must refuse or load each
    // prefix of the file without reading past the bytes it was given.
    for (const char* name : {"features/encoding_zlib.tmx", "features/encoding_zstd.tmx"})
    {
        const std::string text = testsupport::readText(mapData(name));
        ASSERT_FALSE(text.empty());
        int loaded = 0;
        for (std::size_t size = 0; size <= text.size(); size += 7)
        {
            ErrorCapture quiet;
            std::unique_ptr<char[]> bytes(new char[size + 1]);
            std::copy_n(text.data(), size, bytes.get());
            std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMapFromMemory(bytes.get(), size, mapData(name)));
            loaded += level != nullptr;
        }
        std::unique_ptr<LevelMap> whole(
            LevelMapLoader::loadLevelMapFromMemory(text.data(), text.size(), mapData(name)));
        ASSERT_TRUE(whole) << name;
        EXPECT_TRUE(sameTiles(*whole->getDrawableMaps()[0], *load(name)->getDrawableMaps()[0]));
        EXPECT_LT(loaded, 20) << "a cut map must not load as if whole";
    }
    EXPECT_EQ(LevelMapLoader::loadLevelMapFromMemory(nullptr, 0, "nothing.tmx"), nullptr);
}

TEST(LevelMapTiledFeatures, HugeSpacingStillCutsOneTile)
{
    // The tileset's column and row counts used to overflow here.
    ErrorCapture errors;
    std::unique_ptr<LevelMap> level = load("huge_spacing.tmx");
    ASSERT_TRUE(level) << errors.text();
    const MapTileset* tileset = level->getDrawableMaps()[0]->tileset;
    EXPECT_EQ(tileset->maxCol, 1);
    EXPECT_EQ(tileset->maxRow, 1);
}

TEST(LevelMapTiledFeatures, InfiniteMapCoversEveryChunkAndShiftsItsTriggers)
{
    ErrorCapture errors;
    std::unique_ptr<LevelMap> level = load("infinite_triggers.tmx");
    ASSERT_TRUE(level) << errors.text();
    const MapLayer* floor = level->getDrawableMaps().at(0);
    EXPECT_EQ(floor->rows, 32);
    EXPECT_EQ(floor->cols, 32);
    // The chunk at (-16, -16) starts the grid; the one at (0, 0) follows it.
    EXPECT_EQ(floor->tileAt(0, 0).col, 6);
    EXPECT_EQ(floor->tileAt(16, 16).col, 8);
    EXPECT_FALSE(floor->tileAt(0, 16).visible) << "no chunk there";
    ASSERT_NE(level->getPassabilityMap(), nullptr);
    EXPECT_FALSE(level->getPassabilityMap()->isPassable(16, 16));
    EXPECT_TRUE(level->getPassabilityMap()->isPassable(16, 17));
    TriggerMap* triggers = level->getTriggerMap();
    ASSERT_NE(triggers, nullptr);
    EXPECT_TRUE(triggers->isTrigger(16, 16));
    EXPECT_FALSE(triggers->isTrigger(0, 0));
}

TEST(LevelMapTiledFeatures, GroupsPassTheirLookToTheirLayersInDocumentOrder)
{
    std::unique_ptr<LevelMap> level = load("features/groups.tmx");
    ASSERT_TRUE(level);
    DrawableMapList layers = level->getDrawableMaps();
    ASSERT_EQ(layers.size(), 5u);
    const char* names[] = {"A", "B", "C", "D", "E"};
    const float opacities[] = {1.0f, 0.4f, 0.5f, 1.0f, 1.0f};
    const bool shown[] = {true, true, true, false, true};
    for (int i = 0; i < 5; ++i)
    {
        SCOPED_TRACE(names[i]);
        EXPECT_EQ(layers[i]->name, names[i]);
        EXPECT_FLOAT_EQ(layers[i]->opacity, opacities[i]);
        EXPECT_EQ(layers[i]->shownInEditor, shown[i]);
    }
    std::unique_ptr<LevelMap> tinted = load("features/tint.tmx");
    ASSERT_TRUE(tinted);
    const MapLayer* inGroup = tinted->getDrawableMaps()[1];
    // #c0c0ff inside a #80ff80 group.
    EXPECT_NEAR(inGroup->tint[0], 0xc0 / 255.0f * 0x80 / 255.0f, 1e-6);
    EXPECT_NEAR(inGroup->tint[1], 0xc0 / 255.0f, 1e-6);
    EXPECT_NEAR(inGroup->tint[2], 0x80 / 255.0f, 1e-6);
    EXPECT_FLOAT_EQ(inGroup->tint[3], 1.0f);
}

TEST(LevelMapTiledFeatures, EachTileComesFromItsOwnTileset)
{
    std::unique_ptr<LevelMap> level = load("features/sizes.tmx");
    ASSERT_TRUE(level);
    const MapLayer* layer = level->getDrawableMaps().at(1);
    ASSERT_EQ(layer->tilesets.size(), 3u);
    // The grid keeps the map's 16 x 16 cells; tiles keep their own sizes.
    EXPECT_EQ(layer->tileset->tileWidth, 16);
    EXPECT_EQ(layer->tilesets[1]->tileWidth, 32);
    EXPECT_EQ(layer->tilesets[1]->tileHeight, 48);
    EXPECT_EQ(layer->tilesets[1]->offsetX, 4);
    EXPECT_EQ(layer->tilesets[1]->offsetY, -6);
    const MapTile& big = layer->tileAt(1, 1); // gid 13: the big set's first tile
    EXPECT_TRUE(big.visible);
    EXPECT_EQ(big.tileset, 1);
    EXPECT_EQ(big.row, 0);
    EXPECT_EQ(big.col, 0);
    // The first tileset is the game's "tileset"; the others are named by their image.
    EXPECT_EQ(layer->tilesets[0]->imageName, "tileset");
    EXPECT_EQ(layer->tilesets[1]->imageName, "./" + mapData("features/big32x48.png"));

    std::unique_ptr<LevelMap> keyed = load("features/transparent.tmx");
    ASSERT_TRUE(keyed);
    const MapTileset* set = keyed->getDrawableMaps()[0]->tilesets.at(1);
    EXPECT_EQ(set->transparentColour, 0xff00ff);
    EXPECT_EQ(set->imageName, "./" + mapData("features/keyed16.png") + "#ff00ff");
}

TEST(LevelMapTiledFeatures, ImageSizeIsReadFromTheImageWhenMissing)
{
    ErrorCapture errors;
    std::unique_ptr<LevelMap> level = load("features/unsized.tmx");
    ASSERT_TRUE(level) << errors.text();
    const MapLayer* layer = level->getDrawableMaps()[0];
    EXPECT_EQ(layer->tilesets.at(0)->maxCol, 4);
    EXPECT_EQ(layer->tilesets.at(0)->maxRow, 3);
    EXPECT_EQ(layer->tilesets.at(1)->maxCol, 3);
    EXPECT_EQ(layer->tilesets.at(1)->maxRow, 2);
}

TEST(LevelMapTiledFeatures, AMapPropertyNamesTheSoundOfItsSteps)
{
    const std::string text = testsupport::readText(mapData("features/encoding_csv.tmx"));
    const std::size_t mapEnd = text.find('>', text.find("<map"));
    ASSERT_NE(mapEnd, std::string::npos);
    struct Case
    {
        const char* properties;
        const char* cue;
    };
    const Case cases[] = {
        {"", ""},
        {"<properties><property name=\"stepCue\" value=\"stepSoft\"/></properties>", "stepSoft"},
        {"<properties><property name=\"other\" value=\"stepSoft\"/></properties>", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.properties);
        const std::string edited = text.substr(0, mapEnd + 1) + c.properties + text.substr(mapEnd + 1);
        std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMapFromMemory(edited.data(), edited.size(), "m.tmx"));
        ASSERT_TRUE(level);
        EXPECT_EQ(level->getStepCue(), c.cue);
    }
    // The demo's sand and grass sound soft; the town's stone does not.
    EXPECT_EQ(LevelMapLoader::loadLevelMap("assets/maps/region1/coastalVillage/start.tmx")->getStepCue(), "stepSoft");
    EXPECT_EQ(LevelMapLoader::loadLevelMap("assets/maps/region1/town/main.tmx")->getStepCue(), "");
}
