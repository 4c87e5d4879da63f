#pragma once

#include <lua.hpp>

namespace core
{
// string.find, string.match, string.gmatch and string.gsub with Lua's own
// pattern language, matched by a matcher that looks at the clock as it
// goes. Lua's matcher backtracks inside C, where the instruction hook never
// runs: a pattern such as ("a*"):rep(30) .. "b" against a line of thirty
// "a"s would keep the game there for ages. This one stops with the script
// time-limit error instead.
class LuaPatterns
{
public:
    // Matching steps between two looks at the clock.
    static const unsigned long STEPS_PER_CLOCK_CHECK;

    // Replaces the four functions in the string table on top of the stack.
    static void install(lua_State* ls);
};
}
