#include <gtest/gtest.h>

#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "PlaythroughDriver.h"
#include "support/Files.h"
#include "support/TutorialGame.h"

// The guide's tutorial game, built from docs/tutorial as a reader builds it,
// played on the real game: it starts in the yard, a tree closes its cell,
// the sage talks, the door leads into the cellar, and the rat fights.
class TutorialGame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_FALSE(scratch.path().empty());
        std::string problem;
        ASSERT_TRUE(testsupport::buildTutorialGame(folder, problem)) << problem;
        console.setAvatar("hero");
        ASSERT_TRUE(game.launch("My Game", 640, 480, 60000)) << "the window carries the manifest's title";
        ASSERT_TRUE(console.open());
    }

    std::string tapAndWhere(const std::string& key)
    {
        return console.tap(key) ? console.ask("hero:getRow() .. ',' .. hero:getCol()") : "no tap";
    }

    testsupport::ScratchFolder scratch{"zolt-tutorial"};
    std::string folder = scratch.path() + "/mygame";
    GameProcess game{ZOLT_BINARY_DIR "/zolt", ZOLT_SOURCE_DIR, {folder}};
    GameConsole console{game};
};

TEST_F(TutorialGame, TheSageTalksTheDoorLeadsToTheCellarAndTheRatFights)
{
    EXPECT_EQ(tapAndWhere("a"), "5,2");
    EXPECT_EQ(tapAndWhere("a"), "5,1");
    EXPECT_EQ(tapAndWhere("a"), "5,1") << "the tree's empty pass property closes its cell";
    ASSERT_EQ(tapAndWhere("d"), "5,2");
    ASSERT_EQ(tapAndWhere("d"), "5,3");

    PlaythroughDriver player(game, console);
    ASSERT_TRUE(player.load(ZOLT_SOURCE_DIR "/tests/e2e/TutorialWalkthrough.txt")) << player.error();
    ASSERT_TRUE(player.play()) << player.error();

    // Up to the rat; Z on it starts the fight, as the guide says.
    EXPECT_EQ(tapAndWhere("w"), "3,3");
    EXPECT_EQ(console.ask("s:combatStage()"), "none");
    ASSERT_TRUE(console.tap("z"));
    EXPECT_EQ(console.ask("s:combatStage()"), "base") << "the rat's interact script starts the fight";
    game.kill();
}
