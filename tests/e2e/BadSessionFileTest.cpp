#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "GameConsole.h"
#include "GameProcess.h"
#include "support/Files.h"

// The game must keep running when its session file is missing or broken:
// the problem is logged with the file's name and the player can still quit.
// Each case runs in a temporary tree whose assets link to the real ones,
// except for the session file under test.
namespace
{
bool makeTree(const std::string& root, const std::string& sessionText, bool withSession)
{
    if (root.empty())
        return false;
    const std::string assets = root + "/assets";
    const std::string link = "mkdir -p " + assets +
                             " && for f in " ZOLT_SOURCE_DIR
                             "/assets/*; do case \"$(basename \"$f\")\" in session.xml) ;; *) ln -s "
                             "\"$f\" " +
                             assets + "/ ;; esac; done";
    if (GameProcess::runCommand(link) != 0)
        return false;
    if (withSession)
        testsupport::writeText(assets + "/session.xml", sessionText);
    return true;
}

void runAndQuit(const std::string& root, const std::string& expectedError, bool expectAvatarMoves)
{
    GameProcess game(ZOLT_BINARY_DIR "/zolt", root);
    ASSERT_TRUE(game.launch("OpenGL", 640, 480, GameConsole::WAIT_MS * 2));
    EXPECT_TRUE(game.waitForOutput(expectedError, GameConsole::WAIT_MS)) << expectedError;
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_TRUE(game.isRunning());
    if (expectAvatarMoves)
    {
        // The console still works on what was loaded.
        GameConsole console(game);
        EXPECT_TRUE(console.open());
        std::string size;
        EXPECT_TRUE(console.query("s:getPartySize()", size));
        EXPECT_EQ(size, "1") << "only the readable member joined";
        console.close();
    }
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
}
}

TEST(BadSessionFile, AMissingSessionFileIsLoggedAndTheGameStillRuns)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    testsupport::ScratchFolder tree("zolt-session");
    ASSERT_TRUE(makeTree(tree.path(), "", false));
    runAndQuit(tree.path(), "Session::buildFromXMLFile - Failed to load or parse file assets/session.xml", false);
}

TEST(BadSessionFile, AMalformedSessionFileIsLoggedAndTheGameStillRuns)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    testsupport::ScratchFolder tree("zolt-session");
    ASSERT_TRUE(makeTree(tree.path(), "<party id=\"heroes\">\n  <character id=\"fenwy\"\n", true));
    runAndQuit(tree.path(), "Failed to load or parse file assets/session.xml", false);
}

TEST(BadSessionFile, APartyMemberWhoseRecordIsMissingIsLeftOut)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    testsupport::ScratchFolder tree("zolt-session");
    ASSERT_TRUE(makeTree(tree.path(),
                         "<party id=\"heroes\">\n"
                         "  <character id=\"fenwy\" template=\"assets/characters/fenwy.xml\"/>\n"
                         "  <character id=\"ghost\" template=\"assets/characters/noSuchCharacter.xml\"/>\n"
                         "</party>\n",
                         true));
    runAndQuit(tree.path(), "noSuchCharacter.xml", true);
}
