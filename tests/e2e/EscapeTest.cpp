#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "GameProcess.h"
#include "support/Files.h"

namespace
{
// The real game, started from the repository root with its window found and
// focused before each test begins.
class RunningGame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_TRUE(_game.launch("OpenGL", 640, 480)) << "no 640 x 480 window titled OpenGL";
    }

    GameProcess _game;
};
}

TEST_F(RunningGame, EscapeClosesTheWindowAndTheGameExitsWithStatusOne)
{
    EXPECT_TRUE(_game.waitForOutput("init", 5000)) << "start-up announces itself on standard output";

    // Pointer traffic must not disturb the game or consume Escape.
    EXPECT_TRUE(_game.click(320, 240));
    EXPECT_TRUE(_game.isRunning());

    EXPECT_EQ(_game.quitWithEscape(), 1) << "Escape must end the game, which then returns 1";
    EXPECT_FALSE(_game.isRunning());
}

TEST_F(RunningGame, OtherKeysDoNotQuit)
{
    EXPECT_TRUE(_game.pressKey("q"));
    EXPECT_TRUE(_game.holdKey("Return", 200));
    EXPECT_TRUE(_game.writeLine("nothing reads this yet"));

    // Still there after the keys: the harness has to stop it, and says so.
    EXPECT_EQ(_game.waitForExit(1000), -1);
    EXPECT_FALSE(_game.isRunning());
}

TEST_F(RunningGame, ScreenshotsDecodeToWindowSizedPictures)
{
    GameProcess::Image image;
    ASSERT_TRUE(_game.capture(image));
    EXPECT_EQ(image.width, 640);
    EXPECT_EQ(image.height, 480);
    EXPECT_EQ(image.rgb.size(), 640u * 480u * 3u);

    // Once start-up is through, the frames show a picture, not one flat colour.
    std::set<std::tuple<int, int, int>> colours;
    for (int attempt = 0; attempt < 20 && colours.size() < 2; ++attempt)
    {
        colours.clear();
        ASSERT_TRUE(_game.capture(image));
        for (int y = 0; y < image.height; y += 8)
            for (int x = 0; x < image.width; x += 8)
            {
                GameProcess::Color c = image.at(x, y);
                colours.insert(std::make_tuple(c.r, c.g, c.b));
            }
    }
    EXPECT_GE(colours.size(), 2u) << "the window stays one flat colour";
    _game.kill();
    EXPECT_FALSE(_game.isRunning());
}

TEST(GameProcessHarness, PixelColoursAreReadBackExactly)
{
    testsupport::ScratchFolder directory("zolt-e2e");
    ASSERT_FALSE(directory.path().empty());
    std::string png = directory.path() + "/split.png";
    // Left half red, right half blue, one green pixel at (5, 1).
    ASSERT_EQ(GameProcess::runCommand("convert -size 4x3 xc:red \\( -size 4x3 xc:blue \\) +append "
                                      "-fill lime -draw 'point 5,1' " +
                                      png),
              0);
    GameProcess::Image image;
    ASSERT_TRUE(GameProcess::readImage(png, image));
    EXPECT_EQ(image.width, 8);
    EXPECT_EQ(image.height, 3);
    GameProcess::Color red = image.at(0, 0);
    EXPECT_EQ(red.r, 255);
    EXPECT_EQ(red.g, 0);
    EXPECT_EQ(red.b, 0);
    GameProcess::Color blue = image.at(7, 2);
    EXPECT_EQ(blue.r, 0);
    EXPECT_EQ(blue.b, 255);
    GameProcess::Color green = image.at(5, 1);
    EXPECT_EQ(green.g, 255);
    EXPECT_EQ(green.r, 0);
    GameProcess::Color outside = image.at(8, 0);
    EXPECT_EQ(outside.r + outside.g + outside.b, 0);
    EXPECT_FALSE(GameProcess::readImage(directory.path() + "/missing.png", image));
}

TEST(GameProcessHarness, OutputLinesAndExitStatusOfAnyProgram)
{
    GameProcess echo("/bin/sh", "/", {"-c", "read line; echo \"got $line\"; pwd; echo oops >&2; exit 3"});
    ASSERT_TRUE(echo.start());
    EXPECT_TRUE(echo.writeLine("hello"));
    std::string line;
    ASSERT_TRUE(echo.nextLine(line, 5000));
    EXPECT_EQ(line, "got hello");
    ASSERT_TRUE(echo.nextLine(line, 5000));
    EXPECT_EQ(line, "/") << "runs in the working directory given";
    EXPECT_EQ(echo.waitForExit(5000), 3);
    EXPECT_TRUE(echo.waitForOutput("got", 0, &line));
    EXPECT_EQ(line, "got hello");
    EXPECT_FALSE(echo.waitForOutput("never printed", 100));
    EXPECT_EQ(echo.errorLines(), std::vector<std::string>{"oops"});
    EXPECT_FALSE(echo.nextLine(line, 50));

    GameProcess missing("/no/such/program");
    ASSERT_TRUE(missing.start());
    EXPECT_EQ(missing.waitForExit(5000), 127);
}

TEST(GameProcessHarness, TheXServerKeepsItsStateWhileClientsComeAndGo)
{
    // Xvfb resets when its last client leaves, dropping what was on the root
    // window and refusing games that connect meanwhile; the harness's own
    // connection keeps it up across the short-lived tool clients.
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    ASSERT_TRUE(GameProcess::keepDisplayOpen());
    ASSERT_EQ(GameProcess::runCommand("xprop -root -f ZOLT_E2E_MARK 8s -set ZOLT_E2E_MARK kept"), 0);
    std::string value;
    EXPECT_EQ(GameProcess::runCommand("xprop -root ZOLT_E2E_MARK 2>&1", &value), 0);
    EXPECT_NE(value.find("\"kept\""), std::string::npos) << value;
    GameProcess::runCommand("xprop -root -remove ZOLT_E2E_MARK");
}

TEST(GameProcessHarness, AProgramThatIgnoresEscapeIsStoppedAndReported)
{
    GameProcess sleeper("/bin/sleep", "/", {"30"});
    ASSERT_TRUE(sleeper.start());
    EXPECT_EQ(sleeper.quitWithEscape(100), -1);
    EXPECT_FALSE(sleeper.isRunning());
}
