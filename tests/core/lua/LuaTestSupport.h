#pragma once

#include <iostream>
#include <sstream>
#include <string>

#include "Log/Log.h"
#include "core/LuaInterface.h"

// Collects the error log for the lifetime of the object.
class ErrorCapture
{
public:
    ErrorCapture() { Log::setErrorStream(&_out); }
    ~ErrorCapture() { Log::setErrorStream(&std::cout); }
    std::string text() const { return _out.str(); }
    void clear() { _out.str(""); }

private:
    std::ostringstream _out;
};

// Path of a test script as seen from the game's script directory.
inline std::string testScript(const std::string& name)
{
    return "../../tests/core/lua/data/" + name;
}

// The global's value as Lua's tostring shows it, "<nil>" when unset.
inline std::string globalAsString(const std::string& name)
{
    lua_State* ls = core::LuaInterface::getState();
    const int top = lua_gettop(ls);
    lua_getglobal(ls, name.c_str());
    std::string value = lua_isnil(ls, -1) ? "<nil>" : luaL_tolstring(ls, -1, nullptr);
    lua_settop(ls, top);
    return value;
}
