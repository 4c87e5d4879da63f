#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <lua.hpp>

#include "LuaTestSupport.h"
#include "script/LuaInterface.h"

// The engine matches Lua patterns itself, so that a pathological pattern
// meets the script time limit. Every case here runs in the engine's state
// and in a plain Lua state with Lua's own string library: results and error
// messages must be the same.
using core::LuaInterface;

namespace
{
const char* const SHOW = "local function show(...) local t = {} for i = 1, select('#', ...) do"
                         " t[i] = tostring((select(i, ...))) end return table.concat(t, '|') end ";

// What the expression gives, or the error it raises, as one string.
std::string outcome(lua_State* ls, const std::string& expression)
{
    const std::string chunk = std::string(SHOW) + "return show(pcall(function() return " + expression + " end))";
    if (luaL_loadstring(ls, chunk.c_str()) != LUA_OK || lua_pcall(ls, 0, 1, 0) != LUA_OK)
    {
        const std::string failure = std::string("chunk failed: ") + lua_tostring(ls, -1);
        lua_pop(ls, 1);
        return failure;
    }
    const std::string text = lua_tostring(ls, -1);
    lua_pop(ls, 1);
    return text;
}

class PlainLua
{
public:
    PlainLua() : _ls(luaL_newstate())
    {
        luaL_requiref(_ls, "_G", luaopen_base, 1);
        luaL_requiref(_ls, LUA_STRLIBNAME, luaopen_string, 1);
        luaL_requiref(_ls, LUA_TABLIBNAME, luaopen_table, 1);
        lua_settop(_ls, 0);
    }
    ~PlainLua() { lua_close(_ls); }
    PlainLua(const PlainLua&) = delete;
    PlainLua& operator=(const PlainLua&) = delete;
    lua_State* state() const { return _ls; }

private:
    lua_State* _ls;
};

const char* const CASES[] = {
    // find
    "('hello world'):find('o w')",
    "('hello'):find('l+')",
    "('hello'):find('l', 1, true)",
    "('a.b'):find('.', 1, true)",
    "('a.b'):find('%.')",
    "('a+b'):find('+', 1, true)",
    "('hello'):find('', 10)",
    "('hello'):find('', 6)",
    "('hello'):find('', -2)",
    "('hello'):find('l', -100)",
    "('abc'):find('b', -1)",
    "('abc'):find('^b')",
    "('abc'):find('^a')",
    "('  x = 12 '):find('^%s*(%w+)%s*=%s*(%d+)')",
    "('key=val'):find('(%w+)=(%w+)')",
    "('abc'):find('()b()')",
    "('THE (quick) fox'):find('%((%a+)%)')",
    "('no match'):find('xyz')",
    "('aXb'):find('%u')",
    "('a\\0b'):find('\\0', 1, true)",
    // match
    "('f(a(b)c)d'):match('%b()')",
    "('f(a(b'):match('%b()')",
    "('THE (quick) fox'):match('%f[%a]%a+')",
    "('THE (quick) fox'):match('%f[%a]%a+', 5)",
    "('hello hello'):match('(l+)o %a*%1')",
    "('aaa'):match('a-b')",
    "('aaab'):match('a-b')",
    "('ab'):match('a?b')",
    "('b'):match('a?b')",
    "('[x]'):match('[%]]')",
    "('x-y'):match('[a-z]-')",
    "('x^y'):match('[%^]')",
    "('abc123'):match('[^%d]+')",
    "('hello$'):match('o%$')",
    "('o$x'):match('o$x')",
    "('hello'):match('o$')",
    "('a\\0b'):match('a%zb')",
    "(''):match('x*')",
    "('abc'):match('(a)(b)(c)')",
    "('2024-01-05'):match('(%d+)-(%d+)-(%d+)')",
    "('  trim  '):match('^%s*(.-)%s*$')",
    "('A1 b2'):match('%a%d%s%l%w')",
    "('x'):match('[]]')",
    "('a]'):match('[]a]+')",
    "('%'):match('%%')",
    "('abc'):match('.-b')",
    "('abc'):match('.*')",
    "('abcabc'):match('(a)(.-)%1')",
    "('ab'):match('()a()b()')",
    "('hello'):match('h(e)(l+)o')",
    "('--x'):match('^%-%-(.*)')",
    "('a.b'):match('^(.-)%.(.*)$')",
    // malformed patterns
    "('a'):find('%')",
    "('a'):find('[a')",
    "('a'):find('(a')",
    "('a'):find('a)')",
    "('a'):find('%1')",
    "('a'):find('%b')",
    "('a'):find('%fa')",
    "('aa'):match('(a)%2')",
    "('a'):find(('('):rep(40))",
    // gmatch
    "(function() local r = {} for k, v in ('a=1, b=2'):gmatch('(%w+)=(%w+)') do r[#r + 1] = k .. v end"
    " return table.concat(r, ',') end)()",
    "(function() local r = {} for w in ('abc'):gmatch('') do r[#r + 1] = '<' .. w .. '>' end"
    " return table.concat(r) end)()",
    "(function() local r = {} for w in ('hello world from lua'):gmatch('%a+') do r[#r + 1] = w end"
    " return table.concat(r, '/') end)()",
    "(function() local r = {} for p in ('abc'):gmatch('()') do r[#r + 1] = p end return table.concat(r, ',') end)()",
    "(function() local r = {} for w in ('^a^b'):gmatch('^.') do r[#r + 1] = w end return table.concat(r, ',') end)()",
    // gsub
    "('hello world'):gsub('o', '0')",
    "('hello world'):gsub('(o)', '[%1]')",
    "('hello'):gsub('', '-')",
    "('hello world'):gsub('%w+', '%0 %0', 1)",
    "('abc'):gsub('%w', {a = '1', b = true})",
    "('abc'):gsub('%w', function(c) if c == 'b' then return false end return c:upper() end)",
    "('abc'):gsub('^a', 'x')",
    "('abc'):gsub('b', '%2')",
    "('abc'):gsub('b', '%x')",
    "('abc'):gsub('b', 5)",
    "('$1'):gsub('%$', '%%')",
    "('abc'):gsub('%w', {a = {}})",
    "('abc'):gsub('b', true)",
    "('abc'):gsub('', '')",
    "('x y z'):gsub('%s', '', 0)",
    "('x y z'):gsub('%s', '', -1)",
    "('hello world'):gsub('(%w+) (%w+)', '%2 %1')",
    "('abc'):gsub('(b)', function(b) return b .. b end)",
    "('abc'):gsub('()', '%1')",
};
}

TEST(LuaPatterns, ResultsAndErrorsAreLuasOwn)
{
    PlainLua plain;
    for (const char* expression : CASES)
    {
        SCOPED_TRACE(expression);
        const std::string expected = outcome(plain.state(), expression);
        EXPECT_EQ(outcome(LuaInterface::getState(), expression), expected);
        EXPECT_EQ(expected.find("chunk failed"), std::string::npos) << expected;
    }
}

TEST(LuaPatterns, PathologicalPatternsMeetTheTimeLimit)
{
    const double seconds = LuaInterface::getScriptTimeLimit();
    LuaInterface::setScriptTimeLimit(0.05);
    ErrorCapture errors;
    const char* const runaways[] = {
        "x = (('a'):rep(30)):find(('a*'):rep(30) .. 'b')",
        "x = (('a'):rep(30)):match(('a-'):rep(30) .. 'b')",
        "x = (('a'):rep(40)):gsub(('a?'):rep(40) .. 'b', '')",
        "for w in (('a'):rep(40)):gmatch(('a*'):rep(40) .. 'b') do end",
        "x = (('a'):rep(1e6)):find('a*a*a*b')",
    };
    for (const char* runaway : runaways)
    {
        SCOPED_TRACE(runaway);
        errors.clear();
        LuaInterface::runString(runaway, "pattern");
        EXPECT_NE(errors.text().find("pattern ran longer than"), std::string::npos) << errors.text();
    }
    LuaInterface::setScriptTimeLimit(seconds);
    // A plain search of a long near miss is quick, as is a sane pattern.
    EXPECT_TRUE(LuaInterface::runBooleanString(
        "local hay = ('a'):rep(1e6) return hay:find(('a'):rep(5e5) .. 'b', 1, true) == nil"
        " and hay:find('^a+$') == 1"));
}
