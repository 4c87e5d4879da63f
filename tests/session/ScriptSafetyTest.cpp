#include <climits>

#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "script/LuaInterface.h"
#include "world/Scene.h"
#include "world/Screen.h"

// What any map trigger, item script, dialog condition or console line may
// try against the running session.
using namespace sessiontest;
using namespace testsupport;

using ScriptSafety = SessionFixture;

TEST_F(ScriptSafety, ScriptsCannotFreeTheSessionOrItsCharacters)
{
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    ErrorCapture errors;
    for (const char* attack :
         {"s.core_ = nil", "fenwy.core_ = nil", "rawset(s, 'core_', nil) rawset(fenwy, 'core_', nil)",
          "setmetatable(fenwy, nil)", "s = nil fenwy = nil guard = nil"})
    {
        SCOPED_TRACE(attack);
        core::LuaInterface::runString(std::string(attack) + " collectgarbage('collect') collectgarbage('collect')");
    }
    // Reuse any block the collector might have given back.
    core::LuaInterface::runString("junk = {} for i = 1, 4000 do junk[i] = string.rep('z', 300) end");
    updateTimes(*session, 3);
    ASSERT_NE(session->getAvatar(), nullptr);
    EXPECT_EQ(session->getAvatar()->getId(), "fenwy");
    EXPECT_EQ(session->getAvatar()->getStr(), 5);
    core::LuaInterface::runString("junk = nil");
    core::LuaInterface::registerAlias(session->getLuaRef(), "s");
    core::LuaInterface::registerAlias(session->getAvatar()->getLuaRef(), "fenwy");
    EXPECT_EQ(luaInt("s:getPartySize()"), 2) << "the session still answers from Lua";
}

TEST_F(ScriptSafety, StatisticsSaturateInsteadOfOverflowing)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("fenwy:addStr(2147483647) fenwy:addStr(2147483647)"
                                  " fenwy:addHP(-2147483647, true) fenwy:addHP(-2147483647, true)");
    core::Character* fenwy = session->getAvatar();
    ASSERT_NE(fenwy, nullptr);
    EXPECT_EQ(fenwy->getStr(), INT_MAX);
    EXPECT_EQ(fenwy->getHP(true), INT_MIN);
}

TEST_F(ScriptSafety, ACharacterAtTheEndsOfIntCannotStepOffThem)
{
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    core::Character* fenwy = session->getAvatar();
    ASSERT_NE(fenwy, nullptr);
    const struct
    {
        const char* lua;
        float row;
        float col;
    } places[] = {{"-2147483648, -2147483648", -2147483648.0f, -2147483648.0f},
                  {"2147483647, 2147483647", 2147483647.0f, 2147483647.0f}};
    for (const auto& place : places)
    {
        SCOPED_TRACE(place.lua);
        core::LuaInterface::runString(std::string("fenwy:setPosition(") + place.lua + ")");
        for (int direction = 0; direction < 4; ++direction)
        {
            fenwy->attemptMoveDirection(static_cast<core::Direction>(direction), false);
            updateTimes(*session, 6);
            EXPECT_EQ(fenwy->getPosition(), glm::vec2(place.row, place.col)) << direction;
        }
    }
    // Back on the map, steps work again.
    fenwy->setPosition(2, 2);
    fenwy->attemptMoveDirection(core::RIGHT, false);
    updateTimes(*session, 6);
    EXPECT_EQ(fenwy->getPosition(), glm::vec2(2.0f, 3.0f));
}

TEST_F(ScriptSafety, TheConsoleShowsWhyALineFailed)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    ErrorCapture errors;
    StdinFeed input("s:nosuch()\nlocal = 1\n");
    StdoutCapture output;
    session->prompt();
    session->prompt();
    EXPECT_NE(output.text().find("console:1: attempt to call method 'nosuch' (a nil value)\n"), std::string::npos)
        << output.text();
    EXPECT_NE(output.text().find("console:1: <name> expected near '='\n"), std::string::npos) << output.text();
    EXPECT_NE(errors.text().find("LuaInterface::runString - console:1: attempt to call method"), std::string::npos);
}
