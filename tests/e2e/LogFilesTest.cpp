#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "EnvironmentValue.h"
#include "GameConsole.h"
#include "GameProcess.h"
#include "support/Files.h"

// The real demo, once: each kind of line it writes lands where it always
// did, in its own format, and the scripting probes stay quiet because the
// demo's manifest declares no debug stream.
namespace
{
bool anyLineIs(const std::vector<std::string>& lines, const std::string& text)
{
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

bool anyLineStarts(const std::vector<std::string>& lines, const std::string& start)
{
    return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; });
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size())
    {
        const size_t end = text.find('\n', from);
        lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
        from = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}
}

TEST(LogFiles, EachKindOfLineLandsInItsPlaceAndTheProbesStayQuiet)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    testsupport::ScratchFolder state("zolt-logstate");
    ASSERT_FALSE(state.path().empty());
    EnvironmentValue stateHome("XDG_STATE_HOME", state.path());
    GameProcess game;
    ASSERT_TRUE(game.launch("OpenGL", 640, 480, GameConsole::WAIT_MS * 2));
    // The start-up script asks for the town music on the sound channel,
    // which the demo's manifest shows as "vosk".
    ASSERT_TRUE(game.waitForOutput("Received request to play themeTown", GameConsole::WAIT_MS));
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    std::string answer;
    ASSERT_TRUE(console.query("tostring(Session.sayHi())", answer));
    EXPECT_EQ(answer, "nil") << "the probe ran";
    console.close();
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);

    const std::vector<std::string> out = game.outputLines();
    const std::vector<std::string> err = game.errorLines();
    struct Case
    {
        const char* what;
        bool found;
    };
    const Case cases[] = {
        {"plain start-up line on standard output", anyLineIs(out, "init")},
        {"the renderer's plain banner", anyLineIs(out, "Renderer Loading")},
        {"the GL strings as a block", anyLineStarts(out, "Vendor:   ")},
        {"a manifest stream with its prefix", anyLineStarts(out, "[vosk]         Received request to play themeTown")},
        {"a hidden manifest stream stays silent", !anyLineStarts(out, "[oskel]")},
        {"the debug probe is not on standard output", !anyLineIs(out, "HI") && !anyLineStarts(out, "[debug]")},
        {"nor on standard error", !anyLineIs(err, "HI")},
        {"notes never reach standard error", !anyLineStarts(err, "[Note]")},
        {"graphics lines stay out of standard output", !anyLineStarts(out, "-   INFO: ")},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(c.found) << c.what;

    const std::vector<std::string> graphics =
        linesOf(testsupport::readText(state.path() + "/zolt/zolt-demo/logs/graphicslog.txt"));
    EXPECT_TRUE(anyLineStarts(graphics, "-   INFO: Vendor: ")) << "the GL strings in the graphics log's format";
    EXPECT_TRUE(anyLineStarts(graphics, "-   INFO: (FontManager::createFont) Creating font ("));
    EXPECT_FALSE(anyLineStarts(graphics, "[")) << "no game-code line in the graphics log";
    EXPECT_FALSE(anyLineStarts(graphics, "-   DEBUG4: ")) << "the renderer's level holds";
}
