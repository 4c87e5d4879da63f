// zolt-balance on the demo game and on bad command lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "ToolTestSupport.h"

namespace fs = std::filesystem;

namespace
{
const fs::path BALANCE = fs::path(ZOLT_BINARY_DIR) / "zolt-balance";

tooltest::CommandResult balance(const std::string& arguments, bool withErrors = false)
{
    return tooltest::runCommand(BALANCE.string() + " " + arguments, withErrors);
}

struct FightLine
{
    std::string fight;
    double winRate;
    double rounds;
};

std::vector<FightLine> fightsIn(const std::string& out)
{
    const std::regex line(R"((\S+)\s+\S+\s+party \d+\s+won\s+([0-9.]+)%\s+mean rounds\s+([0-9.]+))");
    std::vector<FightLine> fights;
    for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it)
        fights.push_back({(*it)[1], std::stod((*it)[2]), std::stod((*it)[3])});
    return fights;
}
}

TEST(Balance, PlaysEveryFightOfTheDemoAndRepeatsWithTheSameSeed)
{
    const std::string root = ZOLT_SOURCE_DIR;
    const tooltest::CommandResult first = balance("--runs 40 --seed 5 " + root);
    ASSERT_EQ(first.status, 0) << first.out;
    const std::vector<FightLine> fights = fightsIn(first.out);
    // Every fight the demo's dialogs start.
    std::vector<std::string> names;
    for (const FightLine& f : fights)
        names.push_back(f.fight);
    EXPECT_EQ(names, (std::vector<std::string>{"banditLeader;bandit1;bandit2;", "vosk;"})) << first.out;
    for (const FightLine& f : fights)
    {
        EXPECT_GE(f.winRate, 0.0) << f.fight;
        EXPECT_LE(f.winRate, 100.0) << f.fight;
        EXPECT_GE(f.rounds, 1.0) << f.fight << ": somebody has to act";
    }
    EXPECT_EQ(balance("--runs 40 --seed 5 " + root).out, first.out) << "the seed repeats the fights";
    const tooltest::CommandResult traced = balance("--runs 1 --trace " + root);
    EXPECT_NE(traced.out.find("round 1"), std::string::npos) << traced.out;
    EXPECT_NE(traced.out.find(" uses "), std::string::npos) << traced.out;
}

TEST(Balance, BadCommandLinesAreToldAndRefused)
{
    struct Case
    {
        const char* arguments;
        int status;
        const char* told;
    };
    const Case cases[] = {
        {"--runs 0", 2, "--runs takes a whole number from 1"},
        {"--runs many", 2, "not \"many\""},
        {"--runs 99999999999999999999", 2, "--runs takes a whole number"},
        {"--runs", 2, "--runs takes a whole number"},
        {"--seed -3", 2, "--seed takes a whole number from 0"},
        {"--fast", 2, "unknown option --fast"},
        {"one two", 2, "one game at a time"},
        {"/nonexistent/game", 2, "holds no game"},
    };
    for (const Case& c : cases)
    {
        const tooltest::CommandResult result = balance(c.arguments, true);
        EXPECT_EQ(result.status, c.status) << c.arguments << ": " << result.out;
        EXPECT_NE(result.out.find(c.told), std::string::npos) << c.arguments << ": " << result.out;
    }
    const tooltest::CommandResult help = balance("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("usage: zolt-balance"), std::string::npos) << help.out;
}

TEST(Balance, AGameWithoutFightsSaysSo)
{
    const fs::path game = fs::temp_directory_path() / "zolt-balance-nofights";
    fs::remove_all(game);
    fs::create_directories(game / "assets");
    std::ofstream(game / "assets" / "session.xml") << "<party id=\"p\"><character id=\"hero\"/></party>\n";
    std::ofstream(game / "game.xml") << "<game id=\"nofights\"><session file=\"assets/session.xml\"/></game>\n";
    const tooltest::CommandResult result = balance(game.string(), true);
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("no script of the game starts a fight"), std::string::npos) << result.out;
    fs::remove_all(game);
}
