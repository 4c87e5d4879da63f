#include "script/LuaPatterns.h"

#include <cctype>
#include <cstddef>
#include <cstring>

#include "script/LuaInterface.h"

// The pattern language and the results are exactly Lua 5.2's; only the
// matcher counts its steps. Every function here raises errors with
// longjmp, so nothing in this file holds an object with a destructor.
namespace core
{
const unsigned long LuaPatterns::STEPS_PER_CLOCK_CHECK = 1UL << 20;

namespace
{
const int MAX_CAPTURES = 32;
// Nested match calls allowed, as in Lua: deeper patterns are "too complex".
const int MAX_MATCH_DEPTH = 200;
const std::ptrdiff_t CAPTURE_UNFINISHED = -1;
const std::ptrdiff_t CAPTURE_POSITION = -2;
const char ESCAPE = '%';
const char* const SPECIALS = "^$*+?.([%-";

struct MatchState
{
    const char* sourceStart;
    const char* sourceEnd;
    const char* patternEnd;
    lua_State* ls;
    int depth;
    int level;
    unsigned long steps;
    unsigned long nextClockCheck;
    struct
    {
        const char* start;
        std::ptrdiff_t length;
    } capture[MAX_CAPTURES];
};

int byte(char c)
{
    return static_cast<unsigned char>(c);
}

void prepare(MatchState& ms, lua_State* ls, const char* source, std::size_t sourceLength, const char* pattern,
             std::size_t patternLength)
{
    ms.ls = ls;
    ms.sourceStart = source;
    ms.sourceEnd = source + sourceLength;
    ms.patternEnd = pattern + patternLength;
    ms.steps = 0;
    ms.nextClockCheck = LuaPatterns::STEPS_PER_CLOCK_CHECK;
}

// Every call of match, every character scanned and every byte compared is
// a step: backtracking passes here, and the clock is read every so many.
void countSteps(MatchState& ms, unsigned long steps)
{
    ms.steps += steps;
    if (ms.steps < ms.nextClockCheck)
        return;
    ms.nextClockCheck = ms.steps + LuaPatterns::STEPS_PER_CLOCK_CHECK;
    LuaInterface::checkTimeLimit(ms.ls);
}

void restart(MatchState& ms)
{
    ms.level = 0;
    ms.depth = MAX_MATCH_DEPTH;
}

const char* match(MatchState& ms, const char* s, const char* p);

int checkCapture(MatchState& ms, int index)
{
    index -= '1';
    if (index < 0 || index >= ms.level || ms.capture[index].length == CAPTURE_UNFINISHED)
        return luaL_error(ms.ls, "invalid capture index %%%d", index + 1);
    return index;
}

int captureToClose(MatchState& ms)
{
    for (int level = ms.level - 1; level >= 0; --level)
        if (ms.capture[level].length == CAPTURE_UNFINISHED)
            return level;
    return luaL_error(ms.ls, "invalid pattern capture");
}

const char* classEnd(MatchState& ms, const char* p)
{
    switch (*p++)
    {
    case ESCAPE:
        if (p == ms.patternEnd)
            luaL_error(ms.ls, "malformed pattern (ends with '%%')");
        return p + 1;
    case '[':
        if (*p == '^')
            ++p;
        do
        {
            if (p == ms.patternEnd)
                luaL_error(ms.ls, "malformed pattern (missing ']')");
            if (*(p++) == ESCAPE && p < ms.patternEnd)
                ++p;
        } while (*p != ']');
        return p + 1;
    default:
        return p;
    }
}

bool matchClass(int c, int cl)
{
    bool result;
    switch (std::tolower(cl))
    {
    case 'a':
        result = std::isalpha(c);
        break;
    case 'c':
        result = std::iscntrl(c);
        break;
    case 'd':
        result = std::isdigit(c);
        break;
    case 'g':
        result = std::isgraph(c);
        break;
    case 'l':
        result = std::islower(c);
        break;
    case 'p':
        result = std::ispunct(c);
        break;
    case 's':
        result = std::isspace(c);
        break;
    case 'u':
        result = std::isupper(c);
        break;
    case 'w':
        result = std::isalnum(c);
        break;
    case 'x':
        result = std::isxdigit(c);
        break;
    case 'z':
        result = c == 0;
        break;
    default:
        return cl == c;
    }
    return std::isupper(cl) ? !result : result;
}

// p points at the '[' of the class, end at its ']'.
bool matchBracketClass(int c, const char* p, const char* end)
{
    bool found = true;
    if (*(p + 1) == '^')
    {
        found = false;
        ++p;
    }
    while (++p < end)
    {
        if (*p == ESCAPE)
        {
            ++p;
            if (matchClass(c, byte(*p)))
                return found;
        }
        else if (*(p + 1) == '-' && p + 2 < end)
        {
            p += 2;
            if (byte(*(p - 2)) <= c && c <= byte(*p))
                return found;
        }
        else if (byte(*p) == c)
        {
            return found;
        }
    }
    return !found;
}

bool singleMatch(MatchState& ms, const char* s, const char* p, const char* ep)
{
    if (s >= ms.sourceEnd)
        return false;
    const int c = byte(*s);
    switch (*p)
    {
    case '.':
        return true;
    case ESCAPE:
        return matchClass(c, byte(*(p + 1)));
    case '[':
        return matchBracketClass(c, p, ep - 1);
    default:
        return byte(*p) == c;
    }
}

const char* matchBalance(MatchState& ms, const char* s, const char* p)
{
    if (p >= ms.patternEnd - 1)
        luaL_error(ms.ls, "malformed pattern (missing arguments to '%%b')");
    if (s >= ms.sourceEnd || *s != *p)
        return nullptr;
    const char open = *p;
    const char close = *(p + 1);
    int depth = 1;
    const char* start = s;
    while (++s < ms.sourceEnd)
    {
        if ((s - start) % 4096 == 0)
            countSteps(ms, 4096);
        if (*s == close)
        {
            if (--depth == 0)
                return s + 1;
        }
        else if (*s == open)
        {
            ++depth;
        }
    }
    return nullptr;
}

const char* maxExpand(MatchState& ms, const char* s, const char* p, const char* ep)
{
    std::ptrdiff_t count = 0;
    while (singleMatch(ms, s + count, p, ep))
        ++count;
    countSteps(ms, static_cast<unsigned long>(count));
    for (; count >= 0; --count)
        if (const char* result = match(ms, s + count, ep + 1))
            return result;
    return nullptr;
}

const char* minExpand(MatchState& ms, const char* s, const char* p, const char* ep)
{
    for (;;)
    {
        if (const char* result = match(ms, s, ep + 1))
            return result;
        if (!singleMatch(ms, s, p, ep))
            return nullptr;
        ++s;
    }
}

const char* startCapture(MatchState& ms, const char* s, const char* p, std::ptrdiff_t what)
{
    if (ms.level >= MAX_CAPTURES)
        luaL_error(ms.ls, "too many captures");
    ms.capture[ms.level].start = s;
    ms.capture[ms.level].length = what;
    ++ms.level;
    const char* result = match(ms, s, p);
    if (!result)
        --ms.level;
    return result;
}

const char* endCapture(MatchState& ms, const char* s, const char* p)
{
    const int level = captureToClose(ms);
    ms.capture[level].length = s - ms.capture[level].start;
    const char* result = match(ms, s, p);
    if (!result)
        ms.capture[level].length = CAPTURE_UNFINISHED;
    return result;
}

const char* matchCapture(MatchState& ms, const char* s, int index)
{
    index = checkCapture(ms, index);
    const std::size_t length = static_cast<std::size_t>(ms.capture[index].length);
    countSteps(ms, length);
    if (static_cast<std::size_t>(ms.sourceEnd - s) >= length && std::memcmp(ms.capture[index].start, s, length) == 0)
        return s + length;
    return nullptr;
}

// The frontier pattern %f[set]: between a character outside set and one in it.
const char* matchFrontier(MatchState& ms, const char* s, const char*& p)
{
    p += 2;
    if (*p != '[')
        luaL_error(ms.ls, "missing '[' after '%%f' in pattern");
    const char* ep = classEnd(ms, p);
    const char previous = s == ms.sourceStart ? '\0' : *(s - 1);
    const char current = s < ms.sourceEnd ? *s : '\0';
    if (!matchBracketClass(byte(previous), p, ep - 1) && matchBracketClass(byte(current), p, ep - 1))
    {
        p = ep;
        return s;
    }
    return nullptr;
}

// One pattern item with its repetition suffix, if any.
const char* matchItem(MatchState& ms, const char* s, const char*& p, bool& again)
{
    const char* ep = classEnd(ms, p);
    if (!singleMatch(ms, s, p, ep))
    {
        if (*ep == '*' || *ep == '?' || *ep == '-')
        {
            p = ep + 1;
            again = true;
            return s;
        }
        return nullptr;
    }
    switch (*ep)
    {
    case '?':
        if (const char* result = match(ms, s + 1, ep + 1))
            return result;
        p = ep + 1;
        again = true;
        return s;
    case '+':
        return maxExpand(ms, s + 1, p, ep);
    case '*':
        return maxExpand(ms, s, p, ep);
    case '-':
        return minExpand(ms, s, p, ep);
    default:
        p = ep;
        again = true;
        return s + 1;
    }
}

// What follows a '%': a balance, a frontier, a back reference, or a class.
const char* matchEscape(MatchState& ms, const char* s, const char*& p, bool& again)
{
    const char kind = *(p + 1);
    if (kind == 'b')
    {
        s = matchBalance(ms, s, p + 2);
        p += 4;
        again = s != nullptr;
        return s;
    }
    if (kind == 'f')
    {
        s = matchFrontier(ms, s, p);
        again = s != nullptr;
        return s;
    }
    if (std::isdigit(byte(kind)))
    {
        s = matchCapture(ms, s, byte(kind));
        p += 2;
        again = s != nullptr;
        return s;
    }
    return matchItem(ms, s, p, again);
}

const char* match(MatchState& ms, const char* s, const char* p)
{
    if (ms.depth-- == 0)
        luaL_error(ms.ls, "pattern too complex");
    countSteps(ms, 1);
    bool again = true;
    while (again && s && p != ms.patternEnd)
    {
        again = false;
        switch (*p)
        {
        case '(':
            s = *(p + 1) == ')' ? startCapture(ms, s, p + 2, CAPTURE_POSITION)
                                : startCapture(ms, s, p + 1, CAPTURE_UNFINISHED);
            break;
        case ')':
            s = endCapture(ms, s, p + 1);
            break;
        case '$':
            if (p + 1 == ms.patternEnd)
            {
                s = s == ms.sourceEnd ? s : nullptr;
                break;
            }
            s = matchItem(ms, s, p, again);
            break;
        case ESCAPE:
            s = matchEscape(ms, s, p, again);
            break;
        default:
            s = matchItem(ms, s, p, again);
            break;
        }
    }
    ++ms.depth;
    return s;
}

void pushOneCapture(MatchState& ms, int index, const char* s, const char* e)
{
    if (index >= ms.level)
    {
        if (index == 0)
            lua_pushlstring(ms.ls, s, static_cast<std::size_t>(e - s));
        else
            luaL_error(ms.ls, "invalid capture index");
        return;
    }
    const std::ptrdiff_t length = ms.capture[index].length;
    if (length == CAPTURE_UNFINISHED)
        luaL_error(ms.ls, "unfinished capture");
    if (length == CAPTURE_POSITION)
        lua_pushinteger(ms.ls, ms.capture[index].start - ms.sourceStart + 1);
    else
        lua_pushlstring(ms.ls, ms.capture[index].start, static_cast<std::size_t>(length));
}

int pushCaptures(MatchState& ms, const char* s, const char* e)
{
    const int count = (ms.level == 0 && s) ? 1 : ms.level;
    luaL_checkstack(ms.ls, count, "too many captures");
    for (int i = 0; i < count; ++i)
        pushOneCapture(ms, i, s, e);
    return count;
}

bool noSpecials(const char* p, std::size_t length)
{
    std::size_t upto = 0;
    do
    {
        if (std::strpbrk(p + upto, SPECIALS))
            return false;
        upto += std::strlen(p + upto) + 1;
    } while (upto <= length);
    return true;
}

std::size_t relativePosition(lua_Integer position, std::size_t length)
{
    if (position >= 0)
        return static_cast<std::size_t>(position);
    if (0u - static_cast<std::size_t>(position) > length)
        return 0;
    return length - (0u - static_cast<std::size_t>(position)) + 1;
}

// Plain search: glibc's memmem takes linear time, where a naive search of
// a long near-miss needle would not.
int findPlain(lua_State* ls, const char* s, std::size_t start, std::size_t length, const char* p, std::size_t lp)
{
    const void* found = lp == 0 ? s + start : ::memmem(s + start, length - start, p, lp);
    if (!found)
    {
        lua_pushnil(ls);
        return 1;
    }
    const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(found) - s);
    lua_pushinteger(ls, static_cast<lua_Integer>(at + 1));
    lua_pushinteger(ls, static_cast<lua_Integer>(at + lp));
    return 2;
}

int findOrMatch(lua_State* ls, bool find)
{
    LuaInterface::checkTimeLimit(ls);
    std::size_t length = 0;
    std::size_t lp = 0;
    const char* s = luaL_checklstring(ls, 1, &length);
    const char* p = luaL_checklstring(ls, 2, &lp);
    std::size_t start = relativePosition(luaL_optinteger(ls, 3, 1), length);
    if (start < 1)
        start = 1;
    else if (start > length + 1)
    {
        lua_pushnil(ls);
        return 1;
    }
    if (find && (lua_toboolean(ls, 4) || noSpecials(p, lp)))
        return findPlain(ls, s, start - 1, length, p, lp);
    const bool anchor = *p == '^';
    if (anchor)
    {
        ++p;
        --lp;
    }
    MatchState ms;
    prepare(ms, ls, s, length, p, lp);
    const char* s1 = s + start - 1;
    do
    {
        restart(ms);
        if (const char* end = match(ms, s1, p))
        {
            if (!find)
                return pushCaptures(ms, s1, end);
            lua_pushinteger(ls, s1 - s + 1);
            lua_pushinteger(ls, end - s);
            return pushCaptures(ms, nullptr, nullptr) + 2;
        }
    } while (s1++ < ms.sourceEnd && !anchor);
    lua_pushnil(ls);
    return 1;
}

int stringFind(lua_State* ls)
{
    return findOrMatch(ls, true);
}

int stringMatch(lua_State* ls)
{
    return findOrMatch(ls, false);
}

int gmatchNext(lua_State* ls)
{
    LuaInterface::checkTimeLimit(ls);
    std::size_t length = 0;
    std::size_t lp = 0;
    const char* s = lua_tolstring(ls, lua_upvalueindex(1), &length);
    const char* p = lua_tolstring(ls, lua_upvalueindex(2), &lp);
    MatchState ms;
    prepare(ms, ls, s, length, p, lp);
    for (const char* from = s + lua_tointeger(ls, lua_upvalueindex(3)); from <= ms.sourceEnd; ++from)
    {
        restart(ms);
        if (const char* end = match(ms, from, p))
        {
            // An empty match moves on by one, or the loop would stand still.
            lua_pushinteger(ls, end - s + (end == from ? 1 : 0));
            lua_replace(ls, lua_upvalueindex(3));
            return pushCaptures(ms, from, end);
        }
    }
    return 0;
}

int stringGmatch(lua_State* ls)
{
    luaL_checkstring(ls, 1);
    luaL_checkstring(ls, 2);
    lua_settop(ls, 2);
    lua_pushinteger(ls, 0);
    lua_pushcclosure(ls, gmatchNext, 3);
    return 1;
}

void addReplacementString(MatchState& ms, luaL_Buffer& b, const char* s, const char* e)
{
    std::size_t length = 0;
    const char* replacement = lua_tolstring(ms.ls, 3, &length);
    for (std::size_t i = 0; i < length; ++i)
    {
        if (replacement[i] != ESCAPE)
        {
            luaL_addchar(&b, replacement[i]);
            continue;
        }
        ++i;
        if (!std::isdigit(byte(replacement[i])))
        {
            if (replacement[i] != ESCAPE)
                luaL_error(ms.ls, "invalid use of '%c' in replacement string", ESCAPE);
            luaL_addchar(&b, replacement[i]);
        }
        else if (replacement[i] == '0')
        {
            luaL_addlstring(&b, s, static_cast<std::size_t>(e - s));
        }
        else
        {
            pushOneCapture(ms, replacement[i] - '1', s, e);
            luaL_addvalue(&b);
        }
    }
}

void addReplacement(MatchState& ms, luaL_Buffer& b, const char* s, const char* e, int kind)
{
    lua_State* ls = ms.ls;
    if (kind == LUA_TFUNCTION)
    {
        lua_pushvalue(ls, 3);
        const int count = pushCaptures(ms, s, e);
        lua_call(ls, count, 1);
    }
    else if (kind == LUA_TTABLE)
    {
        pushOneCapture(ms, 0, s, e);
        lua_gettable(ls, 3);
    }
    else
    {
        addReplacementString(ms, b, s, e);
        return;
    }
    if (!lua_toboolean(ls, -1))
    {
        lua_pop(ls, 1);
        lua_pushlstring(ls, s, static_cast<std::size_t>(e - s));
    }
    else if (!lua_isstring(ls, -1))
    {
        luaL_error(ls, "invalid replacement value (a %s)", luaL_typename(ls, -1));
    }
    luaL_addvalue(&b);
}

int stringGsub(lua_State* ls)
{
    LuaInterface::checkTimeLimit(ls);
    std::size_t length = 0;
    std::size_t lp = 0;
    const char* source = luaL_checklstring(ls, 1, &length);
    const char* p = luaL_checklstring(ls, 2, &lp);
    const int kind = lua_type(ls, 3);
    const std::size_t most = static_cast<std::size_t>(luaL_optinteger(ls, 4, static_cast<lua_Integer>(length + 1)));
    luaL_argcheck(ls, kind == LUA_TNUMBER || kind == LUA_TSTRING || kind == LUA_TFUNCTION || kind == LUA_TTABLE, 3,
                  "string/function/table expected");
    const bool anchor = *p == '^';
    if (anchor)
    {
        ++p;
        --lp;
    }
    luaL_Buffer b;
    luaL_buffinit(ls, &b);
    MatchState ms;
    prepare(ms, ls, source, length, p, lp);
    std::size_t count = 0;
    while (count < most)
    {
        restart(ms);
        const char* end = match(ms, source, p);
        if (end)
        {
            ++count;
            addReplacement(ms, b, source, end, kind);
        }
        if (end && end > source)
            source = end;
        else if (source < ms.sourceEnd)
            luaL_addchar(&b, *source++);
        else
            break;
        if (anchor)
            break;
    }
    luaL_addlstring(&b, source, static_cast<std::size_t>(ms.sourceEnd - source));
    luaL_pushresult(&b);
    lua_pushinteger(ls, static_cast<lua_Integer>(count));
    return 2;
}
}

void LuaPatterns::install(lua_State* ls)
{
    const luaL_Reg functions[] = {{"find", stringFind},
                                  {"match", stringMatch},
                                  {"gmatch", stringGmatch},
                                  {"gsub", stringGsub},
                                  {nullptr, nullptr}};
    luaL_setfuncs(ls, functions, 0);
}
}
