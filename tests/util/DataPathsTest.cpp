#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/Files.h"
#include "util/DataPaths.h"

namespace fs = std::filesystem;

// Which folders hold a game, and which game a request names.
TEST(DataPathsGames, AGameIsAManifestOrAnAssetFolderOrAnArchive)
{
    testsupport::ScratchFolder scratch("zolt-datapaths");
    ASSERT_FALSE(scratch.path().empty());
    const fs::path root = scratch.path();
    fs::create_directories(root / "manifest");
    testsupport::writeText((root / "manifest" / "game.xml").string(), "<game id=\"x\"/>");
    fs::create_directories(root / "older" / "assets");
    fs::create_directories(root / "empty");
    fs::create_directories(root / "manifestIsAFolder" / "game.xml");
    fs::create_directories(root / "assetsIsAFile");
    testsupport::writeText((root / "assetsIsAFile" / "assets").string(), "not a folder");
    testsupport::writeText((root / "game.zip").string(), "PK");

    const struct
    {
        std::string requested;
        bool holdsGame;
        bool found;
    } cases[] = {
        {(root / "manifest").string(), true, true},        {(root / "older").string(), true, true},
        {(root / "empty").string(), false, false},         {(root / "manifestIsAFolder").string(), false, false},
        {(root / "assetsIsAFile").string(), false, false}, {(root / "game.zip").string(), false, true},
        {(root / "nowhere").string(), false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.requested);
        EXPECT_EQ(DataPaths::holdsGame(c.requested), c.holdsGame);
        EXPECT_EQ(DataPaths::findGameRoot(c.requested, ""), c.found ? c.requested : "");
    }
    EXPECT_TRUE(DataPaths::isGameFile((root / "game.zip").string()));
    EXPECT_FALSE(DataPaths::isGameFile((root / "older").string()));
}

TEST(DataPathsGames, TheEngineDataOfABuildIsItsCheckout)
{
    const std::string program = std::string(ZOLT_BINARY_DIR) + "/zolt";
    ASSERT_TRUE(DataPaths::runsFromBuildFolder(program));
    const std::string engine = DataPaths::engineDataDirectory(program);
    EXPECT_TRUE(fs::is_directory(fs::path(engine) / "assets" / "shaders")) << engine;
    EXPECT_TRUE(fs::equivalent(engine, ZOLT_SOURCE_DIR));
}
