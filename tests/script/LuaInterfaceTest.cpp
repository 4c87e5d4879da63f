#include <gtest/gtest.h>

#include <list>
#include <memory>

#include "LuaTestSupport.h"
#include "world/Entity.h"
#include "script/LuaInterface.h"
#include "session/LuaBindings.h"

using core::LuaInterface;

namespace
{
int stackHeight()
{
    return lua_gettop(LuaInterface::getState());
}

// A small engine object published to Lua, like the session is.
struct Thing
{
    int value;
    int calls;
};
}

template <>
struct core::LuaClass<Thing>
{
    static const char* name() { return "Thing"; }
};

namespace
{

int thingGet(lua_State* ls)
{
    int pos = 1;
    Thing* thing = LuaInterface::initLuaCall<Thing>(ls, pos);
    ++thing->calls;
    lua_pushinteger(ls, thing->value);
    return 1;
}

int thingAdd(lua_State* ls)
{
    int pos = 1;
    Thing* thing = LuaInterface::initLuaCall<Thing>(ls, pos);
    const int amount = LuaInterface::getLuaInt(ls, pos);
    const bool twice = LuaInterface::getLuaBool(ls, pos);
    thing->value += twice ? 2 * amount : amount;
    ++thing->calls;
    lua_pushinteger(ls, pos);
    return 1;
}

int thingMake(lua_State* ls)
{
    int pos = 1;
    const std::string name = LuaInterface::getLuaString(ls, pos);
    const double scale = LuaInterface::getLuaDouble(ls, pos);
    lua_pushstring(ls, (name + ":" + std::to_string(static_cast<int>(scale * 10))).c_str());
    return 1;
}

const luaL_Reg thingStatics[] = {{"make", thingMake}, {nullptr, nullptr}};
const luaL_Reg thingMethods[] = {{"get", thingGet}, {"add", thingAdd}, {nullptr, nullptr}};

// Builds a Thing the way the engine binds its objects and publishes it as
// the global `name`.
Thing* bindThing(const std::string& name, int value)
{
    LuaInterface::addClass("Thing", thingStatics, thingMethods);
    // Kept for the whole run, as the engine keeps the objects it publishes.
    static std::list<Thing> things;
    things.push_back(Thing{value, 0});
    Thing* thing = &things.back();
    LuaInterface::pushObjectOfClass("Thing", thing);
    const int ref = LuaInterface::getReference();
    LuaInterface::registerAlias(ref, name);
    return thing;
}
}

TEST(LuaInterface, OpensOnlyTheSafeLibraries)
{
    EXPECT_TRUE(
        LuaInterface::runBooleanString("return type(print) == 'function'"
                                       " and type(table.insert) == 'function' and type(string.format) == 'function'"
                                       " and type(math.floor) == 'function' and type(os.time) == 'function'"
                                       " and type(require) == 'function'"));
    ErrorCapture errors;
    EXPECT_TRUE(LuaInterface::runBooleanString("return package == nil and debug == nil"
                                               " and coroutine == nil and bit32 == nil and string.dump == nil"
                                               " and not pcall(function() return io.write end)"
                                               " and not pcall(function() return os.execute end)"));
    EXPECT_EQ(errors.text(), "");
}

TEST(LuaInterface, InitRegistersTheScriptVisibleClasses)
{
    core::initLuaBindings();
    EXPECT_TRUE(LuaInterface::runBooleanString("return type(Session) == 'table' and type(Character) == 'table'"
                                               " and type(SoundHandler) == 'table' and next(Character) == nil"));

    lua_State* ls = LuaInterface::getState();
    const int top = stackHeight();
    for (const char* name : {"MetaSession", "MetaCharacter", "MetaSoundHandler"})
    {
        luaL_getmetatable(ls, name);
        ASSERT_TRUE(lua_istable(ls, -1)) << name;
        // Methods are found in the metatable itself, through an __index
        // that also answers "core_" from the registry; scripts see the
        // metatable but cannot swap it.
        lua_getfield(ls, -1, "__index");
        EXPECT_TRUE(lua_iscfunction(ls, -1)) << name;
        lua_pop(ls, 1);
        lua_getfield(ls, -1, "__metatable");
        EXPECT_TRUE(lua_rawequal(ls, -1, -2)) << name << " must protect itself";
        lua_settop(ls, top);
    }
    // The global is a separate table from the metatable.
    luaL_getmetatable(ls, "MetaSession");
    lua_getglobal(ls, "Session");
    EXPECT_FALSE(lua_rawequal(ls, -1, -2));
    lua_settop(ls, top);
}

TEST(LuaInterface, ObjectTablesHoldTheEngineObjectInTheirUserdata)
{
    Thing* thing = bindThing("thing", 42);
    const int before = stackHeight();
    EXPECT_TRUE(LuaInterface::runBooleanString("return type(thing) == 'table' and type(thing.core_) == 'userdata'"
                                               " and getmetatable(thing) == getmetatable(thing.core_)"
                                               " and thing.get == getmetatable(thing).get"));
    EXPECT_TRUE(LuaInterface::runBooleanString("return thing:get() == 42"));
    EXPECT_TRUE(LuaInterface::runBooleanString("return thing:add(4, true) == 5"));
    EXPECT_EQ(thing->value, 50);
    EXPECT_EQ(thing->calls, 2);
    EXPECT_TRUE(LuaInterface::runBooleanString("return Thing.make('x', 1.5) == 'x:15'"));
    EXPECT_EQ(stackHeight(), before);
}

TEST(LuaInterface, BadArgumentsEndTheRunBeforeTheEngineIsCalled)
{
    Thing* thing = bindThing("strict", 7);
    ErrorCapture errors;
    // Dot syntax hands no receiver: the table check fails.
    {
        ScriptFolder scripts(TEST_SCRIPTS);
        LuaInterface::runScript(testScript("dotCall.lua"));
    }
    EXPECT_NE(errors.text().find("bad argument #1"), std::string::npos) << errors.text();
    EXPECT_NE(errors.text().find("table expected"), std::string::npos) << errors.text();
    EXPECT_EQ(globalAsString("afterDotCall"), "<nil>");

    // Strict types: no number where a string goes, no string or boolean
    // where a number goes.
    EXPECT_FALSE(LuaInterface::runBooleanString("strict:add('3', true) return true"));
    EXPECT_FALSE(LuaInterface::runBooleanString("strict:add(3, 1) return true"));
    EXPECT_FALSE(LuaInterface::runBooleanString("strict:add(3) return true"));
    EXPECT_FALSE(LuaInterface::runBooleanString("Thing.make(5, 1) return true"));
    EXPECT_FALSE(LuaInterface::runBooleanString("Thing.make('a', '1') return true"));

    // A receiver of another class, or a table dressed up with some other
    // userdata, must never be taken for a Thing's memory.
    core::initLuaBindings();
    static Thing impostor{1000, 0};
    LuaInterface::pushObjectOfClass("Character", &impostor);
    LuaInterface::registerAlias(LuaInterface::getReference(), "impostor");
    for (const char* receiver : {"impostor", "{core_ = io.stdout}", "{core_ = impostor.core_}"})
    {
        SCOPED_TRACE(receiver);
        const std::string call =
            std::string("ok, message = pcall(strict.add, ") + receiver + ", 1, false) refused = not ok and message";
        LuaInterface::runString(call);
        EXPECT_NE(globalAsString("refused").find("MetaThing expected"), std::string::npos) << globalAsString("refused");
    }
    EXPECT_EQ(impostor.calls, 0);
    EXPECT_EQ(thing->value, 7);
    EXPECT_EQ(thing->calls, 0);
}

TEST(LuaInterface, AliasesAreReplacedClearedAndRefusedWithoutAReference)
{
    bindThing("first", 1);
    Thing* second = bindThing("second", 2);
    lua_State* ls = LuaInterface::getState();
    lua_getglobal(ls, "second");
    const int ref = LuaInterface::getReference();
    LuaInterface::registerAlias(ref, "first");
    EXPECT_TRUE(LuaInterface::runBooleanString("return first == second and first:get() == 2"));
    EXPECT_EQ(second->calls, 1);

    LuaInterface::clearAlias("first");
    EXPECT_EQ(globalAsString("first"), "<nil>");

    ErrorCapture errors;
    LuaInterface::registerGlobal("set", "x");
    LuaInterface::registerAlias(-2, "x");
    EXPECT_NE(errors.text().find("LuaInterface::registerAlias - Attempted to register entity with "
                                 "no Lua reference as x"),
              std::string::npos)
        << errors.text();
    EXPECT_EQ(globalAsString("x"), "<nil>");
}

TEST(LuaInterface, GlobalsAreStringsAndIntegers)
{
    LuaInterface::registerGlobal(std::string("5"), "row");
    LuaInterface::registerGlobal(12, "count");
    EXPECT_TRUE(LuaInterface::runBooleanString("return row == '5' and count == 12"));
    EXPECT_TRUE(LuaInterface::runBooleanString("return type(row) == 'string'"));

    // A script guarding the global table must not bring the engine down
    // when the engine publishes a global outside any protected call.
    LuaInterface::runString("setmetatable(_G, {__newindex = function() error('no new globals') end})");
    LuaInterface::registerGlobal(std::string("town"), "guardedTarget");
    LuaInterface::registerGlobal(3, "guardedRow");
    LuaInterface::clearAlias("row");
    EXPECT_TRUE(LuaInterface::runBooleanString("return guardedTarget == 'town' and guardedRow == 3 and row == nil"));
    LuaInterface::runString("setmetatable(_G, nil)");
}

TEST(LuaInterface, BooleanStringsMustReturnABoolean)
{
    ErrorCapture errors;
    EXPECT_TRUE(LuaInterface::runBooleanString("return true"));
    EXPECT_FALSE(LuaInterface::runBooleanString("return false"));
    EXPECT_TRUE(LuaInterface::runBooleanString("return 1, true"));
    EXPECT_EQ(errors.text(), "");

    EXPECT_FALSE(LuaInterface::runBooleanString("true"));
    EXPECT_NE(errors.text().find("LuaInterface::runBooleanString - Script\n\"true\"\n did not "
                                 "return a boolean value"),
              std::string::npos)
        << errors.text();
    errors.clear();
    EXPECT_FALSE(LuaInterface::runBooleanString("return 1"));
    EXPECT_NE(errors.text().find("Script\n\"return 1\"\n did not return a boolean value"), std::string::npos);
    errors.clear();
    EXPECT_FALSE(LuaInterface::runBooleanString("local a = 1"));
    EXPECT_FALSE(LuaInterface::runBooleanString("error('boom')"));
    EXPECT_FALSE(LuaInterface::runBooleanString("error(true)"));
    EXPECT_FALSE(LuaInterface::runBooleanString("return nil"));
    EXPECT_FALSE(LuaInterface::runBooleanString("return 'true'"));
    EXPECT_EQ(LuaInterface::runBooleanString(""), false);
}

TEST(LuaInterface, ScriptFilesRunFromTheScriptDirectory)
{
    ErrorCapture errors;
    LuaInterface::runScript("doesNotExist.lua");
    EXPECT_NE(errors.text().find("cannot open ./assets/scripts/doesNotExist.lua"), std::string::npos) << errors.text();
    errors.clear();
    ScriptFolder scripts(TEST_SCRIPTS);
    LuaInterface::runScript(testScript("setsGlobal.lua"));
    EXPECT_EQ(errors.text(), "");
    EXPECT_EQ(globalAsString("scriptRuns"), "1");
    LuaInterface::runScript(testScript("syntaxError.lua"));
    EXPECT_NE(errors.text().find("syntaxError.lua"), std::string::npos) << errors.text();
    errors.clear();
    LuaInterface::runScript(testScript("fails.lua"));
    EXPECT_NE(errors.text().find("deliberate failure"), std::string::npos) << errors.text();
}

TEST(LuaInterface, StringErrorsAreLoggedOneLineEach)
{
    ErrorCapture errors;
    LuaInterface::runString("silentValue = 3");
    EXPECT_EQ(errors.text(), "");
    LuaInterface::runString("this does not compile");
    LuaInterface::runString("error('runtime')");
    EXPECT_NE(errors.text().find("[string \"this does not compile\"]:1: syntax error"), std::string::npos)
        << errors.text();
    EXPECT_NE(errors.text().find("[string \"error('runtime')\"]:1: runtime\n"), std::string::npos) << errors.text();
    EXPECT_EQ(globalAsString("silentValue"), "3");
}

TEST(LuaInterface, RunsLeaveTheStackAsTheyFoundIt)
{
    bindThing("stackThing", 1);
    LuaInterface::registerGlobal(0, "failingRuns");
    ErrorCapture errors;
    ScriptFolder scripts(TEST_SCRIPTS);
    lua_State* ls = LuaInterface::getState();
    lua_pushinteger(ls, 99);
    const int before = stackHeight();
    for (int i = 0; i < 1000; ++i)
    {
        LuaInterface::runScript(testScript("setsGlobal.lua"));
        LuaInterface::runScript(testScript("fails.lua"));
        LuaInterface::runScript("missing.lua");
        LuaInterface::runString("return 1, 2, 3");
        LuaInterface::runString("error('x')");
        LuaInterface::runString("not lua at all");
        LuaInterface::runString("stackThing.get()");
        LuaInterface::runBooleanString("return true, false");
        LuaInterface::runBooleanString("return 1");
        LuaInterface::runBooleanString("error('y')");
        LuaInterface::runBooleanString("broken (");
        LuaInterface::runBooleanString("local x = 1");
        ASSERT_EQ(stackHeight(), before) << "after round " << i;
    }
    EXPECT_EQ(lua_tointeger(ls, -1), 99);
    lua_pop(ls, 1);
    EXPECT_EQ(globalAsString("failingRuns"), "1000");
}

TEST(LuaInterface, BindEntityStoresTheReferenceInTheEntity)
{
    core::initLuaBindings();
    const int before = stackHeight();
    auto owned = std::make_unique<core::Entity>();
    core::Entity* hero = owned.get();
    LuaInterface::pushObjectOfClass("Character", hero);
    EXPECT_EQ(stackHeight(), before + 1);
    EXPECT_EQ(hero->getLuaRef(), -2);
    LuaInterface::bindEntity(hero);
    EXPECT_EQ(stackHeight(), before);
    EXPECT_NE(hero->getLuaRef(), -2);

    LuaInterface::registerAlias(hero->getLuaRef(), "hero");
    lua_State* ls = LuaInterface::getState();
    lua_getglobal(ls, "hero");
    lua_getfield(ls, -1, "core_");
    // The userdata is a handle to the entity, not the entity's memory.
    ASSERT_NE(lua_touserdata(ls, -1), nullptr);
    EXPECT_NE(lua_touserdata(ls, -1), static_cast<void*>(hero));
    EXPECT_EQ(*static_cast<void**>(lua_touserdata(ls, -1)), static_cast<void*>(hero));
    lua_settop(ls, before);
    luaL_getmetatable(ls, "MetaCharacter");
    lua_getglobal(ls, "hero");
    ASSERT_TRUE(lua_getmetatable(ls, -1));
    EXPECT_TRUE(lua_rawequal(ls, -1, -3));
    lua_settop(ls, before);

    // An entity never bound has no Lua identity to publish.
    core::Entity unbound;
    ErrorCapture errors;
    LuaInterface::registerAlias(unbound.getLuaRef(), "ghost");
    EXPECT_NE(errors.text().find("no Lua reference as ghost"), std::string::npos);
    EXPECT_EQ(globalAsString("ghost"), "<nil>");
}
