// `cmake --install` into a scratch prefix: the programs land in bin/, the
// game's data in share/zolt/, and the installed programs find that data from
// any working directory, beside themselves or through XDG_DATA_DIRS.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ToolTestSupport.h"

namespace fs = std::filesystem;

namespace
{
using Outcome = tooltest::CommandResult;

Outcome run(const std::string& command)
{
    return tooltest::runCommand(command, true);
}

class Installed : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new testsupport::ScratchFolder("zolt-install");
        if (folder->path().empty())
            return;
        prefix = new fs::path(folder->path());
        installLog =
            new Outcome(run("cmake --install " + std::string(ZOLT_BINARY_DIR) + " --prefix " + folder->path()));
    }
    static void TearDownTestSuite()
    {
        delete prefix;
        delete installLog;
        delete folder;
        prefix = nullptr;
        installLog = nullptr;
        folder = nullptr;
    }
    void SetUp() override
    {
        ASSERT_NE(prefix, nullptr);
        ASSERT_EQ(installLog->status, 0) << installLog->out;
    }

    static testsupport::ScratchFolder* folder;
    static fs::path* prefix;
    static Outcome* installLog;
};

testsupport::ScratchFolder* Installed::folder = nullptr;

fs::path* Installed::prefix = nullptr;
Outcome* Installed::installLog = nullptr;
}

TEST_F(Installed, ProgramsGoToBinAndTheGameToShareZolt)
{
    for (const char* program : {"zolt", "zolt-check", "zolt-maprender"})
        EXPECT_TRUE(fs::is_regular_file(*prefix / "bin" / program)) << program;
    for (const char* data : {"assets/session.xml", "assets/shaders/shaders150", "assets/fonts/FreeSans.ttf",
                             "assets/maps/region1/tileset.png", "assets/scripts/demoStartup.lua"})
        EXPECT_TRUE(fs::exists(*prefix / "share" / "zolt" / data)) << data;
}

TEST_F(Installed, TheCheckerFindsTheInstalledGameFromAnywhere)
{
    const Outcome outcome = run("cd / && " + (*prefix / "bin" / "zolt-check").string());
    EXPECT_EQ(outcome.status, 0) << outcome.out;
    EXPECT_EQ(outcome.out, "");
}

TEST_F(Installed, AProgramAwayFromItsDataFindsItThroughXdgDataDirs)
{
    // Not beside a share/zolt of its own.
    const fs::path elsewhere = *prefix / "away" / "bin";
    fs::create_directories(elsewhere);
    fs::copy_file(*prefix / "bin" / "zolt-check", elsewhere / "zolt-check");
    const std::string checker = (elsewhere / "zolt-check").string();

    Outcome found = run("cd / && XDG_DATA_DIRS=/nonexistent:" + (*prefix / "share").string() + " " + checker);
    EXPECT_EQ(found.status, 0) << found.out;

    if (fs::exists("/usr/local/share/zolt/assets/session.xml") || fs::exists("/usr/share/zolt/assets/session.xml"))
        GTEST_SKIP() << "a copy installed on this machine would be found as well";
    Outcome lost = run("cd / && XDG_DATA_DIRS=/nonexistent " + checker);
    EXPECT_EQ(lost.status, 2) << lost.out;
    EXPECT_NE(lost.out.find("holds no game"), std::string::npos) << lost.out;
}

TEST_F(Installed, TheGameNamesAFolderThatHoldsNoGame)
{
    const std::string game = (*prefix / "bin" / "zolt").string();
    Outcome help = run(game + " --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: zolt [GAME_FOLDER]"), std::string::npos) << help.out;
    EXPECT_NE(help.out.find("zolt --unsafe-console [GAME_FOLDER"), std::string::npos) << help.out;
    Outcome missing = run(game + " /nonexistent/game");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("zolt: /nonexistent/game holds no game"), std::string::npos) << missing.out;
    Outcome fromEnvironment = run("ZOLT_GAME_DIR=/nonexistent/other " + game);
    EXPECT_EQ(fromEnvironment.status, 2);
    EXPECT_NE(fromEnvironment.out.find("/nonexistent/other holds no game"), std::string::npos) << fromEnvironment.out;
}
