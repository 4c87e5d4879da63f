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

namespace fs = std::filesystem;

namespace
{
const std::string SAVED = "Screenshot saved to ";
const std::string NOT_SAVED = "Screenshot not saved: ";

std::vector<std::string> linesWith(const std::vector<std::string>& lines, const std::string& text)
{
    std::vector<std::string> found;
    for (const std::string& line : lines)
        if (line.find(text) != std::string::npos)
            found.push_back(line);
    return found;
}

// Pixels that differ in any channel; every pixel when the sizes differ.
long differingPixels(const GameProcess::Image& a, const GameProcess::Image& b)
{
    if (a.width != b.width || a.height != b.height || a.rgb.size() != b.rgb.size())
        return static_cast<long>(a.width) * a.height;
    long count = 0;
    for (std::size_t i = 0; i + 2 < a.rgb.size(); i += 3)
        count += (a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2]) ? 1 : 0;
    return count;
}

}

class ScreenshotKey : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_FALSE(scratch.path().empty());
    }

    // Holds F12 for exactly the frames that see it go down, then waits
    // until the game has said `count` times where a picture went or why not.
    bool pressF12Until(const std::string& text, std::size_t count)
    {
        if (!game.keyDown("F12") || !console.frames(2) || !game.keyUp("F12"))
            return false;
        return console.framesUntil([&] { return linesWith(game.outputLines(), text).size() >= count; }, 30);
    }

    // First, so that it goes last, once the game has stopped.
    testsupport::ScratchFolder scratch{"zolt-e2e-shots"};
    GameProcess game;
    GameConsole console{game};
};

TEST_F(ScreenshotKey, F12KeepsTheWindowsPictureInTheGamesDataFolderUnderNewNames)
{
    EnvironmentValue data("XDG_DATA_HOME", scratch.path().c_str());
    EnvironmentValue pictures("XDG_PICTURES_DIR", nullptr);
    ASSERT_TRUE(startGame(game));
    ASSERT_TRUE(console.open());

    // The frame that sees the press draws, keeps and shows the picture; the
    // next one waits for a console line before it draws (the notice among
    // it), so the window goes on showing exactly the picture kept.
    ASSERT_TRUE(game.keyDown("F12"));
    ASSERT_TRUE(console.frames(2));
    ASSERT_TRUE(game.keyUp("F12"));
    ASSERT_TRUE(game.waitForOutput(SAVED, GameConsole::WAIT_MS));
    const std::vector<std::string> first = linesWith(game.outputLines(), SAVED);
    ASSERT_EQ(first.size(), 1u);
    const std::string path = first[0].substr(first[0].find(SAVED) + SAVED.size());
    const std::string folder = scratch.path() + "/zolt/zolt-demo/screenshots/";
    EXPECT_EQ(path.rfind(folder, 0), 0u) << path;
    EXPECT_EQ(fs::path(path).extension(), ".png");

    GameProcess::Image kept;
    ASSERT_TRUE(GameProcess::readImage(path, kept)) << path;
    EXPECT_EQ(kept.width, 640);
    EXPECT_EQ(kept.height, 480);
    GameProcess::Image shown;
    long differing = -1;
    EXPECT_TRUE(gamescreen::waitForScreen(
        game,
        [&](const GameProcess::Image& image)
        {
            differing = differingPixels(image, kept);
            return differing == 0;
        },
        shown))
        << "the picture holds exactly what the window shows; " << differing << " pixels differ";

    // A second press on the same map never overwrites the first picture.
    ASSERT_TRUE(pressF12Until(SAVED, 2));
    const std::vector<std::string> both = linesWith(game.outputLines(), SAVED);
    ASSERT_EQ(both.size(), 2u);
    const std::string second = both[1].substr(both[1].find(SAVED) + SAVED.size());
    EXPECT_NE(second, path);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(fs::exists(second));
    EXPECT_EQ(console.ask("'still ' .. 'running'"), "still running");
    console.close();
    game.kill();
}

TEST_F(ScreenshotKey, AFolderThatCannotBeMadeIsReportedAndTheGamePlaysOn)
{
    const std::string blocker = scratch.path() + "/not-a-folder";
    testsupport::writeText(blocker, "a file");
    const std::string wanted = blocker + "/Pictures";
    EnvironmentValue data("XDG_DATA_HOME", scratch.path().c_str());
    EnvironmentValue pictures("XDG_PICTURES_DIR", wanted.c_str());
    ASSERT_TRUE(startGame(game));
    ASSERT_TRUE(console.open());

    ASSERT_TRUE(pressF12Until(NOT_SAVED, 1));
    const std::vector<std::string> said = linesWith(game.outputLines(), NOT_SAVED);
    ASSERT_FALSE(said.empty());
    EXPECT_NE(said[0].find("cannot create " + wanted), std::string::npos) << said[0];
    EXPECT_FALSE(linesWith(game.errorLines(), NOT_SAVED).empty()) << "the failure reaches standard error too";
    EXPECT_TRUE(linesWith(game.outputLines(), SAVED).empty());
    EXPECT_EQ(console.ask("'still ' .. 'running'"), "still running");
    console.close();
    game.kill();
}
