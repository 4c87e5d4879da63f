// Tile objects of object layers: read as the editor places them, drawn at
// their layer's place, and bad ones refused with the map and object named.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "LevelMapTestSupport.h"

namespace
{
std::string relativeTo(const testsupport::ScratchFolder& folder, const std::string& name)
{
    return std::filesystem::relative(folder.path(), std::filesystem::current_path()).string() + "/" + name;
}

std::string mapWithObjects(const std::string& objects)
{
    return "<map orientation=\"orthogonal\" width=\"2\" height=\"2\" tilewidth=\"16\" tileheight=\"16\">"
           "<tileset firstgid=\"1\" tilewidth=\"16\" tileheight=\"16\"><image source=\"t.png\" width=\"64\" "
           "height=\"48\"/></tileset>"
           "<layer name=\"Ground\" width=\"2\" height=\"2\"><data encoding=\"csv\">1,1,1,1</data></layer>"
           "<objectgroup name=\"Props\">" +
           objects + "</objectgroup></map>";
}
}

TEST(LevelMapTileObjects, ObjectsArePlacedAsTheEditorPlacesThem)
{
    std::unique_ptr<LevelMap> level = load("editor/tile_objects.tmx");
    ASSERT_TRUE(level);
    const DrawableMapList maps = level->getDrawableMaps();
    ASSERT_EQ(maps.size(), 3u);
    const MapLayer* props = maps[1];
    EXPECT_EQ(props->name, "Props");
    // Sized like the tile layer, with no cell of its own drawn.
    EXPECT_EQ(props->rows, maps[0]->rows);
    EXPECT_EQ(props->cols, maps[0]->cols);
    EXPECT_TRUE(maps[1]->gids.empty());
    EXPECT_FALSE(maps[1]->tileAt(0, 0).visible);
    // The hidden object is left out; the others go from the top of the map
    // down, as the editor draws them.
    ASSERT_EQ(props->objects.size(), 11u);
    for (std::size_t i = 1; i < props->objects.size(); ++i)
        EXPECT_LE(props->objects[i - 1].y, props->objects[i].y) << i;
    const MapTileObject& flipped = props->objects[1];
    EXPECT_TRUE(flipped.tile.flipHorizontal);
    EXPECT_FALSE(flipped.tile.flipVertical);
    EXPECT_EQ(flipped.tile.col, 1);
    const MapTileObject& scaled = props->objects[6];
    EXPECT_EQ(scaled.width, 32.0f);
    EXPECT_EQ(scaled.height, 32.0f);
    EXPECT_EQ(scaled.x, 64.0f);
    EXPECT_EQ(scaled.y, 32.0f);
    EXPECT_EQ(props->objects[7].rotation, 90.0f);
    EXPECT_NEAR(maps[2]->opacity, 0.6f, 1e-6f);
    // A layer drawn in the file's order keeps it.
    ASSERT_EQ(maps[2]->objects.size(), 3u);
    EXPECT_GT(maps[2]->objects[1].y, maps[2]->objects[2].y);
    // Only the layer at the sprites' place draws its objects among them.
    EXPECT_TRUE(props->holdsSprites);
    EXPECT_FALSE(maps[2]->holdsSprites);
    // The first object layer holds the sprites: the next one is over them.
    EXPECT_FALSE(props->overSprites);
    EXPECT_TRUE(maps[2]->overSprites);
}

TEST(LevelMapTileObjects, ObjectsWithoutTilesAddNoLayer)
{
    std::unique_ptr<LevelMap> level = load("level_xml.tmx");
    ASSERT_TRUE(level);
    for (const MapLayer* map : level->getDrawableMaps())
        EXPECT_TRUE(map->objects.empty()) << map->name;
}

TEST(LevelMapTileObjects, BadObjectsAreRefusedNamingTheMapAndTheObject)
{
    struct Case
    {
        std::string objects;
        std::string expected;
    };
    const Case cases[] = {
        {"<object id=\"4\" gid=\"tree\" x=\"0\" y=\"16\"/>", "object 4: attribute gid=\"tree\" is not a tile id"},
        {"<object id=\"5\" gid=\"-3\" x=\"0\" y=\"16\"/>", "object 5: attribute gid=\"-3\" is not a tile id"},
        {"<object id=\"6\" gid=\"1\" x=\"left\" y=\"16\"/>", "object 6: attribute x=\"left\""},
        {"<object id=\"7\" gid=\"1\" x=\"0\" y=\"16\" rotation=\"quarter\"/>", "object 7: attribute rotation="},
        {"<object id=\"8\" gid=\"1\" x=\"0\" y=\"16\" width=\"wide\"/>", "object 8: attribute width="},
        {"<object id=\"9\" gid=\"1\" x=\"0\" y=\"16\" visible=\"maybe\"/>", "object 9: attribute visible="},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.objects);
        testsupport::ScratchFolder folder("zolt-objects");
        testsupport::writeText(folder.path() + "/m.tmx", mapWithObjects(c.objects));
        const std::string path = relativeTo(folder, "m.tmx");
        ErrorCapture errors;
        EXPECT_EQ(LevelMapLoader::loadLevelMap(path), nullptr);
        EXPECT_EQ(errors.lines(), 1);
        EXPECT_TRUE(errors.contains("Unable to load map " + path + ": " + c.expected)) << errors.text();
    }
}

TEST(LevelMapTileObjects, OddButValidObjectsLoad)
{
    // Ids past the tileset and objects far outside the map draw nothing
    // harmful; the map still loads.
    testsupport::ScratchFolder folder("zolt-objects");
    testsupport::writeText(folder.path() + "/m.tmx",
                           mapWithObjects("<object id=\"1\" gid=\"999\" x=\"0\" y=\"16\"/>"
                                          "<object id=\"2\" gid=\"2\" x=\"1e300\" y=\"-1e300\" rotation=\"725\"/>"
                                          "<object id=\"3\" x=\"0\" y=\"0\" width=\"16\" height=\"16\"/>"));
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(relativeTo(folder, "m.tmx")));
    ASSERT_TRUE(level);
    ASSERT_EQ(level->getDrawableMaps().size(), 2u);
    const MapLayer* props = level->getDrawableMaps()[1];
    ASSERT_EQ(props->objects.size(), 1u) << "the id past the tileset has no picture";
    EXPECT_EQ(props->objects[0].rotation, 5.0f);
    EXPECT_LE(props->objects[0].x, 1.0e9f);
}
