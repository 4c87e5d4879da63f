// The engine's pattern matcher (which watches the script clock) beside Lua's
// own string library, on the same chunks: a gsub over a long text, a
// gmatch of its words and finds of a short key=value pattern.
// Run: build/bench_lua_patterns

#include <benchmark/benchmark.h>

#include <lua.hpp>

#include "script/LuaInterface.h"

namespace
{
const char* const SETUP = "text = ('The quick brown fox jumps over the lazy dog. '):rep(2000)"
                          " line = '  speed = 1200  '";

const char* const WORKLOADS[] = {
    "return (text:gsub('%a+', '<%0>'))",
    "local n = 0 for w in text:gmatch('%a+') do n = n + 1 end return n",
    "local k for i = 1, 2000 do k = line:match('^%s*(%w+)%s*=%s*(%d+)') end return k",
};

lua_State* plainState()
{
    lua_State* ls = luaL_newstate();
    luaL_requiref(ls, "_G", luaopen_base, 1);
    luaL_requiref(ls, LUA_STRLIBNAME, luaopen_string, 1);
    lua_settop(ls, 0);
    return ls;
}

void run(benchmark::State& state, lua_State* ls)
{
    luaL_dostring(ls, SETUP);
    const char* chunk = WORKLOADS[state.range(0)];
    for (auto _ : state)
    {
        if (luaL_dostring(ls, chunk) != LUA_OK)
        {
            state.SkipWithError(lua_tostring(ls, -1));
            break;
        }
        lua_settop(ls, 0);
    }
}

void BM_EngineMatcher(benchmark::State& state)
{
    run(state, core::LuaInterface::getState());
}

void BM_LuasOwnMatcher(benchmark::State& state)
{
    lua_State* ls = plainState();
    run(state, ls);
    lua_close(ls);
}

BENCHMARK(BM_EngineMatcher)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LuasOwnMatcher)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_MAIN();
