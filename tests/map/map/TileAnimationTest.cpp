// Animated tiles as a tileset declares them, and what each frame time shows.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "LevelMapTestSupport.h"
#include "graphics/TGTileset.h"

namespace
{
std::string mapWithTiles(const std::string& tiles)
{
    return "<map orientation=\"orthogonal\" width=\"2\" height=\"1\" tilewidth=\"16\" tileheight=\"16\">"
           "<tileset firstgid=\"1\" tilewidth=\"16\" tileheight=\"16\"><image source=\"t.png\" width=\"64\" "
           "height=\"48\"/>" +
           tiles +
           "</tileset><layer name=\"Water\" width=\"2\" height=\"1\"><data encoding=\"csv\">3,4</data></layer></map>";
}

std::string animation(int tile, const std::string& frames)
{
    return "<tile id=\"" + std::to_string(tile) + "\"><animation>" + frames + "</animation></tile>";
}

std::string frame(const std::string& tile, const std::string& duration)
{
    return "<frame tileid=\"" + tile + "\" duration=\"" + duration + "\"/>";
}
}

TEST(TileAnimation, FramesFollowTheEditorsClock)
{
    tamsygraphics::TileAnimation a;
    a.frames = {{1, 300}, {5, 200}, {9, 500}};
    // (time, tile shown): a frame lasts until its time is exceeded.
    const std::pair<long long, int> expected[] = {{-40, 1},
                                                  {0, 1},
                                                  {1, 1},
                                                  {300, 1},
                                                  {301, 5},
                                                  {500, 5},
                                                  {501, 9},
                                                  {1000, 9},
                                                  {1001, 1},
                                                  {2300, 1},
                                                  {2450, 5},
                                                  {3000, 9},
                                                  {123456789012345LL, 5}};
    for (const auto& at : expected)
        EXPECT_EQ(a.FrameAt(at.first).tileId, at.second) << at.first;
    tamsygraphics::TileAnimation still;
    still.frames = {{4, 0}, {6, 0}};
    EXPECT_EQ(still.FrameAt(500).tileId, 4) << "frames that last no time never move";
}

TEST(TileAnimation, TilesetsKeepTheirAnimations)
{
    std::unique_ptr<LevelMap> level = load("editor/animated.tmx");
    ASSERT_TRUE(level);
    const MapTileset* tileset = level->getDrawableMaps().front()->tilesets.front();
    ASSERT_EQ(tileset->animations.size(), 2u);
    const MapTileAnimation& water = tileset->animations.at(2);
    ASSERT_EQ(water.frames.size(), 3u);
    EXPECT_EQ(water.frames[1].tileId, 5);
    EXPECT_EQ(water.frames[1].duration, 200);
}

TEST(TileAnimation, BadFramesAreRefusedNamingTheMapAndTheTile)
{
    struct Case
    {
        std::string tiles;
        std::string expected;
    };
    const Case cases[] = {
        {animation(2, frame("1", "100") + frame("12", "100")),
         "tile 2: animation frame 2 shows tile 12, past the tileset's 12 tiles"},
        {animation(3, frame("1", "-100")), "tile 3: animation frame 1: attribute duration=\"-100\""},
        {animation(3, frame("two", "100")), "tile 3: animation frame 1: attribute tileid=\"two\""},
        {animation(3, frame("-1", "100")), "tile 3: animation frame 1: attribute tileid=\"-1\""},
        {animation(3, frame("1", "soon")), "tile 3: animation frame 1: attribute duration=\"soon\""},
        {"<tile id=\"x\"><animation>" + frame("1", "100") + "</animation></tile>", "attribute id=\"x\""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.tiles);
        testsupport::ScratchFolder folder("zolt-anim");
        testsupport::writeText(folder.path() + "/m.tmx", mapWithTiles(c.tiles));
        const std::string path =
            std::filesystem::relative(folder.path(), std::filesystem::current_path()).string() + "/m.tmx";
        ErrorCapture errors;
        EXPECT_EQ(LevelMapLoader::loadLevelMap(path), nullptr);
        EXPECT_EQ(errors.lines(), 1);
        EXPECT_TRUE(errors.contains("Unable to load map " + path + ": " + c.expected)) << errors.text();
    }
}
