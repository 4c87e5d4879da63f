#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <vector>

#include "Log/Log.h"
#include "SessionTestSupport.h"
#include "input/InputContext.h"
#include "data/Character.h"
#include "data/Party.h"
#include "dialog/DialogManager.h"
#include "gui/DialogMenu.h"
#include "session/LevelInputContext.h"
#include "session/LuaBindings.h"
#include "script/LuaInterface.h"
#include "world/ProcessManager2.h"
#include "world/Scene.h"

using namespace sessiontest;
using namespace testsupport;

namespace
{
std::vector<std::string> namesOf(const luaL_Reg* table)
{
    std::vector<std::string> names;
    for (; table->name; ++table)
        names.push_back(table->name);
    return names;
}

// Runs the Lua statement inside pcall and gives the error text, or "" when
// it ran.
std::string luaError(const std::string& statement)
{
    core::LuaInterface::runString("local ok, err = pcall(function() " + statement +
                                  " end) testError = ok and '' or tostring(err)");
    return luaString("testError");
}

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}
}

using LuaBindingTables = SessionFixture;

TEST_F(LuaBindingTables, RegisterTheWholeVocabularyInOrder)
{
    const std::vector<std::string> character = namesOf(core::characterMethods);
    const std::vector<std::string> session = namesOf(core::sessionMethods);
    ASSERT_EQ(character.size(), 38u);
    // The 22 session methods every script knows come first, in their order;
    // this engine's additions follow them.
    ASSERT_GE(session.size(), 22u);
    EXPECT_EQ(character.front(), "getId");
    EXPECT_EQ(character.back(), "setIsInWanderRegion");
    EXPECT_EQ(session.front(), "enter");
    EXPECT_EQ(session[21], "getPartySize");
    EXPECT_EQ(std::vector<std::string>(session.begin() + 22, session.end()),
              (std::vector<std::string>{"combatStage", "beginQuest", "endQuest", "questState", "theEnd"}));
    EXPECT_EQ(namesOf(core::sessionStaticMethods), std::vector<std::string>{"sayHi"});
    EXPECT_EQ(namesOf(core::soundHandlerStaticMethods), std::vector<std::string>{"play"});
    EXPECT_TRUE(namesOf(core::characterStaticMethods).empty());

    ASSERT_NE(buildSession(), nullptr);
    for (const std::string& name : session)
        EXPECT_EQ(luaString("type(s." + name + ")"), "function") << name;
    for (const std::string& name : character)
        EXPECT_EQ(luaString("type(fenwy." + name + ")"), "function") << name;
    EXPECT_EQ(luaString("type(Session.sayHi)"), "function");
    EXPECT_EQ(luaString("type(SoundHandler.play)"), "function");
    EXPECT_EQ(luaString("type(Character)"), "table");
}

using LuaSessionBindings = SessionFixture;

TEST_F(LuaSessionBindings, GetflagOfAnUnsetFlagReturnsZeroAndCreatesIt)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    EXPECT_FALSE(session->hasFlag("neverSet"));
    EXPECT_EQ(luaInt("s:getflag('neverSet')"), 0);
    EXPECT_TRUE(session->hasFlag("neverSet"));
    core::LuaInterface::runString("s:setflag('door', 3)");
    EXPECT_EQ(session->getFlag("door"), 3);
    EXPECT_EQ(luaInt("s:getflag('door')"), 3);
}

TEST_F(LuaSessionBindings, EnterWaitsForTheNextUpdate)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("s:enter('testB', 1, 4)");
    EXPECT_EQ(session->getCurrentScene(), nullptr);
    session->update();
    ASSERT_NE(session->getCurrentScene(), nullptr);
    EXPECT_EQ(session->getCurrentScene()->getId(), "testB");
    EXPECT_EQ(luaInt("fenwy:getRow()"), 1);
    EXPECT_EQ(luaInt("fenwy:getCol()"), 4);
}

TEST_F(LuaSessionBindings, WrongArgumentTypesFailBeforeAnyEngineCall)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    EXPECT_NE(luaError("s:gain(5)").find("string expected"), std::string::npos);
    EXPECT_FALSE(session->hasItem("5"));
    EXPECT_NE(luaError("s:enter('testB', '1', 2)").find("number expected"), std::string::npos);
    EXPECT_NE(luaError("s:enter('testB', 1)").find("number expected"), std::string::npos);
    EXPECT_EQ(session->getNextScene(), nullptr);
    EXPECT_NE(luaError("s:setflag('door', true)").find("number expected"), std::string::npos);
    EXPECT_FALSE(session->hasFlag("door"));
    EXPECT_NE(luaError("s.getflag('door')").find("table expected"), std::string::npos)
        << "dot syntax passes no receiver";
    EXPECT_FALSE(session->hasFlag("door"));
    EXPECT_NE(luaError("fenwy:getHP(1)").find("boolean expected"), std::string::npos);
}

TEST_F(LuaSessionBindings, ItemsAndTheHasResult)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(luaString("tostring(s:has('potion'))"), "true");
    EXPECT_EQ(luaString("tostring(s:has('rope'))"), "false");
    core::LuaInterface::runString("s:gain('rope') s:lose('potion')");
    EXPECT_TRUE(session->hasItem("rope"));
    EXPECT_FALSE(session->hasItem("potion"));
}

TEST_F(LuaSessionBindings, CharsListsPartyThenSceneInKeyOrder)
{
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    {
        StdoutCapture output;
        core::LuaInterface::runString("s:chars()");
        EXPECT_EQ(linesOf(output.text()), (std::vector<std::string>{"Party:", "fenwy", "oskel", "Scene:"}))
            << "no scene: only its heading";
    }
    session->setNextScene("testB", 0, 0);
    session->update();
    StdoutCapture output;
    core::LuaInterface::runString("s:chars()");
    EXPECT_EQ(linesOf(output.text()),
              (std::vector<std::string>{"Party:", "fenwy", "oskel", "Scene:", "fenwy", "mate", "sailor"}));
}

TEST_F(LuaSessionBindings, StaticsAndHooksWriteTheirLines)
{
    ASSERT_NE(buildSession(), nullptr);
    // The probes' lines are debugging chatter: on the debug channel only,
    // never on standard output where a player would see them.
    testsupport::LogTail debug("debug");
    StdoutCapture output;
    core::LuaInterface::runString("Session.sayHi() s:party() s:view('fenwy') s:inventory()");
    EXPECT_EQ(output.text(), "");
    EXPECT_EQ(linesOf(debug.text()),
              (std::vector<std::string>{Log::prefix("debug") + "HI", Log::prefix("debug") + "HELP"}));
}

TEST_F(LuaSessionBindings, PartyMembershipThroughTheAvatarsParty)
{
    LogTail sessionLog("Session");
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(luaInt("s:getPartySize()"), 2);
    core::LuaInterface::runString("s:addToParty('guard')");
    EXPECT_EQ(luaInt("s:getPartySize()"), 3);
    EXPECT_NE(session->getCurrentParty()->getMembers().count("guard"), 0u);
    core::LuaInterface::runString("s:addToParty('ghost')");
    EXPECT_TRUE(sessionLog.contains("ghost"));
    EXPECT_EQ(luaInt("s:getPartySize()"), 3);
    core::LuaInterface::runString("s:removeFromParty('oskel')");
    EXPECT_EQ(luaInt("s:getPartySize()"), 2);
    EXPECT_EQ(session->getCurrentParty()->getMembers().count("oskel"), 0u);

    ASSERT_NE(buildSession("noParty.xml"), nullptr);
    EXPECT_EQ(luaString("type(s:getPartySize())"), "number") << "no avatar: still a number";
    EXPECT_EQ(luaInt("s:getPartySize()"), 0);
    EXPECT_EQ(luaError("s:removeFromParty('oskel') s:addToParty('guard')"), "");
}

TEST_F(LuaSessionBindings, InputCanBeSwitchedOffAndOn)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("s:disableInput()");
    EXPECT_FALSE(session->getLevelInputContext()->dispatch(application::KEY_W, application::KEYHIT));
    core::LuaInterface::runString("s:enableInput()");
    EXPECT_TRUE(session->getLevelInputContext()->dispatch(application::KEY_W, application::KEYHIT));
}

TEST_F(LuaSessionBindings, FightAndYieldStartAndEndCombat)
{
    LogTail tibbet("tibbet");
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("s:fight('bandit;guard;')");
    EXPECT_TRUE(tibbet.contains("fighting bandit;guard;"));
    ASSERT_TRUE(session->getCombatManager().isInCombat());
    EXPECT_EQ(session->getCombatManager().getEnemies()->size(), 2u);
    core::LuaInterface::runString("s:yield()");
    EXPECT_FALSE(session->getCombatManager().isInCombat());
}

TEST_F(LuaSessionBindings, DialogOpensAndEndDialogClosesTheMenu)
{
    LogTail tibbet("tibbet");
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("s:dialog('tests/session/data/dialog.xml', 'start', 'guard')");
    EXPECT_TRUE(tibbet.contains("Opening dialog with filename: tests/session/data/dialog.xml "
                                "AND id: start for entity guard"));
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 1);
    EXPECT_TRUE(shown(sessiontest::dialogMenuOf(session->getDialogManager())));
    core::LuaInterface::runString("s:endDialog()");
    EXPECT_FALSE(shown(sessiontest::dialogMenuOf(session->getDialogManager())));
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0) << "ending from a script frees the next talk";
}

using LuaCharacterBindings = SessionFixture;

TEST_F(LuaCharacterBindings, GettersReadTheCharacter)
{
    ASSERT_NE(sessionInTestA(2, 4), nullptr);
    EXPECT_EQ(luaString("fenwy:getId()"), "fenwy");
    EXPECT_EQ(luaString("fenwy:getName()"), "fenwy");
    EXPECT_EQ(luaInt("fenwy:getStr()"), 5);
    EXPECT_EQ(luaInt("fenwy:getMove()"), 3);
    EXPECT_EQ(luaInt("fenwy:getHP(true)"), 20);
    EXPECT_EQ(luaInt("fenwy:getRow()"), 2);
    EXPECT_EQ(luaInt("fenwy:getCol()"), 4);
    EXPECT_EQ(luaInt("oskel:getStr()"), 4);
}

TEST_F(LuaCharacterBindings, AddHPPassesTheMaxFlagAndTheAmount)
{
    ASSERT_NE(buildSession(), nullptr);
    core::LuaInterface::runString("fenwy:addHP(5, true)");
    EXPECT_EQ(luaInt("fenwy:getHP(true)"), 25);
    EXPECT_EQ(luaInt("fenwy:getHP(false)"), 20);
    core::LuaInterface::runString("fenwy:addHP(-7, false)");
    EXPECT_EQ(luaInt("fenwy:getHP(true)"), 25);
    EXPECT_EQ(luaInt("fenwy:getHP(false)"), 13);
    core::LuaInterface::runString("fenwy:addFatigue(4, true) fenwy:addStr(2) fenwy:addResistance(9)");
    EXPECT_EQ(luaInt("fenwy:getFatigue(true)"), 4);
    EXPECT_EQ(luaInt("fenwy:getFatigue(false)"), 0);
    EXPECT_EQ(luaInt("fenwy:getStr()"), 7);
    EXPECT_EQ(luaInt("fenwy:getResistance()"), 9);
}

TEST_F(LuaCharacterBindings, SetIsInWanderRegionWantsANumber)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    EXPECT_EQ(luaError("guard:setIsInWanderRegion(0)"), "");
    EXPECT_FALSE(session->getEntity("guard")->isInWanderRegion());
    EXPECT_NE(luaError("guard:setIsInWanderRegion(true)").find("number expected"), std::string::npos);
    EXPECT_FALSE(session->getEntity("guard")->isInWanderRegion());
    EXPECT_EQ(luaError("guard:setIsInWanderRegion(1)"), "");
    EXPECT_TRUE(session->getEntity("guard")->isInWanderRegion());
}

TEST_F(LuaCharacterBindings, MovementKillAndWalkProcesses)
{
    core::Session* session = sessionInTestA(3, 3);
    ASSERT_NE(session, nullptr);
    core::LuaInterface::runString("fenwy:setPosition(4, 4)");
    EXPECT_EQ(luaInt("fenwy:getRow()"), 4);
    core::LuaInterface::runString("fenwy:attemptMoveDirection(3)");
    updateTimes(*session, 5);
    EXPECT_EQ(luaInt("fenwy:getCol()"), 3);
    EXPECT_EQ(luaError("fenwy:attemptMoveDirection(9)"), "") << "a bad direction is refused, not fatal";
    EXPECT_EQ(luaInt("fenwy:getCol()"), 3);

    const size_t before = core::ProcessManager2::getProcessManager2()->getProcesses().size();
    core::LuaInterface::runString("guard:moveTo(1, 0)");
    EXPECT_EQ(core::ProcessManager2::getProcessManager2()->getProcesses().size(), before + 1);
    core::ProcessManager2::getProcessManager2()->removeProcess(
        core::ProcessManager2::getProcessManager2()->getProcesses().back());

    core::LuaInterface::runString("bandit:kill()");
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getEntity("bandit"), nullptr);
}

using LuaSoundBindings = SessionFixture;

TEST_F(LuaSoundBindings, PlayIsADotSyntaxStatic)
{
    LogTail tibbet("tibbet");
    EXPECT_EQ(luaError("SoundHandler.play('noSuchSong', 0.5)"), "");
    EXPECT_TRUE(tibbet.contains("Playing song noSuchSong"));
    EXPECT_NE(luaError("SoundHandler:play('noSuchSong', 0.5)").find("string expected"), std::string::npos);
}

namespace
{
// The error of the statement without the place in the test chunk Lua puts
// before it.
std::string luaErrorMessage(const std::string& statement)
{
    const std::string error = luaError(statement);
    const size_t place = error.find("]:1: ");
    return place == std::string::npos ? error : error.substr(place + 5);
}

// What a binding could change: flags, items, quests, the next scene, the
// avatar's statistics and place, the party and the queued processes.
std::string stateOf(core::Session& session)
{
    std::ostringstream out;
    for (const auto& flag : session.story().getFlags())
        out << flag.first << '=' << flag.second << ' ';
    out << "| next " << (session.getNextScene() != nullptr) << " | items " << session.hasItem("potion")
        << session.hasItem("rope") << " | quest " << session.story().questState("q") << " | party "
        << session.getCurrentParty()->getMembers().size() << " | processes "
        << core::ProcessManager2::getProcessManager2()->getProcesses().size() << " |";
    const core::Character* fenwy = session.getAvatar();
    for (int stat : {fenwy->getStr(), fenwy->getDex(), fenwy->getInt(), fenwy->getMove(), fenwy->getHP(true),
                     fenwy->getHP(false), fenwy->getFatigue(true), fenwy->getFatigue(false), fenwy->getAttack(),
                     fenwy->getDodge(), fenwy->getDamagePhysical(), fenwy->getDamageMagical(), fenwy->getDefense(),
                     fenwy->getCritValue(), fenwy->getGlancingValue(), fenwy->getResistance()})
        out << ' ' << stat;
    out << " | at " << fenwy->getPosition().x << ',' << fenwy->getPosition().y;
    return out.str();
}
}

TEST(LuaBindingErrors, EachBadArgumentRaisesLuasErrorAndChangesNothing)
{
    prepare();
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    // The receiver's userdata sits beside it on the stack while the
    // arguments are read, so Lua counts them from 2.
    const struct
    {
        const char* call;
        const char* error;
    } cases[] = {
        {"s:enter(1, 2, 3)", "bad argument #2 to 'enter' (string expected, got number)"},
        {"s:enter('testB', '1', 2)", "bad argument #3 to 'enter' (number expected, got string)"},
        {"s:enter('testB', 1)", "bad argument #4 to 'enter' (number expected, got no value)"},
        {"s:view(false)", "bad argument #2 to 'view' (string expected, got boolean)"},
        {"s:say('fenwy', 'look', 3)", "bad argument #4 to 'say' (string expected, got number)"},
        {"s:read('fenwy', {}, 'guard')", "bad argument #3 to 'read' (string expected, got table)"},
        {"s:has(1)", "bad argument #2 to 'has' (string expected, got number)"},
        {"s:gain(true)", "bad argument #2 to 'gain' (string expected, got boolean)"},
        {"s:lose()", "bad argument #2 to 'lose' (string expected, got no value)"},
        {"s:dialog('file', 'start', 9)", "bad argument #4 to 'dialog' (string expected, got number)"},
        {"s:getflag(1)", "bad argument #2 to 'getflag' (string expected, got number)"},
        {"s:setflag(1, 1)", "bad argument #2 to 'setflag' (string expected, got number)"},
        {"s:setflag('door', true)", "bad argument #3 to 'setflag' (number expected, got boolean)"},
        {"s:setflag('door', 2^40)", "bad argument #3 to 'setflag' (number out of the integer range)"},
        {"s:addToParty(3)", "bad argument #2 to 'addToParty' (string expected, got number)"},
        {"s:removeFromParty(3)", "bad argument #2 to 'removeFromParty' (string expected, got number)"},
        {"s:beginQuest('q', 7)", "bad argument #3 to 'beginQuest' (string expected, got number)"},
        {"s:endQuest(7)", "bad argument #2 to 'endQuest' (string expected, got number)"},
        {"s:questState(nil)", "bad argument #2 to 'questState' (string expected, got nil)"},
        {"fenwy:getHP(1)", "bad argument #2 to 'getHP' (boolean expected, got number)"},
        {"fenwy:getFatigue()", "bad argument #2 to 'getFatigue' (boolean expected, got no value)"},
        {"fenwy:addStr('1')", "bad argument #2 to 'addStr' (number expected, got string)"},
        {"fenwy:addResistance(-2^40)", "bad argument #2 to 'addResistance' (number out of the integer range)"},
        {"fenwy:addHP(5, 1)", "bad argument #3 to 'addHP' (boolean expected, got number)"},
        {"fenwy:addFatigue(true, true)", "bad argument #2 to 'addFatigue' (number expected, got boolean)"},
        {"fenwy:moveTo(1, 'x')", "bad argument #3 to 'moveTo' (number expected, got string)"},
        {"fenwy:setPosition('1', 1)", "bad argument #2 to 'setPosition' (number expected, got string)"},
        {"fenwy:attemptMoveDirection(true)",
         "bad argument #2 to 'attemptMoveDirection' (number expected, got boolean)"},
        {"fenwy:wander('x')", "bad argument #2 to 'wander' (number expected, got string)"},
        {"fenwy:setIsInWanderRegion(true)", "bad argument #2 to 'setIsInWanderRegion' (number expected, got boolean)"},
    };
    const std::string before = stateOf(*session);
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.call);
        EXPECT_EQ(luaErrorMessage(row.call), row.error);
        EXPECT_EQ(stateOf(*session), before);
    }
}

TEST(LuaBindingErrors, EveryMethodRefusesAMissingOrForeignReceiver)
{
    prepare();
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    const std::string before = stateOf(*session);
    const struct
    {
        const luaL_Reg* table;
        const char* object;
        const char* foreign;
        const char* className;
    } kinds[] = {{core::sessionMethods, "s", "fenwy", "Session"}, {core::characterMethods, "fenwy", "s", "Character"}};
    for (const auto& kind : kinds)
        for (const std::string& name : namesOf(kind.table))
        {
            SCOPED_TRACE(name);
            const std::string method = std::string(kind.object) + "." + name;
            EXPECT_EQ(luaErrorMessage(method + "()"),
                      "bad argument #1 to '" + name + "' (table expected, got no value)");
            EXPECT_EQ(luaErrorMessage(method + "(" + kind.foreign + ")"),
                      "bad argument #2 to '" + name + "' (Meta" + kind.className + " expected, got userdata)");
            EXPECT_EQ(stateOf(*session), before);
        }
}

TEST(LuaBindingResults, EachCallReportsOneValueOfItsType)
{
    prepare();
    ASSERT_NE(sessionInTestA(), nullptr);
    const struct
    {
        const char* call;
        const char* type;
    } cases[] = {
        {"fenwy:getId()", "string"},      {"fenwy:getName()", "string"},   {"fenwy:getDodge()", "number"},
        {"fenwy:getHP(false)", "number"}, {"fenwy:getRow()", "number"},    {"s:has('rope')", "boolean"},
        {"s:getflag('door')", "number"},  {"s:questState('q')", "number"}, {"s:combatStage()", "string"},
        {"s:getPartySize()", "number"},
    };
    for (const auto& row : cases)
    {
        SCOPED_TRACE(row.call);
        EXPECT_EQ(luaString(std::string("type(") + row.call + ")"), row.type);
        EXPECT_EQ(luaInt(std::string("select('#', ") + row.call + ")"), 1);
    }
    // Calls with nothing to report, or whose result scripts were never
    // given, still report exactly one value.
    for (const char* call :
         {"fenwy:addStr(0)", "fenwy:addHP(0, false)", "fenwy:wander(0)", "s:setflag('door', 1)",
          "s:beginQuest('q', 'Quest')", "s:endQuest('q')", "s:addToParty('ghost')", "s:close()", "s:enableInput()"})
    {
        SCOPED_TRACE(call);
        EXPECT_EQ(luaInt(std::string("select('#', ") + call + ")"), 1);
    }
}
