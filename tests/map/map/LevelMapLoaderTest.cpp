#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "LevelMapTestSupport.h"
#include "map/LevelMapLoader.h"
#include "map/TriggerMap.h"
#include "map/TriggerTile.h"

namespace
{
const std::uint32_t H = 0x80000000u, V = 0x40000000u, D = 0x20000000u;

void expectTile(const MapTile& tile, int row, int col, bool h, bool v, bool d)
{
    EXPECT_TRUE(tile.visible);
    EXPECT_EQ(tile.row, row);
    EXPECT_EQ(tile.col, col);
    EXPECT_EQ(tile.flipHorizontal, h);
    EXPECT_EQ(tile.flipVertical, v);
    EXPECT_EQ(tile.flipDiagonal, d);
}

const event::TriggerTileEvent* onlyEvent(TriggerMap* triggers, int row, int column)
{
    TriggerTile* tile = triggers->getTile(row, column);
    if (!tile || tile->getEvents().size() != 1)
        return nullptr;
    return tile->getEvents().front();
}
}

TEST(LevelMapLoader, DecodesTileIdsWithTheirFlips)
{
    MapTile flipped = LevelMapLoader::drawableTileFor(H | 2u, 20);
    expectTile(flipped, 0, 1, true, false, false);
    MapTile second = LevelMapLoader::drawableTileFor(21u, 20);
    expectTile(second, 1, 0, false, false, false);
    MapTile all = LevelMapLoader::drawableTileFor(H | V | D | 40u, 20);
    expectTile(all, 1, 19, true, true, true);
    MapTile empty = LevelMapLoader::drawableTileFor(0u, 20);
    EXPECT_FALSE(empty.visible);
    EXPECT_EQ(empty.col, -1);
    EXPECT_EQ(empty.row, 0);
    // A flipped empty cell stays empty.
    EXPECT_FALSE(LevelMapLoader::drawableTileFor(H | V, 20).visible);
    // Ids count from the tileset's first id.
    expectTile(LevelMapLoader::drawableTileFor(12u, 4, 10), 0, 2, false, false, false);
    EXPECT_FALSE(LevelMapLoader::drawableTileFor(5u, 4, 10).visible);

    // Ids past the last tile of a 20 x 30 tileset draw nothing.
    MapTileset tileset;
    tileset.maxCol = 20;
    tileset.maxRow = 30;
    MapLayer layer;
    layer.rows = 1;
    layer.cols = 4;
    layer.tileset = &tileset;
    LevelMapLoader::fillDrawableMap(&layer, {600u, 601u, H | 601u, 0x1FFFFFFFu});
    ASSERT_EQ(layer.gids.size(), 4u);
    expectTile(layer.tileAt(0, 0), 29, 19, false, false, false);
    EXPECT_FALSE(layer.tileAt(0, 1).visible);
    EXPECT_FALSE(layer.tileAt(0, 2).visible);
    EXPECT_FALSE(layer.tileAt(0, 3).visible);
}

TEST(LevelMapLoader, EveryCellOfALayerIsTheTileOfItsId)
{
    // Whole layers against one cell at a time: tilesets of several widths
    // and first ids, every flip, empty and stray ids, and a layer with
    // fewer ids than cells (the rest stay empty).
    const std::uint32_t firstGids[] = {1, 10};
    const int widths[] = {1, 3, 7, 20};
    for (std::uint32_t firstGid : firstGids)
    {
        for (int width : widths)
        {
            SCOPED_TRACE("first id " + std::to_string(firstGid) + ", " + std::to_string(width) + " columns");
            MapTileset tileset;
            tileset.maxCol = width;
            tileset.maxRow = 9;
            std::vector<std::uint32_t> gids;
            for (std::uint32_t id = 0; id < firstGid + static_cast<std::uint32_t>(width * 10); ++id)
                gids.push_back(id | (id % 4 == 1 ? H : 0u) | (id % 3 == 2 ? V | D : 0u));
            gids.push_back(0xFFFFFFFFu);
            MapLayer layer;
            layer.cols = 6;
            layer.rows = static_cast<int>(gids.size()) / layer.cols + 2;
            layer.tileset = &tileset;
            LevelMapLoader::fillDrawableMap(&layer, gids, firstGid);
            ASSERT_EQ(layer.gids.size(), static_cast<std::size_t>(layer.rows * layer.cols));
            for (int cell = 0; cell < layer.rows * layer.cols; ++cell)
            {
                const std::size_t at = static_cast<std::size_t>(cell);
                const std::uint32_t gid = at < gids.size() ? gids[at] : 0u;
                SCOPED_TRACE("id " + std::to_string(gid));
                const MapTile& tile = layer.tileAt(static_cast<int>(at / 6), static_cast<int>(at % 6));
                MapTile expected = LevelMapLoader::drawableTileFor(gid, width, firstGid);
                expected.visible = expected.visible && expected.row < tileset.maxRow;
                EXPECT_EQ(tile.visible, expected.visible);
                EXPECT_EQ(tile.flipHorizontal, expected.flipHorizontal);
                EXPECT_EQ(tile.flipVertical, expected.flipVertical);
                EXPECT_EQ(tile.flipDiagonal, expected.flipDiagonal);
                EXPECT_EQ(tile.tileset, 0);
                if (expected.visible)
                {
                    EXPECT_EQ(tile.row, expected.row);
                    EXPECT_EQ(tile.col, expected.col);
                }
            }
        }
    }
}

TEST(LevelMapLoader, ReadsLayersTilesetAndPassability)
{
    std::unique_ptr<LevelMap> level = load("level_xml.tmx");
    ASSERT_TRUE(level);
    DrawableMapList layers = level->getDrawableMaps();
    ASSERT_EQ(layers.size(), 2u);
    EXPECT_EQ(layers[0]->name, "Floor");
    // Only the two exact spellings make a passability grid.
    EXPECT_EQ(layers[1]->name, "PASSABILITY");
    EXPECT_EQ(layers[0]->tileset, layers[1]->tileset);
    // Nothing of drawing in the layer: the cells are the file's ids.
    EXPECT_EQ(layers[0]->gids.size(), static_cast<std::size_t>(layers[0]->rows * layers[0]->cols));

    const MapTileset* tileset = layers[0]->tileset;
    ASSERT_NE(tileset, nullptr);
    EXPECT_EQ(tileset->name, "tiles.png");
    EXPECT_EQ(tileset->imageName, "tileset");
    EXPECT_EQ(tileset->tileWidth, 16);
    EXPECT_EQ(tileset->tileHeight, 16);
    EXPECT_EQ(tileset->renderedTileWidth, 32);
    EXPECT_EQ(tileset->renderedTileHeight, 32);
    EXPECT_EQ(tileset->spaceX, 0);
    EXPECT_EQ(tileset->spaceY, 0);
    EXPECT_EQ(tileset->maxCol, 20);
    EXPECT_EQ(tileset->maxRow, 30);

    MapLayer* floor = layers[0];
    EXPECT_EQ(floor->rows, 4);
    EXPECT_EQ(floor->cols, 5);
    ASSERT_EQ(floor->rows, 4);
    ASSERT_EQ(floor->cols, 5);
    ASSERT_EQ(floor->gids.size(), 20u);
    expectTile(floor->tileAt(0, 0), 0, 0, false, false, false);
    expectTile(floor->tileAt(0, 1), 0, 1, true, false, false);
    expectTile(floor->tileAt(0, 2), 1, 0, false, false, false);
    EXPECT_FALSE(floor->tileAt(0, 3).visible);
    expectTile(floor->tileAt(0, 4), 1, 19, false, false, false);
    expectTile(floor->tileAt(1, 0), 0, 2, false, true, false);
    expectTile(floor->tileAt(1, 1), 0, 3, false, false, true);
    expectTile(floor->tileAt(1, 2), 0, 4, true, true, true);
    expectTile(floor->tileAt(1, 3), 0, 5, true, false, true);
    expectTile(floor->tileAt(2, 0), 2, 0, false, false, false);
    expectTile(floor->tileAt(2, 3), 0, 6, false, true, true);
    expectTile(floor->tileAt(2, 4), 0, 7, true, true, false);
    expectTile(floor->tileAt(3, 4), 0, 12, false, false, false);

    core::PassabilityMap* passability = level->getPassabilityMap();
    ASSERT_NE(passability, nullptr);
    EXPECT_EQ(passability->getNumberOfRows(), 4);
    EXPECT_EQ(passability->getNumberOfColumns(), 5);
    EXPECT_TRUE(passability->isPassable(0, 0));
    EXPECT_FALSE(passability->getTile(0, 1)->isPassableLeft()); // 521
    EXPECT_TRUE(passability->getTile(0, 1)->isPassableTop());
    EXPECT_FALSE(passability->getTile(0, 2)->isPassableTop()); // 522
    EXPECT_FALSE(passability->getTile(2, 1)->isPassableTop()); // 563
    EXPECT_FALSE(passability->getTile(2, 1)->isPassableBottom());
    EXPECT_TRUE(passability->getTile(2, 1)->isPassableLeft());
    EXPECT_FALSE(passability->isPassable(3, 0)); // 583
    EXPECT_TRUE(passability->isPassable(3, 1));  // 1
    EXPECT_TRUE(passability->isPassable(3, 2));  // flipped 521
    // (0, 0) is open on the right but (0, 1) is closed on the left.
    EXPECT_FALSE(passability->isPassable(core::RIGHT, 0, 0));
    EXPECT_TRUE(passability->isPassable(core::DOWN, 3, 4) == false);
    EXPECT_TRUE(level->isOnMap(3, 4));
    EXPECT_FALSE(level->isOnMap(4, 0));
}

TEST(LevelMapLoader, TriggerObjectsMarkTheirCells)
{
    std::unique_ptr<LevelMap> level = load("level_xml.tmx");
    ASSERT_TRUE(level);
    TriggerMap* triggers = level->getTriggerMap();
    ASSERT_NE(triggers, nullptr);
    // The group has no size of its own: the grid covers the map.
    EXPECT_EQ(triggers->getNumberOfRows(), 4);
    EXPECT_EQ(triggers->getNumberOfColumns(), 5);

    // (32, 48) with no size marks exactly cell (3, 2).
    const event::TriggerTileEvent* portal = onlyEvent(triggers, 3, 2);
    ASSERT_NE(portal, nullptr);
    EXPECT_EQ(portal->getScript(), "portal.lua");
    event::ParameterList expected = {{"Target", "town_main"}, {"row", "5"}};
    EXPECT_EQ(portal->getParams(), expected);
    EXPECT_TRUE(triggers->getTile(3, 2)->isPortal());
    EXPECT_FALSE(triggers->isTrigger(3, 1));
    EXPECT_FALSE(triggers->isTrigger(2, 2));
    EXPECT_FALSE(triggers->isTrigger(3, 3));

    // 48 x 32 at (0, 0): rows 0-1, columns 0-2, one shared tile.
    TriggerTile* wander = triggers->getTile(0, 0);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(triggers->getTile(row, column), wander) << row << "," << column;
    ASSERT_NE(onlyEvent(triggers, 0, 0), nullptr);
    EXPECT_EQ(onlyEvent(triggers, 0, 0)->getScript(), "wanderRegion.lua");
    EXPECT_TRUE(triggers->isValidTrigger(1, 2, false));
    EXPECT_FALSE(triggers->isTrigger(0, 3));
    EXPECT_FALSE(triggers->isTrigger(2, 0));

    // Reaching past the right and bottom edges marks only the cells inside.
    const event::TriggerTileEvent* edge = onlyEvent(triggers, 2, 4);
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->getScript(), "edge.lua");
    EXPECT_EQ(edge->getParams(), (event::ParameterList{{"note", "long text"}}));
    EXPECT_EQ(triggers->getTile(3, 4), triggers->getTile(2, 4));
    EXPECT_FALSE(triggers->isTrigger(1, 4));
    EXPECT_FALSE(triggers->isTrigger(2, 3));

    // The other object group and the object without properties mark nothing.
    EXPECT_FALSE(triggers->isTrigger(1, 3));
    int marked = 0;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 5; ++column)
            marked += triggers->isTrigger(row, column);
    EXPECT_EQ(marked, 6 + 1 + 2);
}

TEST(LevelMapLoader, ObjectWithoutPropertiesIsReportedAndSkipped)
{
    ErrorCapture errors;
    std::unique_ptr<LevelMap> level = load("level_xml.tmx");
    ASSERT_TRUE(level);
    EXPECT_EQ(errors.lines(), 1);
    EXPECT_NE(errors.text().find("LevelMapLoader::loadLevelMap::loadTriggerTiles - Unable to load "
                                 "trigger on " +
                                 mapData("level_xml.tmx") + ": Missing properties for a trigger"),
              std::string::npos);
}

TEST(LevelMapLoader, NullInputsToTheTriggerReaderAreReported)
{
    ErrorCapture errors;
    TriggerMap triggers(2, 2);
    LevelMapLoader::loadTriggerMapTiles(&triggers, nullptr, nullptr, "x.tmx");
    EXPECT_NE(errors.text().find("LevelMapLoader::loadTriggerMapTiles - something is null"), std::string::npos);
    EXPECT_FALSE(triggers.isTrigger(0, 0));
}

TEST(LevelMapLoader, EveryEncodingGivesTheSameLevel)
{
    std::unique_ptr<LevelMap> reference = load("level_xml.tmx");
    ASSERT_TRUE(reference);
    for (const char* name : {"level_csv.tmx", "level_base64.tmx", "level_tsx.tmx"})
    {
        SCOPED_TRACE(name);
        std::unique_ptr<LevelMap> level = load(name);
        ASSERT_TRUE(level);
        DrawableMapList expected = reference->getDrawableMaps();
        DrawableMapList actual = level->getDrawableMaps();
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t i = 0; i < actual.size(); ++i)
        {
            EXPECT_EQ(actual[i]->name, expected[i]->name);
            ASSERT_EQ(actual[i]->rows, expected[i]->rows);
            ASSERT_EQ(actual[i]->cols, expected[i]->cols);
            ASSERT_EQ(actual[i]->gids.size(), expected[i]->gids.size());
            for (int r = 0; r < actual[i]->rows; ++r)
            {
                for (int c = 0; c < actual[i]->cols; ++c)
                {
                    const MapTile& a = actual[i]->tileAt(r, c);
                    const MapTile& e = expected[i]->tileAt(r, c);
                    EXPECT_TRUE(a.row == e.row && a.col == e.col && a.visible == e.visible &&
                                a.flipHorizontal == e.flipHorizontal && a.flipVertical == e.flipVertical &&
                                a.flipDiagonal == e.flipDiagonal)
                        << "layer " << i << " cell " << r << "," << c;
                }
            }
        }
        const MapTileset* a = actual[0]->tileset;
        const MapTileset* e = expected[0]->tileset;
        EXPECT_TRUE(a->tileWidth == e->tileWidth && a->tileHeight == e->tileHeight && a->maxCol == e->maxCol &&
                    a->maxRow == e->maxRow && a->spaceX == e->spaceX && a->spaceY == e->spaceY &&
                    a->imageName == e->imageName);

        core::PassabilityMap* pa = level->getPassabilityMap();
        core::PassabilityMap* pe = reference->getPassabilityMap();
        ASSERT_NE(pa, nullptr);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 5; ++c)
                for (int direction = core::UP; direction <= core::LEFT; ++direction)
                    EXPECT_EQ(pa->isPassable(direction, r, c), pe->isPassable(direction, r, c));

        TriggerMap* ta = level->getTriggerMap();
        TriggerMap* te = reference->getTriggerMap();
        ASSERT_NE(ta, nullptr);
        for (int r = 0; r < 4; ++r)
        {
            for (int c = 0; c < 5; ++c)
            {
                ASSERT_EQ(ta->isTrigger(r, c), te->isTrigger(r, c));
                if (!te->isTrigger(r, c))
                    continue;
                EXPECT_EQ(onlyEvent(ta, r, c)->getScript(), onlyEvent(te, r, c)->getScript());
                EXPECT_EQ(onlyEvent(ta, r, c)->getParams(), onlyEvent(te, r, c)->getParams());
                // Cells that share a tile in one share it in the other.
                EXPECT_EQ(ta->getTile(r, c) == ta->getTile(0, 0), te->getTile(r, c) == te->getTile(0, 0));
            }
        }
    }
}

TEST(LevelMapLoader, ExternalTilesetImageIsFoundFromTheMap)
{
    std::unique_ptr<LevelMap> level = load("level_tsx.tmx");
    ASSERT_TRUE(level);
    EXPECT_EQ(level->getDrawableMaps()[0]->tileset->name, "sets/../tiles.png");
}

TEST(LevelMapLoader, OnlyAPassabilityLayerIsRefused)
{
    ErrorCapture errors;
    EXPECT_EQ(load("only_passability.tmx"), nullptr);
    EXPECT_EQ(errors.text(), Log::prefix("Error") + "LevelMapLoader::loadLevelMap - Unable to create level from " +
                                 mapData("only_passability.tmx") + ": Missing drawable layers\n");
}

TEST(LevelMapLoader, CompressedDataOfTheWrongSizeIsRefused)
{
    // Compressed layers load now; this one unpacks to a single tile id.
    ErrorCapture errors;
    EXPECT_EQ(load("bad/compressed.tmx"), nullptr);
    EXPECT_EQ(errors.text(), Log::prefix("Error") + "LevelMapLoader::loadLevelMap - Unable to load map " +
                                 mapData("bad/compressed.tmx") +
                                 ": layer \"Floor\": the zlib layer data unpacks to 4 bytes, 80 expected\n");
}

TEST(LevelMapLoader, MissingFileIsRefusedWithItsName)
{
    ErrorCapture errors;
    EXPECT_EQ(load("nowhere.tmx"), nullptr);
    EXPECT_EQ(errors.text(), Log::prefix("Error") + "LevelMapLoader::loadLevelMap - Error opening file " +
                                 mapData("nowhere.tmx") + "\n");
}

TEST(LevelMapLoader, BrokenMapsAreRefusedWithOneClearLine)
{
    struct Case
    {
        const char* file;
        const char* problem;
    };
    const Case cases[] = {
        // Damaged compressed data, and maps the engine cannot draw.
        {"bad/zlib_truncated.tmx", "zlib layer data is truncated"},
        {"bad/zlib_short.tmx", "unpacks to 40 bytes, 80 expected"},
        {"bad/gzip_wrong_size.tmx", "gzip layer data is corrupt (incorrect length check)"},
        {"bad/zstd_garbage.tmx", "zstd layer data is corrupt"},
        {"bad/compressed_bad_base64.tmx", "not valid base64"},
        {"bad/unknown_compression.tmx", "unknown compression \"lzma\""},
        {"bad/isometric.tmx", "orientation is \"isometric\"; only orthogonal maps"},
        {"bad/staggered.tmx", "orientation is \"staggered\""},
        {"bad/hexagonal.tmx", "orientation is \"hexagonal\""},
        {"bad/no_image_size.tmx", "nowhere.png gives no size and cannot be read"},
        {"bad/short_data.tmx", "holds 17 tiles, 20 expected"},
        {"bad/short_csv.tmx", "holds 19 tiles, 20 expected"},
        {"bad/short_base64.tmx", "holds 10 tiles, 20 expected"},
        {"bad/bad_csv.tmx", "not a tile id"},
        {"bad/bad_base64.tmx", "not valid base64"},
        {"bad/no_tileset.tmx", "no <tileset>"},
        {"bad/no_image.tmx", "no <image>"},
        {"bad/no_image_source.tmx", "image has no source"},
        {"bad/no_data.tmx", "has no <data>"},
        {"bad/no_layer_name.tmx", "layer has no name"},
        {"bad/zero_tile_size.tmx", "tile size is zero"},
        {"bad/nonnumeric_size.tmx", "width=\"five\""},
        {"bad/nonnumeric_tile_size.tmx", "tilewidth=\"16px\""},
        {"bad/tiny_image.tmx", "holds no whole tile"},
        {"bad/missing_tsx.tmx", "nowhere.tsx"},
        {"bad/not_xml.tmx", "Failed to load map file"},
        {"bad/no_map.tmx", "no <map>"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.file);
        ErrorCapture errors;
        EXPECT_EQ(load(c.file), nullptr);
        EXPECT_EQ(errors.lines(), 1) << errors.text();
        EXPECT_NE(errors.text().find(mapData(c.file)), std::string::npos) << errors.text();
        EXPECT_NE(errors.text().find(c.problem), std::string::npos) << errors.text();
        EXPECT_EQ(errors.text().find("LevelMapLoader::loadLevelMap - "), Log::prefix("Error").size());
    }
}

TEST(LevelMapLoader, OddTriggerObjectsStayInsideTheGrid)
{
    ErrorCapture errors;
    std::unique_ptr<LevelMap> level = load("odd_triggers.tmx");
    ASSERT_TRUE(level);
    // One line for the unreadable object of each of the two sized groups.
    EXPECT_EQ(errors.lines(), 2) << errors.text();
    EXPECT_NE(errors.text().find("x=\"abc\""), std::string::npos);

    // The last "Triggers" group wins, with its own size.
    TriggerMap* triggers = level->getTriggerMap();
    ASSERT_NE(triggers, nullptr);
    EXPECT_EQ(triggers->getNumberOfRows(), 2);
    EXPECT_EQ(triggers->getNumberOfColumns(), 3);

    // An object far wider than the map marks the rest of its row only, and
    // one starting half a tile left of the map marks only the cell outside.
    EXPECT_FALSE(triggers->isTrigger(0, 0));
    ASSERT_NE(onlyEvent(triggers, 0, 1), nullptr);
    EXPECT_EQ(onlyEvent(triggers, 0, 1)->getScript(), "wide.lua");
    EXPECT_EQ(triggers->getTile(0, 2), triggers->getTile(0, 1));
    // Fractional sizes are cut to whole tiles; the later script property wins.
    ASSERT_NE(onlyEvent(triggers, 1, 0), nullptr);
    EXPECT_EQ(onlyEvent(triggers, 1, 0)->getScript(), "later.lua");
    EXPECT_FALSE(triggers->isTrigger(1, 1));
    EXPECT_FALSE(triggers->isTrigger(1, 2));

    // A group claiming millions of rows and columns gets a grid of the
    // map's own size, not one tile per claimed cell. Its one object names
    // its script through the last spelling the loader knows, "scriptfilename".
    std::unique_ptr<LevelMap> huge = load("huge_trigger_group.tmx");
    ASSERT_TRUE(huge);
    TriggerMap* cut = huge->getTriggerMap();
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->getNumberOfRows(), 4);
    EXPECT_EQ(cut->getNumberOfColumns(), 5);
    ASSERT_NE(onlyEvent(cut, 3, 4), nullptr);
    EXPECT_EQ(onlyEvent(cut, 3, 4)->getScript(), "corner.lua");
}

TEST(LevelMapLoader, HugeSizesAreRefusedWithoutExhaustingMemory)
{
    for (const char* file : {"bad/huge_size.tmx", "bad/huge_tile_size.tmx"})
    {
        SCOPED_TRACE(file);
        ErrorCapture errors;
        EXPECT_EQ(load(file), nullptr);
        EXPECT_EQ(errors.lines(), 1);
        EXPECT_NE(errors.text().find(mapData(file)), std::string::npos);
    }
}

TEST(LevelMapLoader, GameMapsLoadCompletely)
{
    int maps = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("assets/maps", error))
    {
        if (entry.path().extension() != ".tmx")
            continue;
        SCOPED_TRACE(entry.path().string());
        ++maps;
        ErrorCapture errors;
        std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(entry.path().string()));
        ASSERT_TRUE(level);
        EXPECT_EQ(errors.text(), "");
        ASSERT_FALSE(level->getDrawableMaps().empty());
        const MapLayer* first = level->getDrawableMaps().front();
        // Walking needs passability over the whole drawn map.
        ASSERT_NE(level->getPassabilityMap(), nullptr);
        EXPECT_EQ(level->getPassabilityMap()->getNumberOfRows(), first->rows);
        EXPECT_EQ(level->getPassabilityMap()->getNumberOfColumns(), first->cols);
    }
    if (maps == 0)
        GTEST_SKIP() << "no game maps under assets/maps";
}
