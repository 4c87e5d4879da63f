#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "script/LuaInterface.h"
#include "world/Scene.h"
#include "world/Screen.h"
#include "support/LuaHelpers.h"

using namespace sessiontest;
using namespace testsupport;

// The console is a session's: every prompt test starts from a fresh one.
class ConsolePrompt : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        session = buildSession();
        ASSERT_NE(session, nullptr);
    }

    core::Session* session = nullptr;
};

using ConsoleSubjectObject = SessionFixture;

TEST(ConsoleCommand, TheColonShorthandBecomesASessionCallWithStringArguments)
{
    EXPECT_EQ(core::Screen::buildCommand(": party"), "s:party()\n");
    EXPECT_EQ(core::Screen::buildCommand(": gain a"), "s:gain(\"a\")\n");
    EXPECT_EQ(core::Screen::buildCommand(": say a b c"), "s:say(\"a\",\"b\",\"c\")\n");
    EXPECT_EQ(core::Screen::buildCommand("  :   gain\ta   b "), "s:gain(\"a\",\"b\")\n");
    EXPECT_EQ(core::Screen::buildCommand(":"), "s::()\n") << "a lone colon names no method";
}

TEST(ConsoleCommand, AnythingElseIsRunAsTyped)
{
    EXPECT_EQ(core::Screen::buildCommand(":party"), ":party");
    EXPECT_EQ(core::Screen::buildCommand("s:enter(\"testB\", 1, 2)"), "s:enter(\"testB\", 1, 2)");
    EXPECT_EQ(core::Screen::buildCommand(""), "");
    EXPECT_EQ(core::Screen::buildCommand("   \t "), "");
}

TEST_F(ConsolePrompt, ShorthandIsEchoedAndRunOnTheSession)
{
    StdinFeed input(": gain a b\nleft over\n");
    StdoutCapture output;
    session->prompt();
    EXPECT_EQ(output.text(), "\n>s:gain(\"a\",\"b\")\n\n\n\n");
    EXPECT_TRUE(session->hasItem("a"));
    EXPECT_FALSE(session->hasItem("b")) << "gain uses only its first argument";
    EXPECT_EQ(input.remaining(), "left over\n") << "one line per turn";
}

TEST_F(ConsolePrompt, PlainLuaRunsUnchangedWithNumbersAsNumbers)
{
    StdinFeed input("s:enter(\"testB\", 2, 3)\n");
    StdoutCapture output;
    session->prompt();
    EXPECT_EQ(output.text(), "\n>s:enter(\"testB\", 2, 3)\n\n\n");
    ASSERT_NE(session->getNextScene(), nullptr);
    EXPECT_EQ(session->getNextScene()->getId(), "testB");
    EXPECT_EQ(session->getCurrentScene(), nullptr) << "entering waits for the update";
}

TEST_F(ConsolePrompt, EmptyAndInvalidLinesRunNothing)
{
    StdinFeed input("\n:\n: enter testB 1 2\n");
    StdoutCapture output;
    session->prompt();
    EXPECT_EQ(output.text(), "\n>\n\n\n");
    session->prompt();
    session->prompt();
    EXPECT_NE(output.text().find("s::()\n"), std::string::npos);
    EXPECT_NE(output.text().find("s:enter(\"testB\",\"1\",\"2\")\n"), std::string::npos);
    EXPECT_EQ(session->getNextScene(), nullptr) << "numbers cannot be passed as strings";
}

TEST_F(ConsolePrompt, AtTheEndOfInputEveryTurnRunsTheEmptyCommandAndTheConsoleStaysOpen)
{
    StdinFeed input("s:gain(\"last\")"); // no final newline, then nothing more
    StdoutCapture output;
    session->openConsole();
    session->update();
    EXPECT_TRUE(session->hasItem("last"));
    const std::string before = output.text();
    session->update();
    session->update();
    EXPECT_EQ(output.text().substr(before.size()), "\n>\n\n\n\n>\n\n\n");
    EXPECT_TRUE(session->isConsoleOpen());
}

TEST_F(ConsolePrompt, CloseFromLuaStopsTheBlockingPrompt)
{
    StdinFeed input("s:close()\nnot for the console\n");
    StdoutCapture output;
    session->update();
    EXPECT_EQ(input.remaining(), "s:close()\nnot for the console\n") << "closed: nothing is read";
}

TEST_F(ConsolePrompt, UpdateReadsOneLinePerFrameUntilClosed)
{
    StdinFeed input(": gain x\ns:close()\n: gain y\n");
    StdoutCapture output;
    session->openConsole();
    session->update();
    EXPECT_TRUE(session->hasItem("x"));
    EXPECT_TRUE(session->isConsoleOpen());
    session->update();
    EXPECT_FALSE(session->isConsoleOpen());
    session->update();
    EXPECT_FALSE(session->hasItem("y"));
    EXPECT_EQ(input.remaining(), ": gain y\n");
}

TEST_F(ConsoleSubjectObject, SayAndReadBindSubjAndObjForOneRun)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    clearsGlobals({"sayPair", "readPair"});
    session->subjectVerbObject("fenwy", "sayPair = subj:getId() .. '+' .. obj:getId()", "oskel");
    EXPECT_EQ(luaString("sayPair"), "fenwy+oskel");
    EXPECT_TRUE(luaIsNil("subj"));
    EXPECT_TRUE(luaIsNil("obj"));
    {
        ScriptFolder scripts("tests/session/data");
        session->subjectScriptObject("oskel", "readScript.lua", "fenwy");
    }
    EXPECT_EQ(luaString("readPair"), "oskel>fenwy");

    // Through the console's shorthand too.
    StdinFeed input(": say oskel sayPair=obj:getId() fenwy\n");
    StdoutCapture output;
    session->prompt();
    EXPECT_EQ(luaString("sayPair"), "fenwy");
}

TEST_F(ConsoleSubjectObject, UnknownOrIdenticalEntitiesRunNothingAndLeaveTheAliases)
{
    clearsGlobals({"subj", "obj"});
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("subj = 5 obj = 6 touched = 0");
    session->subjectVerbObject("fenwy", "touched = 1", "fenwy");
    session->subjectVerbObject("fenwy", "touched = 2", "nobody");
    session->subjectVerbObject("nobody", "touched = 3", "oskel");
    ScriptFolder scripts("tests/session/data");
    session->subjectScriptObject("fenwy", "readScript.lua", "fenwy");
    EXPECT_EQ(luaInt("touched"), 0);
    EXPECT_EQ(luaInt("subj"), 5);
    EXPECT_EQ(luaInt("obj"), 6);
}
