#include "support/LuaHelpers.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include "script/LuaInterface.h"
#include "script/ScriptFiles.h"

namespace testsupport
{
namespace
{
// Leaves the expression's value on top of the stack; the caller pops it.
bool evaluate(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    const std::string chunk = "return " + expression;
    if (luaL_loadstring(ls, chunk.c_str()) != LUA_OK || lua_pcall(ls, 0, 1, 0) != LUA_OK)
    {
        const char* message = lua_tostring(ls, -1);
        ADD_FAILURE() << "Lua error in " << expression << ": " << (message ? message : "?");
        return false;
    }
    return true;
}
}

int luaInt(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    const bool evaluated = evaluate(expression);
    const int value = evaluated ? static_cast<int>(lua_tointeger(ls, -1)) : -9999;
    lua_pop(ls, 1);
    return value;
}

std::string luaString(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    std::string value;
    if (evaluate(expression) && lua_isstring(ls, -1))
        value = lua_tostring(ls, -1);
    lua_pop(ls, 1);
    return value;
}

bool luaIsNil(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    const bool isNil = evaluate(expression) && lua_isnil(ls, -1);
    lua_pop(ls, 1);
    return isNil;
}

std::string globalAsString(const std::string& name)
{
    lua_State* ls = core::LuaInterface::getState();
    const int top = lua_gettop(ls);
    lua_getglobal(ls, name.c_str());
    std::string value = lua_isnil(ls, -1) ? "<nil>" : luaL_tolstring(ls, -1, nullptr);
    lua_settop(ls, top);
    return value;
}

void clearLuaGlobal(const std::string& name)
{
    core::LuaInterface::clearAlias(name);
}

ScriptFolder::ScriptFolder(const std::string& folder) : _old(core::ScriptFiles::folder())
{
    core::ScriptFiles::setFolder(folder);
}

ScriptFolder::~ScriptFolder()
{
    core::ScriptFiles::setFolder(_old);
}
}
