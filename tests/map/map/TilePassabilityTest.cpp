// Passability that a tileset declares with the tile property `pass`, next
// to the built-in passability ids that a tileset without it keeps.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "LevelMapTestSupport.h"
#include "map/LevelMapLoader.h"
#include "map/PassabilityMap.h"
#include "map/TilePassability.h"

namespace
{
// The loader opens paths below the working folder, so the scratch folder
// is named relative to it.
struct MapFolder
{
    testsupport::ScratchFolder scratch{"zolt-pass"};
    std::string relative() const
    {
        return std::filesystem::relative(scratch.path(), std::filesystem::current_path()).string();
    }
    std::string write(const std::string& name, const std::string& text) const
    {
        testsupport::writeText(scratch.path() + "/" + name, text);
        return relative() + "/" + name;
    }
};

// A tileset of 30 x 30 tiles of 16 pixels, so the built-in ids (up to 583)
// lie inside it; `tiles` are its <tile> elements.
std::string tilesetBody(const std::string& tiles)
{
    return " <image source=\"t.png\" width=\"480\" height=\"480\"/>\n" + tiles;
}

std::string embeddedTileset(const std::string& tiles)
{
    return "<tileset firstgid=\"1\" name=\"t\" tilewidth=\"16\" tileheight=\"16\">\n" + tilesetBody(tiles) +
           "</tileset>\n";
}

std::string tsxFile(const std::string& tiles)
{
    return "<?xml version=\"1.0\"?>\n<tileset name=\"t\" tilewidth=\"16\" tileheight=\"16\">\n" + tilesetBody(tiles) +
           "</tileset>\n";
}

std::string layer(const std::string& name, const std::string& csv)
{
    return "<layer name=\"" + name + "\" width=\"4\" height=\"1\"><data encoding=\"csv\">" + csv + "</data></layer>\n";
}

std::string mapFile(const std::string& tileset, const std::string& layers)
{
    return "<?xml version=\"1.0\"?>\n<map orientation=\"orthogonal\" width=\"4\" height=\"1\" tilewidth=\"16\" "
           "tileheight=\"16\">\n" +
           tileset + layers + "</map>\n";
}

std::string passTile(int id, const std::string& value, const std::string& type = "")
{
    return "<tile id=\"" + std::to_string(id) + "\"><properties><property name=\"pass\"" +
           (type.empty() ? "" : " type=\"" + type + "\"") + " value=\"" + value + "\"/></properties></tile>\n";
}

// A cell's open sides as letters, in the order U, R, D, L.
std::string openSides(const core::PassabilityMap& map, int column)
{
    const PassabilityTile* tile = map.getTile(0, column);
    if (!tile)
        return "?";
    std::string sides;
    sides += tile->isPassableTop() ? "U" : "";
    sides += tile->isPassableRight() ? "R" : "";
    sides += tile->isPassableBottom() ? "D" : "";
    sides += tile->isPassableLeft() ? "L" : "";
    return sides;
}

const std::string DECLARING_TILES = passTile(0, "URDL") + passTile(1, "") + passTile(2, "ud") + passTile(3, "Lu") +
                                    "<tile id=\"4\"><properties><property name=\"other\" value=\"x\"/>"
                                    "</properties></tile>\n";
const unsigned FLIP_H = 0x80000000u;
const unsigned FLIP_V = 0x40000000u;
const unsigned FLIP_D = 0x20000000u;
}

TEST(TilePassability, SidesComeFromTheTilesetOrTheBuiltInIds)
{
    struct Case
    {
        const char* name;
        bool external;
        std::string tiles;
        std::string layers;
        const char* expected[4];
    };
    const std::string flipped = std::to_string(4 | FLIP_H) + "," + std::to_string(4 | FLIP_V) + "," +
                                std::to_string(4 | FLIP_D) + "," + std::to_string(4 | FLIP_H | FLIP_V);
    const Case cases[] = {
        {"no property keeps the built-in ids",
         false,
         "",
         layer("Floor", "583,583,583,583") + layer("Passability", "521,583,1,0"),
         {"URD", "", "URDL", "URDL"}},
        {"a tileset with only other properties keeps them",
         true,
         "<tile id=\"4\"><properties><property "
         "name=\"other\" value=\"x\"/></properties></tile>",
         layer("Floor", "1,1,1,1") + layer("Passability", "522,544,583,0"),
         {"RDL", "DL", "", "URDL"}},
        {"passability layer of declared tiles",
         false,
         DECLARING_TILES,
         layer("Floor", "5,5,5,5") + layer("Passability", "1,2,3,4"),
         {"URDL", "", "UD", "UL"}},
        {"declared tiles in a .tsx file",
         true,
         DECLARING_TILES,
         layer("Floor", "1,2,3,5") + layer("Passability", "4,5,0,521"),
         {"UL", "", "UD", "URDL"}},
        {"drawn tiles close sides without a passability layer",
         false,
         DECLARING_TILES,
         layer("Ground", "1,2,3,4") + layer("Walls", "0,0,4,3"),
         {"URDL", "", "U", "U"}},
        {"flips turn the open sides", false, DECLARING_TILES, layer("Ground", flipped), {"UR", "DL", "UL", "RD"}},
        {"drawn tiles and the passability layer both count",
         true,
         DECLARING_TILES,
         layer("Passability", "4,3,1,2") + layer("Floor", "3,4,0,1"),
         {"U", "U", "URDL", ""}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MapFolder folder;
        std::string tileset = embeddedTileset(c.tiles);
        if (c.external)
        {
            folder.write("t.tsx", tsxFile(c.tiles));
            tileset = "<tileset firstgid=\"1\" source=\"t.tsx\"/>\n";
        }
        ErrorCapture errors;
        std::unique_ptr<LevelMap> level(
            LevelMapLoader::loadLevelMap(folder.write("m.tmx", mapFile(tileset, c.layers))));
        ASSERT_TRUE(level) << errors.text();
        EXPECT_EQ(errors.text(), "");
        ASSERT_NE(level->getPassabilityMap(), nullptr);
        for (int column = 0; column < 4; ++column)
            EXPECT_EQ(openSides(*level->getPassabilityMap(), column), c.expected[column]) << "column " << column;
    }
}

TEST(TilePassability, ATilesetWithoutPropertiesAddsNoPassabilityGrid)
{
    MapFolder folder;
    std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(
        folder.write("m.tmx", mapFile(embeddedTileset(""), layer("Floor", "583,522,0,1")))));
    ASSERT_TRUE(level);
    EXPECT_EQ(level->getPassabilityMap(), nullptr);
}

TEST(TilePassability, BadValuesAreRefusedNamingTheFileAndTheTile)
{
    struct Case
    {
        std::string tiles;
        bool external;
        std::string expected;
    };
    const Case cases[] = {
        {passTile(7, "UX"), false, "tile 7: property pass=\"UX\" holds a letter other than U, R, D, L"},
        {passTile(0, "URDL") + passTile(12, "north"), true,
         "in the tileset file t.tsx: tile 12: property pass=\"north\" holds a letter other than U, R, D, L"},
        {passTile(3, "U D"), false, "tile 3: property pass=\"U D\" holds a letter other than U, R, D, L"},
        {passTile(5, "true", "bool"), true,
         "in the tileset file t.tsx: tile 5: property pass is of type bool, not a string of the open sides"},
        {passTile(9, "1", "int"), false, "tile 9: property pass is of type int"},
        {"<tile id=\"x\"><properties><property name=\"pass\" value=\"U\"/></properties></tile>", false,
         "attribute id=\"x\""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.tiles);
        MapFolder folder;
        std::string tileset = embeddedTileset(c.tiles);
        if (c.external)
        {
            folder.write("t.tsx", tsxFile(c.tiles));
            tileset = "<tileset firstgid=\"1\" source=\"t.tsx\"/>\n";
        }
        const std::string path = folder.write("m.tmx", mapFile(tileset, layer("Floor", "1,1,1,1")));
        ErrorCapture errors;
        EXPECT_EQ(LevelMapLoader::loadLevelMap(path), nullptr);
        EXPECT_EQ(errors.lines(), 1);
        EXPECT_TRUE(errors.contains("Unable to load map " + path + ": ")) << errors.text();
        EXPECT_TRUE(errors.contains(c.expected)) << errors.text();
    }
}

TEST(TilePassability, FlipsTurnSidesAsTheEditorTurnsThePicture)
{
    int open = 0;
    ASSERT_TRUE(TilePassability::parseSides("U", open));
    // Turned a quarter clockwise, the editor sets the diagonal and the
    // horizontal flip: what faced north faces east.
    EXPECT_EQ(TilePassability::flipped(open, true, false, true), 4);
    // A quarter anticlockwise: diagonal and vertical; north goes west.
    EXPECT_EQ(TilePassability::flipped(open, false, true, true), 1);
    // Half a turn: both flips; north goes south.
    EXPECT_EQ(TilePassability::flipped(open, true, true, false), 2);
    EXPECT_EQ(TilePassability::flipped(TilePassability::ALL_OPEN, true, true, true), TilePassability::ALL_OPEN);
    EXPECT_FALSE(TilePassability::parseSides("URDLX", open));
}
