#include "core/LuaInterface.h"

#include <cstdio>

#include "Log/Log.h"
#include "core/Entity.h"
#include "core/LuaBindings.h"

namespace core
{
const std::string LuaInterface::SCRIPT_DIRECTORY = "/assets/scripts/";

namespace
{
const char* const OBJECT_FIELD = "core_";
const char* const METATABLE_PREFIX = "Meta";

// Restores the stack height it saw at construction, whatever path a run
// takes out of the function.
class StackGuard
{
public:
    explicit StackGuard(lua_State* ls) : _ls(ls), _top(lua_gettop(ls)) {}
    ~StackGuard() { lua_settop(_ls, _top); }
    int top() const { return _top; }

private:
    lua_State* _ls;
    int _top;
};

// Pops the value on top into the global `name` without going through a
// metatable a script may have put on the global table: an error raised
// there would be outside any protected call and would abort the process.
void setGlobal(lua_State* ls, const std::string& name)
{
    lua_pushglobaltable(ls);
    lua_pushlstring(ls, name.data(), name.size());
    lua_pushvalue(ls, -3);
    lua_rawset(ls, -3);
    lua_pop(ls, 2);
}

void openLibrary(lua_State* ls, const char* name, lua_CFunction open)
{
    luaL_requiref(ls, name, open, 1);
    lua_pop(ls, 1);
}
}

LuaInterface::LuaInterface() : _ls(luaL_newstate())
{
    if (!_ls)
    {
        Log::error() << "LuaInterface::LuaInterface - Unable to create a Lua state" << std::endl;
        return;
    }
    // Scripts get no os, package, coroutine, bit32 or debug library: game
    // scripts must not reach the file system beyond io, load native code or
    // inspect the engine's stack.
    openLibrary(_ls, "io", luaopen_io);
    openLibrary(_ls, "_G", luaopen_base);
    openLibrary(_ls, LUA_TABLIBNAME, luaopen_table);
    openLibrary(_ls, LUA_STRLIBNAME, luaopen_string);
    openLibrary(_ls, LUA_MATHLIBNAME, luaopen_math);
}

LuaInterface::~LuaInterface()
{
    if (_ls)
        lua_close(_ls);
}

LuaInterface* LuaInterface::getInstance()
{
    static LuaInterface instance;
    return &instance;
}

lua_State* LuaInterface::getState()
{
    return getInstance()->_ls;
}

void LuaInterface::init()
{
    addClass("Session", sessionStaticMethods, sessionMethods);
    addClass("Character", characterStaticMethods, characterMethods);
    addStaticClass("SoundHandler", soundHandlerStaticMethods);
}

void LuaInterface::pushClassMetatable(const std::string& className)
{
    lua_State* ls = getState();
    luaL_newmetatable(ls, (METATABLE_PREFIX + className).c_str());
    // Methods are looked up in the metatable itself.
    lua_pushvalue(ls, -1);
    lua_setfield(ls, -2, "__index");
}

void LuaInterface::addClass(const std::string& className, const luaL_Reg* staticMethods,
                            const luaL_Reg* methods)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    pushClassMetatable(className);
    lua_newtable(ls);
    if (staticMethods)
        luaL_setfuncs(ls, staticMethods, 0);
    setGlobal(ls, className);
    if (methods)
        luaL_setfuncs(ls, methods, 0);
}

void LuaInterface::addStaticClass(const std::string& className, const luaL_Reg* staticMethods)
{
    addClass(className, staticMethods, nullptr);
}

void* LuaInterface::allocObjectOfClass(const std::string& className, size_t size)
{
    lua_State* ls = getState();
    const std::string metaName = METATABLE_PREFIX + className;
    luaL_getmetatable(ls, metaName.c_str());
    const bool known = lua_istable(ls, -1);
    lua_pop(ls, 1);
    if (!known)
        Log::error() << "LuaInterface::allocObjectOfClass - No class registered as " << className
                     << std::endl;

    lua_newtable(ls);
    luaL_setmetatable(ls, metaName.c_str());
    void* memory = lua_newuserdata(ls, size);
    luaL_setmetatable(ls, metaName.c_str());
    lua_setfield(ls, -2, OBJECT_FIELD);
    return memory;
}

int LuaInterface::getReference()
{
    lua_State* ls = getState();
    // Nothing to refer to: answer "no reference" rather than popping below
    // the bottom of the stack.
    if (lua_gettop(ls) == 0)
    {
        Log::error() << "LuaInterface::getReference - Nothing on the Lua stack to refer to"
                     << std::endl;
        return LUA_NOREF;
    }
    return luaL_ref(ls, LUA_REGISTRYINDEX);
}

void LuaInterface::bindEntity(Entity* e)
{
    const int ref = getReference();
    if (e)
        e->setLuaRef(ref);
    else
        Log::error() << "LuaInterface::bindEntity - No entity to bind" << std::endl;
}

void LuaInterface::registerAlias(int luaRef, const std::string& varName)
{
    lua_State* ls = getState();
    if (luaRef == LUA_NOREF)
    {
        Log::error() << "LuaInterface::registerAlias - Attempted to register entity with no Lua "
                        "reference as "
                     << varName << std::endl;
        lua_pushnil(ls);
    }
    else
    {
        lua_rawgeti(ls, LUA_REGISTRYINDEX, luaRef);
    }
    setGlobal(ls, varName);
}

void LuaInterface::clearAlias(const std::string& varName)
{
    lua_State* ls = getState();
    lua_pushnil(ls);
    setGlobal(ls, varName);
}

void LuaInterface::registerGlobal(const std::string& str, const std::string& varName)
{
    lua_State* ls = getState();
    lua_pushlstring(ls, str.data(), str.size());
    setGlobal(ls, varName);
}

void LuaInterface::registerGlobal(int val, const std::string& varName)
{
    lua_State* ls = getState();
    lua_pushinteger(ls, val);
    setGlobal(ls, varName);
}

bool LuaInterface::runChunk(int loadStatus)
{
    if (loadStatus != LUA_OK)
        return false;
    return lua_pcall(getState(), 0, LUA_MULTRET, 0) == LUA_OK;
}

void LuaInterface::runScript(const std::string& scriptName)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const std::string path = "." + SCRIPT_DIRECTORY + scriptName;
    if (!runChunk(luaL_loadfile(ls, path.c_str())))
    {
        const char* message = lua_tostring(ls, -1);
        Log::error() << (message ? message : "LuaInterface::runScript - Script failed: " + path)
                     << std::endl;
    }
}

void LuaInterface::runString(const std::string& script)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    // Failures are deliberately silent: callers use this for optional
    // snippets whose errors have no one to report to.
    runChunk(luaL_loadbuffer(ls, script.data(), script.size(), script.c_str()));
}

bool LuaInterface::runBooleanString(const std::string& script)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const bool ran = runChunk(luaL_loadbuffer(ls, script.data(), script.size(), script.c_str()));
    // A failed run never counts as a condition that holds, even when the
    // error value happens to be a boolean. Otherwise the last result is on
    // top, unless the chunk returned nothing at all.
    if (!ran || lua_gettop(ls) <= guard.top() || !lua_isboolean(ls, -1))
    {
        Log::error() << "LuaInterface::runBooleanString - Script\n\"" << script
                     << "\"\n did not return a boolean value" << std::endl;
        return false;
    }
    return lua_toboolean(ls, -1) != 0;
}

bool LuaInterface::getLuaBool(lua_State* ls, int& pos)
{
    luaL_checktype(ls, pos, LUA_TBOOLEAN);
    return lua_toboolean(ls, pos++) != 0;
}

int LuaInterface::getLuaInt(lua_State* ls, int& pos)
{
    // luaL_checkinteger would also accept numeric strings; scripts must
    // pass real numbers.
    luaL_checktype(ls, pos, LUA_TNUMBER);
    return static_cast<int>(lua_tointeger(ls, pos++));
}

const char* LuaInterface::getLuaString(lua_State* ls, int& pos)
{
    luaL_checktype(ls, pos, LUA_TSTRING);
    return lua_tostring(ls, pos++);
}

double LuaInterface::getLuaDouble(lua_State* ls, int& pos)
{
    luaL_checktype(ls, pos, LUA_TNUMBER);
    return lua_tonumber(ls, pos++);
}

void* LuaInterface::objectOfCall(lua_State* ls, int& pos, const char* className)
{
    luaL_checktype(ls, pos, LUA_TTABLE);
    const int tableIndex = pos++;
    lua_getfield(ls, tableIndex, OBJECT_FIELD);
    lua_insert(ls, pos);
    luaL_checktype(ls, pos, LUA_TUSERDATA);
    // The userdata's metatable tells its class: a table whose "core_" holds
    // another class's object, or a file handle, is refused here instead of
    // being used as this class's memory.
    // Lua raises its errors with longjmp, so nothing here may need a
    // destructor: the name is built in a plain buffer.
    char metaName[128];
    std::snprintf(metaName, sizeof metaName, "%s%s", METATABLE_PREFIX, className);
    return luaL_checkudata(ls, pos++, metaName);
}
}
