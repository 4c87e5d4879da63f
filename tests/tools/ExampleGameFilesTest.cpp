// The example game of examples/lantern as files: what its generator writes
// is what is committed, every file its manifest names is there, its pictures
// have the shapes the engine reads, and zolt-check finds it clean from its
// folder and from the zip the build packs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "ToolTestSupport.h"

namespace fs = std::filesystem;

namespace
{
const fs::path GAME = fs::path(ZOLT_SOURCE_DIR) / "examples" / "lantern";
const fs::path ZIP = fs::path(ZOLT_BINARY_DIR) / "zolt-lantern.zip";
const fs::path CHECKER = fs::path(ZOLT_BINARY_DIR) / "zolt-check";

// Width and height of a PNG file from its header; false when it is none.
bool pngSize(const fs::path& path, int& width, int& height)
{
    const std::string bytes = tooltest::readText(path.string());
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0)
        return false;
    auto big = [&](size_t at)
    {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    width = big(16);
    height = big(20);
    return true;
}

// The `file` attribute of every element of the manifest that has one.
std::vector<std::string> manifestFiles()
{
    std::vector<std::string> files;
    tinyxml2::XMLDocument manifest;
    if (manifest.LoadFile((GAME / "game.xml").c_str()) != tinyxml2::XML_SUCCESS)
        return files;
    for (const tinyxml2::XMLElement* e = manifest.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement())
        if (const char* file = e->Attribute("file"))
            files.push_back(file);
    return files;
}
}

TEST(ExampleGameFiles, TheGeneratorWritesExactlyWhatIsCommitted)
{
    testsupport::ScratchFolder scratch("zolt-lantern");
    ASSERT_FALSE(scratch.path().empty());
    const tooltest::CommandResult run = tooltest::runCommand(
        "python3 '" ZOLT_SOURCE_DIR "/tools/assets/example_game.py' --no-sound --out '" + scratch.path() + "'", true);
    ASSERT_EQ(run.status, 0) << run.out;
    int compared = 0;
    for (const auto& entry : fs::recursive_directory_iterator(scratch.path()))
    {
        if (!entry.is_regular_file())
            continue;
        const fs::path relative = fs::relative(entry.path(), scratch.path());
        EXPECT_EQ(tooltest::readText(entry.path().string()), tooltest::readText((GAME / relative).string()))
            << relative << " differs from the generator's output: run tools/assets/example_game.py";
        ++compared;
    }
    EXPECT_EQ(compared, 9) << "a tileset picture, its .tsx, three maps and four sheets";
}

TEST(ExampleGameFiles, EveryFileTheManifestNamesIsThereInTheShapeTheEngineReads)
{
    const std::vector<std::string> files = manifestFiles();
    ASSERT_GE(files.size(), 20u) << "game.xml names the game's files";
    for (const std::string& file : files)
    {
        SCOPED_TRACE(file);
        ASSERT_TRUE(fs::is_regular_file(GAME / file));
        const fs::path path = GAME / file;
        if (path.extension() == ".ogg")
        {
            EXPECT_EQ(tooltest::readText(path.string()).compare(0, 4, "OggS"), 0);
            EXPECT_LT(fs::file_size(path), 64u * 1024u) << "sounds stay small";
        }
        int width = 0;
        int height = 0;
        if (path.extension() == ".png")
        {
            ASSERT_TRUE(pngSize(path, width, height));
            if (path.parent_path().filename() == "sprites")
            {
                // Four 16 x 16 frames a row, one row a facing.
                EXPECT_EQ(width, 64);
                EXPECT_EQ(height, 64);
            }
            EXPECT_EQ(width % 16, 0);
            EXPECT_EQ(height % 16, 0);
        }
    }
}

TEST(ExampleGameFiles, TheCheckerFindsTheGameCleanFromItsFolderAndItsZip)
{
    for (const fs::path& game : {GAME, ZIP})
    {
        SCOPED_TRACE(game.string());
        ASSERT_TRUE(fs::exists(game)) << "the build's zolt-lantern-zip target packs the zip";
        const tooltest::CommandResult run = tooltest::runCommand(CHECKER.string() + " '" + game.string() + "'", true);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.status, 0);
    }
}
