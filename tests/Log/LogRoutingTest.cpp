#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

#include "Log/Log.h"
#include "util/GameManifest.h"

namespace
{
// A game that declares its own streams: one shown carrying two channels,
// one hidden, and one that turns the engine's debug channel on. The names
// are this file's own, so no other test's routing can decide them first.
const char* const MANIFEST = R"(<game id="routing" title="Routing">
  <log stream="routeShown" carries="routeSound routeDialogs"/>
  <log stream="routeHidden" carries="routeRules" show="false"/>
  <log stream="routeDebug" carries="debug"/>
</game>)";

struct Written
{
    std::string out;
    std::string err;
    std::string file;
};

// Points the graphics log at a scratch file at the level the renderer sets,
// runs the game's stream routing once, and puts everything back after.
class LogRouting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        _savedStream = Output2FILE::Stream();
        _savedLevel = FILELog::ReportingLevel();
        _file = std::tmpfile();
        ASSERT_NE(_file, nullptr);
        Output2FILE::Stream() = _file;
        FILELog::ReportingLevel() = logDEBUG3;
        Log::resetLevelStreams();
        GameManifest game;
        ASSERT_TRUE(game.readText(MANIFEST, "game.xml"));
        GameManifest::setCurrent(game);
        Log::showGameStreams();
    }
    void TearDown() override
    {
        Output2FILE::Stream() = _savedStream;
        FILELog::ReportingLevel() = _savedLevel;
        std::fclose(_file);
        Log::setErrorStream(&std::cout);
        Log::setWarnStream(&std::cout);
        GameManifest::forgetCurrent();
    }

    Written run(const std::function<void()>& write)
    {
        const long before = std::ftell(_file);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        write();
        std::fflush(stdout);
        Written written;
        written.out = testing::internal::GetCapturedStdout();
        written.err = testing::internal::GetCapturedStderr();
        std::fseek(_file, before, SEEK_SET);
        int c;
        while ((c = std::fgetc(_file)) != EOF)
            written.file += static_cast<char>(c);
        return written;
    }

    FILE* _savedStream = nullptr;
    TLogLevel _savedLevel = logDEBUG4;
    FILE* _file = nullptr;
};
}

TEST_F(LogRouting, EveryPathLandsWhereItBelongsInItsOwnFormat)
{
    const std::string line = "a sprite is missing";
    struct Case
    {
        const char* what;
        std::function<void()> write;
        std::string out;
        std::string err;
        std::string file;
    };
    const Case cases[] = {
        {"error", [&] { Log::error() << line << std::endl; }, "[Error]        " + line + "\n",
         "[Error]        " + line + "\n", ""},
        {"warning", [&] { Log::warn() << line << std::endl; }, "[Warn]         " + line + "\n",
         "[Warn]         " + line + "\n", ""},
        {"note", [&] { Log::note() << line << std::endl; }, "[Note]         " + line + "\n", "", ""},
        {"shown stream by its channel", [&] { Log::named("routeSound") << line << std::endl; },
         "[routeShown]   " + line + "\n", "", ""},
        {"shown stream's other channel", [&] { Log::named("ROUTEDIALOGS") << line << std::endl; },
         "[routeShown]   " + line + "\n", "", ""},
        {"shown stream by its own name", [&] { Log::named("routeShown") << line << std::endl; },
         "[routeShown]   " + line + "\n", "", ""},
        {"hidden stream", [&] { Log::named("routeRules") << line << std::endl; }, "", "", ""},
        {"undeclared stream", [&] { Log::named("routeNobody") << line << std::endl; }, "", "", ""},
        {"debug channel the game turned on", [&] { Log::debug() << line << std::endl; },
         "[routeDebug]   " + line + "\n", "", ""},
        {"plain text", [&] { Log::plain() << line << std::endl; }, line + "\n", "", ""},
        {"plain error text", [&] { Log::plainError() << line << std::endl; }, "", line + "\n", ""},
        {"graphics error", [&] { Log::file(logERROR) << "(Renderer::Draw) " << line; }, "",
         "-   ERROR: (Renderer::Draw) " + line + "\n", "-   ERROR: (Renderer::Draw) " + line + "\n"},
        {"graphics warning", [&] { Log::file(logWARNING) << line; }, "", "-   WARNING: " + line + "\n",
         "-   WARNING: " + line + "\n"},
        {"graphics info", [&] { Log::file(logINFO) << line << " (" << 3 << ")"; }, "", "",
         "-   INFO: " + line + " (3)\n"},
        {"graphics debug3", [&] { Log::file(logDEBUG3) << line; }, "", "", "-   DEBUG3: \t\t\t" + line + "\n"},
        {"graphics debug4, below the renderer's level", [&] { Log::file(logDEBUG4) << line; }, "", "", ""},
    };
    for (const Case& c : cases)
    {
        const Written written = run(c.write);
        EXPECT_EQ(written.out, c.out) << c.what;
        EXPECT_EQ(written.err, c.err) << c.what;
        EXPECT_EQ(written.file, c.file) << c.what;
    }
}

TEST_F(LogRouting, GraphicsLinesWithNoFileAreDroppedWhole)
{
    Output2FILE::Stream() = nullptr;
    const Written written = run([] { Log::file(logERROR) << "(Renderer::Draw) lost" << 7; });
    EXPECT_EQ(written.out, "");
    EXPECT_EQ(written.err, "");
    Output2FILE::Stream() = _file;
    const Written after = run([] { Log::file(logINFO) << "back"; });
    EXPECT_EQ(after.file, "-   INFO: back\n") << "a dropped line leaves nothing behind for the next one";
}

// The engine may chatter before start-up reaches the manifest's streams;
// that must not silence the debug channel for the rest of the run.
TEST(LogDebugChannel, WritingBeforeTheGameRoutesItLeavesItForTheGame)
{
    GameManifest game;
    ASSERT_TRUE(
        game.readText(R"(<game id="late" title="Late"><log stream="lateDebug" carries="debug"/></game>)", "game.xml"));
    GameManifest::setCurrent(game);
    testing::internal::CaptureStdout();
    Log::debug() << "too early" << std::endl;
    Log::showGameStreams();
    Log::debug() << "HI" << std::endl;
    const std::string out = testing::internal::GetCapturedStdout();
    GameManifest::forgetCurrent();
    EXPECT_EQ(out, Log::prefix("lateDebug") + "HI\n");
}
