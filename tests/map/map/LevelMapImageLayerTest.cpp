// Image layers, layer offsets and parallax factors as the loader reads them.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "LevelMapTestSupport.h"

namespace
{
std::string mapWith(const std::string& layers)
{
    return "<map orientation=\"orthogonal\" width=\"2\" height=\"1\" tilewidth=\"16\" tileheight=\"16\">"
           "<tileset firstgid=\"1\" tilewidth=\"16\" tileheight=\"16\"><image source=\"t.png\" width=\"64\" "
           "height=\"48\"/></tileset>"
           "<layer name=\"Ground\" width=\"2\" height=\"1\"><data encoding=\"csv\">1,1</data></layer>" +
           layers + "</map>";
}
}

TEST(LevelMapImageLayer, PicturesOffsetsAndParallaxAreRead)
{
    std::unique_ptr<LevelMap> level = load("editor/image_layer.tmx");
    ASSERT_TRUE(level);
    const DrawableMapList maps = level->getDrawableMaps();
    // The hidden image layer is still a layer; it draws nothing.
    ASSERT_EQ(maps.size(), 5u);
    const MapLayer* poster = maps[1];
    EXPECT_EQ(poster->name, "Poster");
    ASSERT_EQ(poster->objects.size(), 1u);
    ASSERT_EQ(poster->tilesets.size(), 1u);
    // The size of the file itself (64 x 48), placed from the top-left.
    EXPECT_EQ(poster->objects[0].width, 64.0f);
    EXPECT_EQ(poster->objects[0].height, 48.0f);
    EXPECT_EQ(poster->objects[0].y, 48.0f);
    EXPECT_EQ(poster->offsetX, 20.0f);
    EXPECT_EQ(poster->offsetY, 8.0f);
    EXPECT_NEAR(poster->opacity, 0.7f, 1e-6f);
    EXPECT_EQ(maps[3]->tilesets.front()->transparentColour, 0xff00ff);
    EXPECT_FALSE(maps[4]->shownInEditor);

    std::unique_ptr<LevelMap> moving = load("editor/parallax.tmx");
    ASSERT_TRUE(moving);
    const DrawableMapList layers = moving->getDrawableMaps();
    ASSERT_EQ(layers.size(), 3u);
    EXPECT_EQ(layers[1]->parallaxX, 0.5f);
    EXPECT_EQ(layers[1]->parallaxY, 0.25f);
    // A group's offset adds to its layers' own.
    EXPECT_EQ(layers[2]->offsetX, 11.0f);
    EXPECT_EQ(layers[2]->offsetY, 1.0f);
}

TEST(LevelMapImageLayer, RepeatedPicturesAreRead)
{
    std::unique_ptr<LevelMap> level = load("editor/image_repeat.tmx");
    ASSERT_TRUE(level);
    const DrawableMapList maps = level->getDrawableMaps();
    ASSERT_EQ(maps.size(), 4u);
    const struct
    {
        const char* name;
        bool across;
        bool down;
    } expected[] = {{"Ground", false, false}, {"Wallpaper", true, true}, {"Band", true, false}, {"Column", false, true}};
    for (std::size_t i = 0; i < maps.size(); ++i)
    {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(maps[i]->name, expected[i].name);
        EXPECT_EQ(maps[i]->repeatX, expected[i].across);
        EXPECT_EQ(maps[i]->repeatY, expected[i].down);
    }
    // One picture each: the copies are the drawing's business.
    EXPECT_EQ(maps[1]->objects.size(), 1u);
    EXPECT_EQ(maps[1]->offsetX, -30.0f);
}

TEST(LevelMapImageLayer, BadLayersAreRefusedNamingTheMapAndTheLayer)
{
    struct Case
    {
        std::string layers;
        std::string expected;
    };
    const Case cases[] = {
        {"<imagelayer name=\"Sky\"><image source=\"missing.png\"/></imagelayer>",
         "image layer \"Sky\": the image missing.png gives no size and cannot be read"},
        {"<imagelayer name=\"Sky\"><image source=\"missing.png\" width=\"-4\" height=\"8\"/></imagelayer>",
         "image layer \"Sky\": attribute width=\"-4\""},
        {"<imagelayer name=\"Sky\"><image source=\"missing.png\" width=\"99999\" height=\"8\"/></imagelayer>",
         "image layer \"Sky\": the image missing.png is 99999 x 8 pixels"},
        {"<imagelayer name=\"Sky\"><image source=\"m.png\" trans=\"pink\" width=\"4\" height=\"4\"/></imagelayer>",
         "image layer \"Sky\": attribute trans=\"pink\" is not a colour"},
        {"<imagelayer name=\"Sky\" offsetx=\"far\"><image source=\"m.png\" width=\"4\" height=\"4\"/></imagelayer>",
         "layer \"Sky\": attribute offsetx=\"far\""},
        {"<layer name=\"Top\" width=\"2\" height=\"1\" parallaxx=\"fast\"><data encoding=\"csv\">1,1</data></layer>",
         "layer \"Top\": attribute parallaxx=\"fast\""},
        {"<group name=\"G\" offsety=\"nan\"><layer name=\"Top\" width=\"2\" height=\"1\"><data "
         "encoding=\"csv\">1,1</data></layer></group>",
         "layer \"G\": attribute offsety=\"nan\""},
        {"<objectgroup name=\"O\" parallaxy=\"1e999\"/>", "layer \"O\": attribute parallaxy=\"1e999\""},
        {"<imagelayer name=\"Sky\" repeatx=\"yes\"><image source=\"m.png\" width=\"4\" height=\"4\"/></imagelayer>",
         "image layer \"Sky\": attribute repeatx=\"yes\""},
        {"<imagelayer name=\"Sky\" repeaty=\"1.5\"><image source=\"m.png\" width=\"4\" height=\"4\"/></imagelayer>",
         "image layer \"Sky\": attribute repeaty=\"1.5\""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.layers);
        testsupport::ScratchFolder folder("zolt-image-layer");
        testsupport::writeText(folder.path() + "/m.tmx", mapWith(c.layers));
        const std::string path =
            std::filesystem::relative(folder.path(), std::filesystem::current_path()).string() + "/m.tmx";
        ErrorCapture errors;
        EXPECT_EQ(LevelMapLoader::loadLevelMap(path), nullptr);
        EXPECT_EQ(errors.lines(), 1);
        EXPECT_TRUE(errors.contains("Unable to load map " + path + ": " + c.expected)) << errors.text();
    }
}

TEST(LevelMapImageLayer, AnImageLayerWithoutPictureDrawsNothing)
{
    testsupport::ScratchFolder folder("zolt-image-layer");
    testsupport::writeText(folder.path() + "/m.tmx", mapWith("<imagelayer name=\"Empty\"/>"
                                                             "<imagelayer name=\"Blank\"><image/></imagelayer>"));
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(
        std::filesystem::relative(folder.path(), std::filesystem::current_path()).string() + "/m.tmx"));
    ASSERT_TRUE(level);
    EXPECT_EQ(level->getDrawableMaps().size(), 1u);
}
