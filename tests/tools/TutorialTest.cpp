// The guide's tutorial game: every file it is built from is quoted whole in
// docs/making-a-game.md, the game built from them passes zolt-check, and
// each step a reader could get wrong is named by the checker.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ToolTestSupport.h"
#include "support/TutorialGame.h"

namespace fs = std::filesystem;

namespace
{
const std::string GUIDE = std::string(ZOLT_SOURCE_DIR) + "/docs/making-a-game.md";
const fs::path CHECKER = fs::path(ZOLT_BINARY_DIR) / "zolt-check";

// One way to get a step of the tutorial wrong: a file taken away, or one
// text of a file replaced; the checker must name `named`.
struct Mistake
{
    const char* what;
    const char* file;
    const char* from; // nullptr: the file is removed
    const char* to;
    const char* named;
};

const Mistake MISTAKES[] = {
    {"the tileset picture was not copied", "assets/maps/tiles.png", nullptr, nullptr, "tiles.png"},
    {"the sage's character file is missing", "assets/characters/sage.xml", nullptr, nullptr, "sage.xml"},
    {"the door leads to a scene of another name", "assets/maps/yard.tmx", "value=\"cellar\"", "value=\"celler\"",
     "yard.tmx"},
    {"the sage stands in a tree", "assets/scenes/yard.xml", "row=\"3\" col=\"3\"", "row=\"0\" col=\"0\"", "yard.xml"},
    {"the door script does not compile", "assets/scripts/door.lua", "tonumber(targetRow)", "tonumber(targetRow",
     "door.lua"},
    {"the start-up script enters a scene that does not exist", "assets/scripts/start.lua", "\"yard\"", "\"yards\"",
     "start.lua"},
    {"the map names a tileset file that is not there", "assets/maps/cellar.tmx", "source=\"tiles.tsx\"",
     "source=\"tile.tsx\"", "cellar.tmx"},
};

tooltest::CommandResult check(const std::string& folder)
{
    return tooltest::runCommand(CHECKER.string() + " '" + folder + "'", true);
}
}

TEST(Tutorial, TheGuideQuotesWholeEveryFileTheGameIsBuiltFrom)
{
    const std::string guide = tooltest::readText(GUIDE);
    const std::vector<std::string> files = testsupport::tutorialFiles();
    ASSERT_GE(files.size(), 15u) << "docs/tutorial holds the tutorial's files";
    for (const std::string& file : files)
    {
        const std::string text = tooltest::readText(std::string(ZOLT_SOURCE_DIR) + "/docs/tutorial/" + file);
        ASSERT_FALSE(text.empty()) << file;
        EXPECT_NE(guide.find("`docs/tutorial/" + file + "`:"), std::string::npos) << file << " is not named";
        EXPECT_NE(guide.find("\n" + text + "```"), std::string::npos)
            << file << " is not quoted as it is: the guide is stale";
    }
}

TEST(Tutorial, ItsGameBuiltAsTheGuideSaysPassesTheChecker)
{
    testsupport::ScratchFolder scratch("zolt-tutorial");
    ASSERT_FALSE(scratch.path().empty());
    const std::string game = scratch.path() + "/mygame";
    std::string problem;
    ASSERT_TRUE(testsupport::buildTutorialGame(game, problem)) << problem;
    const tooltest::CommandResult run = check(game);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.status, 0);
}

TEST(Tutorial, EachMistakeOfAStepIsNamedByTheChecker)
{
    for (const Mistake& mistake : MISTAKES)
    {
        SCOPED_TRACE(mistake.what);
        testsupport::ScratchFolder scratch("zolt-tutorial");
        ASSERT_FALSE(scratch.path().empty());
        const std::string game = scratch.path() + "/mygame";
        std::string problem;
        ASSERT_TRUE(testsupport::buildTutorialGame(game, problem)) << problem;
        const std::string path = game + "/" + mistake.file;
        if (!mistake.from)
        {
            ASSERT_TRUE(fs::remove(path));
        }
        else
        {
            std::string text = tooltest::readText(path);
            const size_t at = text.find(mistake.from);
            ASSERT_NE(at, std::string::npos) << mistake.file << " no longer holds " << mistake.from;
            text.replace(at, std::string(mistake.from).size(), mistake.to);
            testsupport::writeText(path, text);
        }
        const tooltest::CommandResult run = check(game);
        EXPECT_EQ(run.status, 1) << run.out;
        EXPECT_NE(run.out.find(mistake.named), std::string::npos) << run.out;
    }
}
