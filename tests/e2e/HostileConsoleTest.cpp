#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "GameConsole.h"
#include "GameProcess.h"
#include "RunningGame.h"

// Hostile lines typed at the real game's console: each is refused with its
// line, the game goes on as it was, and the console still closes and the
// game still quits afterwards.
namespace
{
struct RefusedLine
{
    const char* lua;
    const char* refusal;
};
}

class HostileConsole : public RunningGame
{
};

TEST_F(HostileConsole, RefusedLinesLeaveTheGameAsItWasAndItStillQuits)
{
    // The file that the shell lines below would make.
    const char* const sentinel = "/tmp/zolt-hostile-x";
    std::filesystem::remove(sentinel);
    const std::string tile = ask("fenwy:getRow() .. ',' .. fenwy:getCol()");
    const int partySize = askInt("s:getPartySize()");
    ASSERT_GT(partySize, 0);
    // Each refusal text appears once, so that a wait cannot match an earlier line.
    const RefusedLine lines[] = {
        {"io.popen('touch /tmp/zolt-hostile-x')", "io.popen is not available to scripts"},
        {"os.execute('touch /tmp/zolt-hostile-x')", "os.execute is not available to scripts"},
        {"for l in io.lines('/dev/zero') do end", "io.lines is not available to scripts"},
        {"dofile('/etc/hostname')", "/etc/hostname is absolute"},
        {"s:read('fenwy', '../../../../tmp/x.lua', 'fenwy')", "../../../../tmp/x.lua leads out"},
        {R"(assert(load('\27LuaR\0\1\4\8\4\8\0\25\147\r\n\26\n' .. ('\255'):rep(64))))",
         "attempt to load a binary chunk"},
        {"s:enter('coastalVillage_start', 2147483647, -2147483648)", "is off the map"},
        {"s:fight('fenwy;')", "fenwy is in the party and cannot be fought"},
        {"s:removeFromParty('fenwy')", "fenwy is the avatar and cannot leave the party"},
        {"for i = 1, 200000 do setmetatable({}, {__gc = function() error('gc') end}) end",
         "finalizers (__gc) are not available"},
    };
    for (const RefusedLine& line : lines)
    {
        SCOPED_TRACE(line.lua);
        ASSERT_TRUE(game.writeLine(line.lua));
        EXPECT_TRUE(game.waitForOutput(line.refusal, GameConsole::WAIT_MS));
    }
    ASSERT_TRUE(console.frames(3)) << "the console reads lines as before";
    EXPECT_EQ(ask("fenwy:getRow() .. ',' .. fenwy:getCol()"), tile);
    EXPECT_EQ(askInt("s:getPartySize()"), partySize);
    EXPECT_EQ(ask("s:combatStage()"), "none");
    EXPECT_EQ(ask("type(s:getPartySize())"), "number");
    EXPECT_FALSE(std::filesystem::exists(sentinel));
    // The console closes and the game quits as usual.
    console.close();
    EXPECT_EQ(game.quitWithEscape(), 1);
}

TEST(UnsafeConsole, TheFlagOpensTheMachineToConsoleLinesOnly)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    const char* const written = "/tmp/zolt-unsafe-console-x";
    std::filesystem::remove(written);
    GameProcess game(ZOLT_BINARY_DIR "/zolt", ZOLT_SOURCE_DIR, {"--unsafe-console"});
    GameConsole console(game);
    ASSERT_TRUE(startGame(game));
    ASSERT_TRUE(console.open());
    ASSERT_TRUE(game.writeLine(std::string("io.open('") + written + "', 'w'):close()"));
    ASSERT_TRUE(console.frames(2));
    EXPECT_TRUE(std::filesystem::exists(written)) << "the console opted in";
    // The game's own scripts stay in the sandbox: s:say runs its verb as one.
    ASSERT_TRUE(game.writeLine("s:say('fenwy', 'io.write(1)', 'brune')"));
    EXPECT_TRUE(game.waitForOutput("io.write is not available to scripts", GameConsole::WAIT_MS));
    std::filesystem::remove(written);
    console.close();
    EXPECT_EQ(game.quitWithEscape(), 1);
}
