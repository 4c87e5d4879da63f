#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "GameConsole.h"
#include "GameProcess.h"

// A fixed number of random keys, clicks and console lines against the real
// game, the same sequence every run. The game must survive them all (and,
// in the sanitizer run, without a report) and still answer and quit at the
// end. Its resident memory is sampled and written to the test log.
namespace
{
const int EVENTS = 240;
const int SAMPLE_EVERY = 40;
const unsigned SEED = 20261207;

// Keys the game reacts to, and some it ignores. Escape would end the run
// and P is how console lines go in, so neither is drawn at random.
const char* const KEYS[] = {"w", "a", "s", "d", "z", "c", "e", "space", "Return", "BackSpace", "Up", "Left", "1", "q"};

// What a careless or hostile maker might type.
const char* const LINES[] = {
    ": party",
    ": chars",
    ": gain rope",
    ": lose rope",
    ": say fenwy print(subj:getId()) oskel",
    ": enter start 1 1",
    "s:enter(\"start\", 2, 2)",
    "s:enter(\"main\", -2147483648, 2147483647)",
    "fenwy:addStr(2147483647) fenwy:addStr(2147483647)",
    "fenwy:setPosition(-2147483648, -2147483648) fenwy:attemptMoveDirection(0)",
    "fenwy.core_ = nil collectgarbage('collect')",
    "rawset(s, 'core_', nil) collectgarbage('collect')",
    "s:setflag('soak', (s:getflag('soak') or 0) + 1)",
    "local t = {} for i = 1, 1000 do t[i] = {} end",
    "this is not lua",
    "error('soak')",
    "fenwy:moveTo(3, 3)",
    "s:yield()",
    ":",
    "",
};

long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key)
    {
        if (key == "VmRSS:")
        {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(4096, '\n');
    }
    return -1;
}

template <typename T, size_t N>
const T& pick(std::mt19937& random, const T (&choices)[N])
{
    return choices[std::uniform_int_distribution<size_t>(0, N - 1)(random)];
}
}

TEST(Soak, RandomKeysClicksAndConsoleLinesLeaveTheGameRunning)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GameProcess game;
    ASSERT_TRUE(startGame(game));
    GameConsole console(game);
    std::mt19937 random(SEED);
    std::vector<long> samples;

    for (int event = 0; event < EVENTS && game.isRunning(); ++event)
    {
        const int kind = std::uniform_int_distribution<int>(0, 9)(random);
        if (kind < 6)
        {
            const int holdMs = std::uniform_int_distribution<int>(20, 200)(random);
            EXPECT_TRUE(game.holdKey(pick(random, KEYS), holdMs));
        }
        else if (kind < 9)
        {
            EXPECT_TRUE(game.click(std::uniform_int_distribution<int>(0, 639)(random),
                                   std::uniform_int_distribution<int>(0, 479)(random)));
        }
        else
        {
            ASSERT_TRUE(console.open()) << "event " << event;
            game.writeLine(pick(random, LINES));
            console.close();
        }
        if (event % SAMPLE_EVERY == 0)
            samples.push_back(residentKb(game.pid()));
    }
    ASSERT_TRUE(game.isRunning()) << "the game ended during the soak";

    std::string size;
    ASSERT_TRUE(console.open());
    EXPECT_TRUE(console.query("s:getflag('flag_never_set')", size));
    EXPECT_EQ(size, "0") << "the console still answers";
    console.close();
    samples.push_back(residentKb(game.pid()));

    std::string trace;
    for (long kb : samples)
        trace += std::to_string(kb) + " ";
    ::testing::Test::RecordProperty("rss_kb", trace);
    std::cout << "resident memory (kB) every " << SAMPLE_EVERY << " events: " << trace << std::endl;
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);
}
