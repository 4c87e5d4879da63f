#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "GameConsole.h"
#include "GameProcess.h"

// The game must keep running when its session file is missing or broken:
// the problem is logged with the file's name and the player can still quit.
// Each case runs in a temporary tree whose assets link to the real ones,
// except for the session file under test.
namespace
{
std::string makeTree(const std::string& sessionText, bool withSession)
{
    char pattern[] = "/tmp/zolt-session-XXXXXX";
    if (!mkdtemp(pattern))
        return std::string();
    const std::string root = pattern;
    const std::string assets = root + "/assets";
    const std::string link = "mkdir -p " + assets + " && for f in " ZOLT_SOURCE_DIR
                             "/assets/*; do case \"$(basename \"$f\")\" in session.xml) ;; *) ln -s "
                             "\"$f\" " + assets + "/ ;; esac; done";
    if (GameProcess::runCommand(link) != 0)
        return std::string();
    if (withSession)
        std::ofstream(assets + "/session.xml") << sessionText;
    return root;
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
    GameProcess::runCommand("rm -rf " + root);
}
}

TEST(BadSessionFile, AMissingSessionFileIsLoggedAndTheGameStillRuns)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    const std::string root = makeTree("", false);
    ASSERT_FALSE(root.empty());
    runAndQuit(root, "Session::buildFromXMLFile - Failed to load or parse file assets/session.xml",
               false);
}

TEST(BadSessionFile, AMalformedSessionFileIsLoggedAndTheGameStillRuns)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    const std::string root = makeTree("<party id=\"heroes\">\n  <character id=\"fenwy\"\n", true);
    ASSERT_FALSE(root.empty());
    runAndQuit(root, "Failed to load or parse file assets/session.xml", false);
}

TEST(BadSessionFile, APartyMemberWhoseRecordIsMissingIsLeftOut)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    const std::string root = makeTree(
        "<party id=\"heroes\">\n"
        "  <character id=\"fenwy\" template=\"assets/characters/fenwy.xml\"/>\n"
        "  <character id=\"ghost\" template=\"assets/characters/noSuchCharacter.xml\"/>\n"
        "</party>\n",
        true);
    ASSERT_FALSE(root.empty());
    runAndQuit(root, "noSuchCharacter.xml", true);
}
