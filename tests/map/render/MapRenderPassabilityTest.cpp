// zolt-maprender as a maker uses it to see why the avatar stops somewhere
// (--passability) and to preview a map inside a game, zipped or not
// (--game). The map's tileset says with `pass` properties: cell (0, 2) is
// closed on its left, cell (1, 2) on its top, cell (1, 0) on every side, the
// rest open all round; every tile is the same grey.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <stb_image.h>

#include "support/Commands.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace
{
const std::string GAME = "tests/map/data/passgame";
const std::string INSIDE = "assets/maps/walls.tmx";
const int COLUMNS = 4;
const int ROWS = 2;

// Off-screen, as a build job without a display runs it; with standard error.
testsupport::CommandResult runTool(const std::string& arguments)
{
    return testsupport::runCommand("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(ZOLT_BINARY_DIR) +
                                   "/zolt-maprender " + arguments + " 2>&1");
}

struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;

    const unsigned char* at(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    bool same(const Picture& other, int x, int y) const { return std::equal(at(x, y), at(x, y) + 4, other.at(x, y)); }
};

Picture readPicture(const std::string& path)
{
    Picture picture;
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> data(
        stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 4), stbi_image_free);
    if (data)
        picture.rgba.assign(data.get(), data.get() + static_cast<std::size_t>(picture.width) * picture.height * 4);
    return picture;
}

Picture drawn(const std::string& arguments, const std::string& out)
{
    const testsupport::CommandResult result = runTool(arguments + " " + out);
    EXPECT_EQ(result.status, 0) << arguments << "\n" << result.out;
    return readPicture(out);
}

bool isWallLine(const unsigned char* p)
{
    return p[0] > 200 && p[1] > 200 && p[2] < 60 && p[3] == 255;
}

enum class Cell
{
    Open,
    LeftClosed,
    TopClosed,
    Closed
};

bool packZip(const std::string& folder, const std::string& zip)
{
    return testsupport::runCommand("cd '" + folder + "' && cmake -E tar cf '" + zip + "' --format=zip assets").status ==
               0 &&
           fs::exists(zip);
}
}

TEST(MapRenderPassability, ClosedSidesShowWhereTheTilesetClosesThemAndNowhereElse)
{
    testsupport::ScratchFolder scratch("zolt-passability");
    const std::string map = GAME + "/" + INSIDE;
    const Picture plain = drawn(map, scratch.path() + "/plain.png");
    const Picture walls = drawn("--passability " + map, scratch.path() + "/walls.png");
    ASSERT_EQ(plain.width, COLUMNS * 32) << "tiles at twice their file size";
    ASSERT_EQ(walls.width, plain.width);
    ASSERT_EQ(plain.height, ROWS * 32);
    ASSERT_EQ(walls.height, plain.height);
    const int cell = plain.width / COLUMNS;
    const int band = cell / 8;

    const struct
    {
        int row;
        int column;
        Cell kind;
    } cells[] = {{0, 0, Cell::Open},   {0, 1, Cell::Open}, {0, 2, Cell::LeftClosed}, {0, 3, Cell::Open},
                 {1, 0, Cell::Closed}, {1, 1, Cell::Open}, {1, 2, Cell::TopClosed},  {1, 3, Cell::Open}};
    for (const auto& c : cells)
    {
        SCOPED_TRACE("cell (" + std::to_string(c.row) + ", " + std::to_string(c.column) + ")");
        const int left = c.column * cell;
        const int top = c.row * cell;
        const int middle = cell / 2;
        EXPECT_EQ(plain.at(left + middle, top + middle)[3], 255) << "the map itself is drawn";
        switch (c.kind)
        {
        case Cell::Open:
            for (int y = top; y < top + cell; ++y)
                for (int x = left; x < left + cell; ++x)
                    ASSERT_TRUE(walls.same(plain, x, y))
                        << "an open cell is left as the map shows it, at " << x << ", " << y;
            break;
        case Cell::LeftClosed:
            for (int y = top + band; y < top + cell - band; ++y)
            {
                EXPECT_TRUE(isWallLine(walls.at(left, y))) << "the closed left side at y " << y;
                EXPECT_TRUE(isWallLine(walls.at(left + band - 1, y)));
                EXPECT_TRUE(walls.same(plain, left + band + 1, y)) << "the band stays at the side";
            }
            EXPECT_TRUE(walls.same(plain, left + middle, top)) << "the open top has no line";
            EXPECT_TRUE(walls.same(plain, left + cell - 1, top + middle)) << "the open right side has no line";
            break;
        case Cell::TopClosed:
            for (int x = left + band; x < left + cell - band; ++x)
            {
                EXPECT_TRUE(isWallLine(walls.at(x, top))) << "the closed top at x " << x;
                EXPECT_TRUE(walls.same(plain, x, top + band + 1));
            }
            EXPECT_TRUE(walls.same(plain, left, top + middle)) << "the open left side has no line";
            EXPECT_TRUE(walls.same(plain, left + middle, top + cell - 1)) << "the open bottom has no line";
            break;
        case Cell::Closed:
        {
            const unsigned char* before = plain.at(left + middle, top + middle);
            const unsigned char* after = walls.at(left + middle, top + middle);
            EXPECT_GT(after[0], before[0] + 20) << "a closed cell is shaded red";
            EXPECT_LT(after[1] + 20, before[1]);
            EXPECT_FALSE(isWallLine(after)) << "shaded, not painted over";
            EXPECT_EQ(std::vector<unsigned char>(after, after + 4),
                      std::vector<unsigned char>(walls.at(left + 1, top + 1), walls.at(left + 1, top + 1) + 4))
                << "the whole cell is shaded alike";
            break;
        }
        }
    }
}

TEST(MapRenderPassability, AGameDrawsTheSameFromItsFolderFromItsZipAndAsAFile)
{
    testsupport::ScratchFolder scratch("zolt-passability");
    const std::string zip = scratch.path() + "/walls.zip";
    ASSERT_TRUE(packZip(fs::absolute(GAME).string(), zip));
    const Picture file = drawn("--passability " + GAME + "/" + INSIDE, scratch.path() + "/file.png");
    const Picture folder = drawn("--passability --game " + GAME + " " + INSIDE, scratch.path() + "/folder.png");
    const Picture zipped = drawn("--game " + zip + " " + INSIDE + " --passability", scratch.path() + "/zip.png");
    ASSERT_GT(file.width, 0);
    EXPECT_EQ(folder.width, file.width);
    EXPECT_EQ(zipped.width, file.width);
    EXPECT_TRUE(folder.rgba == file.rgba) << "the folder's picture differs from the file's";
    EXPECT_TRUE(zipped.rgba == folder.rgba) << "the zip's picture differs from the folder's";
    bool anyWall = false;
    for (std::size_t at = 0; at + 4 <= zipped.rgba.size(); at += 4)
        anyWall = anyWall || isWallLine(&zipped.rgba[at]);
    EXPECT_TRUE(anyWall) << "the zipped game's tileset closes sides too";
}

TEST(MapRenderPassability, BadOptionsFailWithAClearLineAndWriteNothing)
{
    testsupport::ScratchFolder scratch("zolt-passability");
    const std::string empty = scratch.path() + "/empty";
    fs::create_directories(empty);
    const std::string broken = scratch.path() + "/broken.zip";
    std::ofstream(broken) << "not an archive";
    const std::string out = scratch.path() + "/never.png";
    const std::string map = GAME + "/" + INSIDE;

    const struct
    {
        std::string arguments;
        std::string said;
    } cases[] = {
        {map + " " + out + " --game", "zolt-maprender: --game needs an argument"},
        {"--passability --bogus " + map + " " + out, "zolt-maprender: unknown option --bogus"},
        {"--passability " + map, "zolt-maprender: expected MAP and OUT.png, got 1"},
        {"--game " + scratch.path() + "/nothing " + INSIDE + " " + out, "/nothing: no such game folder or .zip"},
        {"--game " + empty + " " + INSIDE + " " + out, "/empty holds no game"},
        {"--game " + broken + " " + INSIDE + " " + out, "broken.zip"},
        {"--game " + GAME + " assets/maps/missing.tmx " + out, "cannot load the map assets/maps/missing.tmx"},
        {"--game " + GAME + " ../render/flips.tmx " + out, "cannot load the map ../render/flips.tmx"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        const testsupport::CommandResult result = runTool(c.arguments);
        EXPECT_NE(result.status, 0) << result.out;
        EXPECT_NE(result.out.find(c.said), std::string::npos) << result.out;
        EXPECT_EQ(result.out.find("wrote"), std::string::npos) << result.out;
        EXPECT_FALSE(fs::exists(out));
    }

    const testsupport::CommandResult help = runTool("--help");
    EXPECT_EQ(help.status, 0) << help.out;
    EXPECT_NE(help.out.find("--passability"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("--game DIR|GAME.zip"), std::string::npos) << help.out;
}

TEST(MapRenderPassability, AGamesManifestIsReadAndItsProblemsSaidWhileTheMapStillDraws)
{
    testsupport::ScratchFolder scratch("zolt-passability");
    const fs::path game = fs::path(scratch.path()) / "game";
    fs::create_directories(game);
    fs::copy(fs::path(GAME) / "assets", game / "assets", fs::copy_options::recursive);
    std::ofstream(game / "game.xml") << "<game id=\"walls\" title=\"Walls\" width=\"640\" height=\"99999\">\n"
                                        "  <start script=\"start.lua\"/>\n"
                                        "  <avatar id=\"hero\"/>\n"
                                        "</game>\n";
    const std::string out = scratch.path() + "/walls.png";
    const testsupport::CommandResult result = runTool("--game " + game.string() + " " + INSIDE + " " + out);
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_NE(result.out.find("zolt-maprender: warning: game.xml:1:"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("height"), std::string::npos) << "the fault is named: " << result.out;
    EXPECT_EQ(readPicture(out).width, COLUMNS * 32);

    // A manifest without faults brings no warning.
    std::ofstream(game / "game.xml") << "<game id=\"walls\" title=\"Walls\" width=\"640\" height=\"480\">\n"
                                        "  <start script=\"start.lua\"/>\n"
                                        "  <session file=\"assets/session.xml\"/>\n"
                                        "  <avatar id=\"hero\"/>\n"
                                        "</game>\n";
    const testsupport::CommandResult clean = runTool("--game " + game.string() + " " + INSIDE + " " + out);
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_EQ(clean.out.find("warning"), std::string::npos) << clean.out;
}
