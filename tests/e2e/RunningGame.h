#pragma once

#include <gtest/gtest.h>

#include <string>

#include "GameConsole.h"
#include "GameProcess.h"

// A test on the real game with its console open from the start, for tests
// that read the game's state through the console while they play.
class RunningGame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!GameProcess::haveDisplay())
            GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
        ASSERT_TRUE(startGame(game));
        ASSERT_TRUE(console.open());
    }

    std::string ask(const std::string& lua) { return console.ask(lua); }
    int askInt(const std::string& lua) { return console.askInt(lua); }

    GameProcess game;
    GameConsole console{game};
};
