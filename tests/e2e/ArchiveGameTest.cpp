#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "GameConsole.h"
#include "EnvironmentValue.h"
#include "GameProcess.h"
#include "GameScreen.h"
#include "support/Files.h"

// The demo packed by the build into one .zip plays as it does from its
// folder, run from a working directory of its own: the first scene draws,
// the avatar walks, a quick save goes to the player's data folder, and
// nothing is written inside or beside the archive.
namespace fs = std::filesystem;

namespace
{
const std::string DEMO_ZIP = ZOLT_BINARY_DIR "/zolt-demo.zip";

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    return names;
}


class ArchiveGame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_FALSE(scratch.path().empty());
        ASSERT_TRUE(fs::exists(DEMO_ZIP)) << "the build packs the demo into " << DEMO_ZIP;
        const fs::path root = scratch.path();
        shelf = root / "shelf";
        work = root / "work";
        data = root / "data";
        fs::create_directories(shelf);
        fs::create_directories(work);
        zip = shelf / "demo.zip";
        fs::copy_file(DEMO_ZIP, zip);
    }

    testsupport::ScratchFolder scratch{"zolt-e2e-zip"};
    fs::path shelf; // holds the archive and nothing else
    fs::path work;  // the game's working directory
    fs::path data;  // the player's data folder
    fs::path zip;
};
}

TEST_F(ArchiveGame, TheZippedDemoPlaysAndSavesOutsideTheArchive)
{
    EnvironmentValue dataHome("XDG_DATA_HOME", data.string());
    EnvironmentValue stateHome("XDG_STATE_HOME", (scratch.path() + "/state"));
    const std::string before = testsupport::readText(zip.string());
    {
        GameProcess game(ZOLT_BINARY_DIR "/zolt", work.string(), {zip.string()});
        ASSERT_TRUE(startGame(game));

        GameProcess::Image shot;
        ASSERT_TRUE(game.capture(shot));
        const GameProcess::Color corner = shot.at(600, 60);
        EXPECT_GT(corner.r + corner.g + corner.b, 60) << "the map is drawn";
        const gamescreen::Mean centre = gamescreen::regionMean(shot, 300, 220, 340, 260);
        EXPECT_GT(centre.r + centre.g + centre.b, 60.0) << "the avatar's tile is drawn";

        GameConsole console(game);
        ASSERT_TRUE(console.open());
        int row = -1;
        int col = -1;
        ASSERT_TRUE(console.avatarTile(row, col));
        EXPECT_EQ(console.sceneIds(), (std::vector<std::string>{"brune", "fenwy", "rusty"}))
            << "the first scene's residents, read from the archive";
        ASSERT_TRUE(console.tap("d"));
        int walkedRow = -1;
        int walkedCol = -1;
        ASSERT_TRUE(console.avatarTile(walkedRow, walkedCol));
        EXPECT_EQ(walkedRow, row);
        EXPECT_EQ(walkedCol, col + 1) << "the avatar walks a step";

        ASSERT_TRUE(console.tap("F5"));
        std::string line;
        ASSERT_TRUE(game.waitForOutput("Saved quick to " + data.string() + "/", GameConsole::WAIT_MS, &line));
        const std::string saved = line.substr(line.find(data.string()));
        EXPECT_TRUE(fs::is_regular_file(saved)) << saved;
        console.close();
        EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
        for (const std::string& error : game.errorLines())
            EXPECT_EQ(error.find(zip.string()), std::string::npos) << "no complaint about the archive: " << error;
    }
    EXPECT_EQ(namesIn(shelf), (std::vector<std::string>{"demo.zip"})) << "nothing written beside the archive";
    EXPECT_TRUE(testsupport::readText(zip.string()) == before) << "the archive is left as it was";
}

TEST_F(ArchiveGame, AnArchiveThatHoldsNoPlayableGameIsRefusedByName)
{
    const fs::path empty = work / "notes";
    fs::create_directories(empty);
    testsupport::writeText((empty / "readme.txt").string(), "no game here");
    ASSERT_EQ(GameProcess::runCommand("cd '" + work.string() + "' && cmake -E tar cf '" +
                                      (shelf / "nogame.zip").string() + "' --format=zip notes"),
              0);
    testsupport::writeText((shelf / "garbage.zip").string(), "not an archive, only words");
    const std::string cut = testsupport::readText(zip.string());
    testsupport::writeText((shelf / "cut.zip").string(), cut.substr(0, cut.size() / 3));
    const struct
    {
        std::string archive;
        std::string problem;
    } cases[] = {
        {(shelf / "garbage.zip").string(), "cannot be read as a .zip archive"},
        {(shelf / "cut.zip").string(), "cannot be read as a .zip archive"},
        {(shelf / "nogame.zip").string(), "holds no game (no game.xml or assets folder"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.archive);
        GameProcess game(ZOLT_BINARY_DIR "/zolt", work.string(), {c.archive});
        ASSERT_TRUE(game.start());
        EXPECT_EQ(game.waitForExit(GameConsole::WAIT_MS), 2);
        bool named = false;
        for (const std::string& line : game.errorLines())
            named = named || line.find("zolt: " + c.archive + " " + c.problem) != std::string::npos;
        EXPECT_TRUE(named) << "standard error names the archive and what is wrong";
        bool logged = false;
        for (const std::string& line : game.outputLines())
            logged = logged || line.find(c.archive + " " + c.problem) != std::string::npos;
        EXPECT_TRUE(logged) << "and so does the log";
    }
}
