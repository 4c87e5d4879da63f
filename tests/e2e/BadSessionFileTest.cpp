#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "GameProcess.h"

// The game must keep running when its session file is missing or broken:
// the problem is logged with the file's name and the player can still quit.
// Each case runs in a temporary tree whose assets link to the real ones,
// except for the session file under test.
namespace
{
bool haveDisplay()
{
    return std::getenv("DISPLAY") != nullptr;
}

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
    ASSERT_TRUE(game.start());
    ASSERT_TRUE(game.waitForWindow());
    EXPECT_TRUE(game.waitForOutput(expectedError, 5000)) << expectedError;
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    EXPECT_TRUE(game.isRunning());
    if (expectAvatarMoves)
    {
        // The console still works on what was loaded.
        EXPECT_TRUE(game.pressKey("p", 80));
        game.writeLine("print('PAR' .. 'TY ' .. s:getPartySize())");
        EXPECT_TRUE(game.waitForOutput("PARTY 1", 5000)) << "only the readable member joined";
        game.writeLine("s:close()");
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    EXPECT_TRUE(game.pressKey("Escape"));
    EXPECT_EQ(game.waitForExit(10000), 1);
    GameProcess::runCommand("rm -rf " + root);
}
}

TEST(BadSessionFile, AMissingSessionFileIsLoggedAndTheGameStillRuns)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    const std::string root = makeTree("", false);
    ASSERT_FALSE(root.empty());
    runAndQuit(root, "Session::buildFromXMLFile - Failed to load or parse file assets/session.xml",
               false);
}

TEST(BadSessionFile, AMalformedSessionFileIsLoggedAndTheGameStillRuns)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    const std::string root = makeTree("<party id=\"heroes\">\n  <character id=\"fenwy\"\n", true);
    ASSERT_FALSE(root.empty());
    runAndQuit(root, "Failed to load or parse file assets/session.xml", false);
}

TEST(BadSessionFile, APartyMemberWhoseRecordIsMissingIsLeftOut)
{
    if (!haveDisplay())
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
