#include "script/LuaSandbox.h"

#include <cctype>
#include <cstring>
#include <string>

#include "script/LuaInterface.h"
#include "script/LuaPatterns.h"
#include "script/ScriptFiles.h"

// Every lua_CFunction here raises its errors with longjmp, which skips C++
// destructors: none of them holds a C++ object with one when it raises.
// The work that needs strings is done in functions that return first.
namespace core
{
const std::size_t LuaSandbox::MAX_STRING_BYTES = std::size_t(16) * 1024 * 1024;
const lua_Integer LuaSandbox::MAX_REPETITIONS = 16 * 1024 * 1024;
const std::size_t LuaSandbox::MAX_SORT_ENTRIES = std::size_t(1) << 20;

namespace
{
// Registry tables: Lua's own unrestricted functions (for the console's
// opt-in), the modules require has run, the console's wider globals.
const char* const ORIGINALS_KEY = "zolt.sandbox.originals";
const char* const REQUIRED_KEY = "zolt.sandbox.required";
const char* const CONSOLE_ENV_KEY = "zolt.sandbox.console";
const char* const UNSAFE_FUNCTIONS[] = {"dofile", "loadfile", "load", "setmetatable"};
const char* const SAFE_OS_FUNCTIONS[] = {"time", "clock", "date", "difftime"};
const std::size_t MAX_MODULE_NAME = 200;

bool unsafeConsoleAllowed = false;

void openLibrary(lua_State* ls, const char* name, lua_CFunction open, bool global)
{
    luaL_requiref(ls, name, open, global ? 1 : 0);
    lua_pop(ls, 1);
}

// Calls upvalue 1 with this call's arguments and returns all it returns.
int callOriginal(lua_State* ls)
{
    const int given = lua_gettop(ls);
    lua_pushvalue(ls, lua_upvalueindex(1));
    lua_insert(ls, 1);
    lua_call(ls, given, LUA_MULTRET);
    return lua_gettop(ls);
}

// The C library calls below run without the instruction hook's clock
// checks; a loop of them would otherwise see the clock only every ten
// thousand instructions.
int timeChecked(lua_State* ls)
{
    LuaInterface::checkTimeLimit(ls);
    return callOriginal(ls);
}

int refuseUnavailable(lua_State* ls)
{
    const char* library = lua_tostring(ls, lua_upvalueindex(1));
    const char* name = lua_type(ls, 2) == LUA_TSTRING ? lua_tostring(ls, 2) : "?";
    return luaL_error(ls, "%s.%s is not available to scripts: they reach no shell, file or setting outside the game",
                      library, name);
}

int textOnlyLoad(lua_State* ls)
{
    const int given = lua_gettop(ls);
    lua_settop(ls, 4);
    lua_pushvalue(ls, lua_upvalueindex(1));
    lua_pushvalue(ls, 1);
    lua_pushvalue(ls, 2);
    lua_pushliteral(ls, "t");
    int arguments = 3;
    // An environment given as nil still counts as given.
    if (given >= 4)
    {
        lua_pushvalue(ls, 4);
        ++arguments;
    }
    lua_call(ls, arguments, LUA_MULTRET);
    return lua_gettop(ls) - 4;
}

// Puts the script line that asked before the message on top, as Lua's own
// errors have it, so that the log names the script that was refused.
void prefixWithCaller(lua_State* ls)
{
    luaL_where(ls, 1);
    lua_insert(ls, -2);
    lua_concat(ls, 2);
}

bool pushChunkOfArgument(lua_State* ls, bool gamePath)
{
    std::size_t length = 0;
    const char* path = luaL_checklstring(ls, 1, &length);
    if (LuaSandbox::pushScriptChunk(ls, std::string(path, length), gamePath))
        return true;
    prefixWithCaller(ls);
    return false;
}

int gameDofile(lua_State* ls)
{
    lua_settop(ls, 1);
    if (!pushChunkOfArgument(ls, true))
        return lua_error(ls);
    lua_call(ls, 0, LUA_MULTRET);
    return lua_gettop(ls) - 1;
}

int gameLoadfile(lua_State* ls)
{
    const bool hasEnvironment = !lua_isnone(ls, 3);
    if (!pushChunkOfArgument(ls, true))
    {
        lua_pushnil(ls);
        lua_insert(ls, -2);
        return 2;
    }
    if (hasEnvironment)
    {
        lua_pushvalue(ls, 3);
        if (!lua_setupvalue(ls, -2, 1))
            lua_pop(ls, 1);
    }
    return 1;
}

// "quests.village" is the file quests/village.lua of the script folder.
bool moduleFile(const char* name, std::size_t length, char* file, std::size_t size)
{
    if (length == 0 || length > MAX_MODULE_NAME || length + 5 > size)
        return false;
    for (std::size_t i = 0; i < length; ++i)
    {
        const char c = name[i];
        const bool dot = c == '.';
        if (!dot && !std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
        if (dot && (i == 0 || i + 1 == length || name[i + 1] == '.'))
            return false;
        file[i] = dot ? '/' : c;
    }
    std::memcpy(file + length, ".lua", 5);
    return true;
}

int gameRequire(lua_State* ls)
{
    std::size_t length = 0;
    const char* name = luaL_checklstring(ls, 1, &length);
    lua_settop(ls, 1);
    char file[MAX_MODULE_NAME + 8];
    if (!moduleFile(name, length, file, sizeof file))
        return luaL_error(ls, "require: '%s' is not a module name such as 'story' or 'quests.village'", name);
    lua_getfield(ls, LUA_REGISTRYINDEX, REQUIRED_KEY);
    lua_getfield(ls, 2, name);
    if (lua_toboolean(ls, -1))
        return 1;
    lua_pop(ls, 1);
    if (!LuaSandbox::pushScriptChunk(ls, file, false))
    {
        prefixWithCaller(ls);
        return lua_error(ls);
    }
    lua_pushvalue(ls, 1);
    lua_call(ls, 1, 1);
    if (lua_isnil(ls, -1))
    {
        lua_pop(ls, 1);
        lua_pushboolean(ls, 1);
    }
    lua_pushvalue(ls, -1);
    lua_setfield(ls, 2, name);
    return 1;
}

// A finalizer runs whenever the collector gets to it, inside whatever code
// happens to run then, engine code included: one that fails or loops
// would break that code, not the script that made it.
int setMetatableWithoutFinalizer(lua_State* ls)
{
    if (lua_type(ls, 2) == LUA_TTABLE)
    {
        lua_pushliteral(ls, "__gc");
        lua_rawget(ls, 2);
        const bool finalizer = !lua_isnil(ls, -1);
        lua_pop(ls, 1);
        if (finalizer)
            return luaL_error(ls, "setmetatable: finalizers (__gc) are not available to scripts");
    }
    return callOriginal(ls);
}

// string.rep copies in C: a huge count, even of an empty string, would
// hold the game there far past the time limit.
int boundedRep(lua_State* ls)
{
    LuaInterface::checkTimeLimit(ls);
    std::size_t length = 0;
    std::size_t separator = 0;
    luaL_checklstring(ls, 1, &length);
    const lua_Number count = luaL_checknumber(ls, 2);
    luaL_optlstring(ls, 3, "", &separator);
    if (!(count <= lua_Number(LuaSandbox::MAX_REPETITIONS)))
        return luaL_error(ls, "string.rep: %f repetitions are over the %d a script may ask for", count,
                          int(LuaSandbox::MAX_REPETITIONS));
    const lua_Number bytes = count * lua_Number(length) + (count - 1) * lua_Number(separator);
    if (count > 0 && bytes > lua_Number(LuaSandbox::MAX_STRING_BYTES))
        return luaL_error(ls, "string.rep: a string of %f bytes is over the %d a script may build", bytes,
                          int(LuaSandbox::MAX_STRING_BYTES));
    return callOriginal(ls);
}

int boundedSort(lua_State* ls)
{
    LuaInterface::checkTimeLimit(ls);
    luaL_checktype(ls, 1, LUA_TTABLE);
    const std::size_t entries = lua_rawlen(ls, 1);
    if (entries > LuaSandbox::MAX_SORT_ENTRIES)
        return luaL_error(ls, "table.sort: %d entries are over the %d a script may sort", int(entries),
                          int(LuaSandbox::MAX_SORT_ENTRIES));
    return callOriginal(ls);
}

// Replaces field `name` of the table on top by `function` with the old
// value as its upvalue.
void wrapField(lua_State* ls, const char* name, lua_CFunction function)
{
    lua_getfield(ls, -1, name);
    lua_pushcclosure(ls, function, 1);
    lua_setfield(ls, -2, name);
}

void keepOriginals(lua_State* ls)
{
    lua_newtable(ls);
    for (const char* name : UNSAFE_FUNCTIONS)
    {
        lua_getglobal(ls, name);
        lua_setfield(ls, -2, name);
    }
    lua_setfield(ls, LUA_REGISTRYINDEX, ORIGINALS_KEY);
    lua_newtable(ls);
    lua_setfield(ls, LUA_REGISTRYINDEX, REQUIRED_KEY);
}

void restrictBase(lua_State* ls)
{
    lua_pushglobaltable(ls);
    lua_pushcfunction(ls, gameDofile);
    lua_setfield(ls, -2, "dofile");
    lua_pushcfunction(ls, gameLoadfile);
    lua_setfield(ls, -2, "loadfile");
    lua_pushcfunction(ls, gameRequire);
    lua_setfield(ls, -2, "require");
    wrapField(ls, "setmetatable", setMetatableWithoutFinalizer);
    wrapField(ls, "load", textOnlyLoad);
    // Only there in a Lua built with 5.1 compatibility; the same as load.
    lua_getfield(ls, -1, "loadstring");
    const bool hasLoadstring = !lua_isnil(ls, -1);
    lua_pop(ls, 1);
    if (hasLoadstring)
        wrapField(ls, "loadstring", textOnlyLoad);
    lua_pop(ls, 1);
}

void boundLibraries(lua_State* ls)
{
    lua_getglobal(ls, LUA_STRLIBNAME);
    // A dump is only of use to load, which takes no binary chunks.
    lua_pushnil(ls);
    lua_setfield(ls, -2, "dump");
    wrapField(ls, "rep", boundedRep);
    wrapField(ls, "format", timeChecked);
    LuaPatterns::install(ls);
    lua_pop(ls, 1);
    lua_getglobal(ls, LUA_TABLIBNAME);
    wrapField(ls, "concat", timeChecked);
    wrapField(ls, "sort", boundedSort);
    lua_pop(ls, 1);
}

// A table whose missing fields raise a clear refusal, so that a script
// reaching for io.popen learns why instead of indexing nil.
void pushStandIn(lua_State* ls, const char* library)
{
    lua_newtable(ls);
    lua_newtable(ls);
    lua_pushstring(ls, library);
    lua_pushcclosure(ls, refuseUnavailable, 1);
    lua_setfield(ls, -2, "__index");
    lua_setmetatable(ls, -2);
}

void installStandIns(lua_State* ls)
{
    pushStandIn(ls, LUA_IOLIBNAME);
    lua_setglobal(ls, LUA_IOLIBNAME);
    // The clock and the calendar are harmless; the rest of os is not.
    luaL_requiref(ls, LUA_OSLIBNAME, luaopen_os, 0);
    pushStandIn(ls, LUA_OSLIBNAME);
    for (const char* name : SAFE_OS_FUNCTIONS)
    {
        lua_getfield(ls, -2, name);
        lua_setfield(ls, -2, name);
    }
    lua_setglobal(ls, LUA_OSLIBNAME);
    lua_pop(ls, 1);
}

void pushConsoleEnvironment(lua_State* ls)
{
    lua_getfield(ls, LUA_REGISTRYINDEX, CONSOLE_ENV_KEY);
    if (lua_istable(ls, -1))
        return;
    lua_pop(ls, 1);
    lua_newtable(ls);
    luaL_requiref(ls, LUA_IOLIBNAME, luaopen_io, 0);
    lua_setfield(ls, -2, LUA_IOLIBNAME);
    luaL_requiref(ls, LUA_OSLIBNAME, luaopen_os, 0);
    lua_setfield(ls, -2, LUA_OSLIBNAME);
    lua_getfield(ls, LUA_REGISTRYINDEX, ORIGINALS_KEY);
    for (const char* name : UNSAFE_FUNCTIONS)
    {
        lua_getfield(ls, -1, name);
        lua_setfield(ls, -3, name);
    }
    lua_pop(ls, 1);
    // Everything else, reads and writes alike, is the game's own globals.
    lua_newtable(ls);
    lua_pushglobaltable(ls);
    lua_setfield(ls, -2, "__index");
    lua_pushglobaltable(ls);
    lua_setfield(ls, -2, "__newindex");
    lua_setmetatable(ls, -2);
    lua_pushvalue(ls, -1);
    lua_setfield(ls, LUA_REGISTRYINDEX, CONSOLE_ENV_KEY);
}
}

void LuaSandbox::install(lua_State* ls)
{
    openLibrary(ls, "_G", luaopen_base, true);
    openLibrary(ls, LUA_TABLIBNAME, luaopen_table, true);
    openLibrary(ls, LUA_STRLIBNAME, luaopen_string, true);
    openLibrary(ls, LUA_MATHLIBNAME, luaopen_math, true);
    keepOriginals(ls);
    restrictBase(ls);
    boundLibraries(ls);
    installStandIns(ls);
}

void LuaSandbox::setUnsafeConsole(bool allowed)
{
    unsafeConsoleAllowed = allowed;
}

bool LuaSandbox::unsafeConsole()
{
    return unsafeConsoleAllowed;
}

void LuaSandbox::widenForConsole(lua_State* ls)
{
    if (!unsafeConsoleAllowed)
        return;
    pushConsoleEnvironment(ls);
    if (!lua_setupvalue(ls, -2, 1))
        lua_pop(ls, 1);
}

bool LuaSandbox::pushScriptChunk(lua_State* ls, const std::string& path, bool gamePath)
{
    std::string resolved;
    std::string text;
    std::string why;
    const bool found =
        gamePath ? ScriptFiles::resolveGamePath(path, resolved, why) : ScriptFiles::resolveName(path, resolved, why);
    if (!found || !ScriptFiles::read(resolved, text, why))
    {
        lua_pushlstring(ls, why.data(), why.size());
        return false;
    }
    return LuaInterface::loadScriptText(ls, text, "@" + resolved) == LUA_OK;
}
}
