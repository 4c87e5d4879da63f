#include "script/LuaInterface.h"

#include <algorithm>

#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "Log/Log.h"
#include "event/TriggerTileEvent.h"
#include "util/LoadedFiles.h"
#include "util/Owner.h"
#include "script/LuaBound.h"
#include "script/LuaSandbox.h"
#include "script/ScriptFiles.h"

namespace core
{

namespace
{
const char* const OBJECT_FIELD = "core_";
const char* const METATABLE_PREFIX = "Meta";
// A handle's own metatable ("MetaCharacter.handle"): it finalises the handle
// and shows scripts the class metatable. Kept apart from the class
// metatable, which scripts may hand to setmetatable, where no finalizer is
// allowed.
const char* const HANDLE_SUFFIX = ".handle";
// Registry table from each object table to its userdata. It is the one link
// the engine trusts, whatever a script does to the object table. Its keys
// are weak: an object table nobody can reach any more takes its handle with
// it (the engine keeps a reference to each table while the object lives).
const char* const OBJECTS_KEY = "zolt.objects";

// What an object's userdata holds: where the engine object is, or null once
// the engine has let it go. Lua's memory never holds the object itself, so
// the engine frees its objects the C++ way and Lua frees only handles.
struct ObjectHandle
{
    void* object;
};

const double DEFAULT_TIME_LIMIT_SECONDS = 5.0;
const size_t DEFAULT_MEMORY_LIMIT = size_t(512) * 1024 * 1024;
// Instructions between two looks at the clock while a script runs.
const int HOOK_INSTRUCTIONS = 10000;
const size_t NAME_EXCERPT = 60;

double secondsNow()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// How an inline script is named in error lines: its first line, cut short.
std::string describeSource(const std::string& script)
{
    std::string excerpt = script.substr(0, script.find('\n'));
    if (excerpt.size() > NAME_EXCERPT)
        excerpt = excerpt.substr(0, NAME_EXCERPT) + "...";
    return "script \"" + excerpt + "\"";
}

bool isObjectField(lua_State* ls, int index)
{
    return lua_type(ls, index) == LUA_TSTRING && std::strcmp(lua_tostring(ls, index), OBJECT_FIELD) == 0;
}

// Pushes the userdata that the registry holds for the object table at
// index, or nil for any other value.
void pushObjectOf(lua_State* ls, int index)
{
    index = lua_absindex(ls, index);
    lua_getfield(ls, LUA_REGISTRYINDEX, OBJECTS_KEY);
    lua_pushvalue(ls, index);
    lua_rawget(ls, -2);
    lua_remove(ls, -2);
}

// __index of every class metatable: "core_" answers from the registry, any
// other key is a method of the class (upvalue 1).
int indexObject(lua_State* ls)
{
    if (isObjectField(ls, 2))
    {
        pushObjectOf(ls, 1);
        return 1;
    }
    lua_pushvalue(ls, 2);
    lua_rawget(ls, lua_upvalueindex(1));
    return 1;
}

// __newindex: scripts may add their own fields to an object table, but its
// "core_" is not theirs to replace or remove.
int assignField(lua_State* ls)
{
    if (isObjectField(ls, 2))
        return luaL_error(ls, "the core_ of an engine object cannot be replaced or removed");
    if (!lua_istable(ls, 1))
        return luaL_error(ls, "an engine object's memory has no fields to set");
    lua_settop(ls, 3);
    lua_rawset(ls, 1);
    return 0;
}

// Every bound function is called through this: an engine failure thrown as
// a C++ exception becomes a Lua error of the script that made the call,
// instead of unwinding through Lua's C frames.
int callBinding(lua_State* ls)
{
    const lua_CFunction binding = lua_tocfunction(ls, lua_upvalueindex(1));
    // Bindings run in C, where the instruction hook never looks at the
    // clock: a script calling them in a loop is checked here as well.
    LuaInterface::checkTimeLimit(ls);
    char failure[256];
    try
    {
        return binding(ls);
    }
    catch (const std::exception& e)
    {
        std::snprintf(failure, sizeof failure, "%s", e.what());
    }
    catch (...)
    {
        std::snprintf(failure, sizeof failure, "unknown exception");
    }
    return luaL_error(ls, "engine failure: %s", failure);
}

int reportPanic(lua_State* ls)
{
    const char* message = lua_tostring(ls, -1);
    Log::error() << "LuaInterface - Unprotected Lua error: " << (message ? message : "?") << std::endl;
    return 0;
}

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

}

LuaInterface::LuaInterface() : _ls(nullptr), _memoryLimit(DEFAULT_MEMORY_LIMIT), _timeLimit(DEFAULT_TIME_LIMIT_SECONDS)
{
    // Built here rather than in the initialiser list: the allocator counts
    // into members that must be set up first.
    _ls = lua_newstate(allocate, this);
    if (!_ls)
    {
        Log::error() << "LuaInterface::LuaInterface - Unable to create a Lua state" << std::endl;
        return;
    }
    // Scripts come with games from anyone: they get no io, package,
    // coroutine, bit32 or debug library and only the harmless part of os.
    LuaSandbox::install(_ls);
    lua_atpanic(_ls, reportPanic);
    lua_newtable(_ls);
    lua_createtable(_ls, 0, 1);
    lua_pushliteral(_ls, "k");
    lua_setfield(_ls, -2, "__mode");
    lua_setmetatable(_ls, -2);
    lua_setfield(_ls, LUA_REGISTRYINDEX, OBJECTS_KEY);
    lua_sethook(_ls, stopRunawayScript, LUA_MASKCOUNT, HOOK_INSTRUCTIONS);
}

// Lua's own memory: the blocks are Lua's to own and this is where they come
// and go.
gsl::owner<void*> LuaInterface::allocate(void* self, gsl::owner<void*> block, size_t oldSize, size_t newSize)
{
    LuaInterface* lua = static_cast<LuaInterface*>(self);
    // Without a block, oldSize tells the kind of object, not a size.
    if (!block)
        oldSize = 0;
    if (newSize == 0)
    {
        std::free(block);
        lua->_bytesInUse -= oldSize;
        return nullptr;
    }
    // Only scripts are held to the ceiling: the engine's own calls run
    // outside any protected call, where a memory error would abort.
    const size_t wanted = lua->_bytesInUse - oldSize + newSize;
    if (newSize > oldSize && lua->_runDepth > 0 && wanted > lua->_memoryLimit)
        return nullptr;
    gsl::owner<void*> grown = std::realloc(block, newSize);
    if (grown)
        lua->_bytesInUse = wanted;
    return grown;
}

void LuaInterface::stopRunawayScript(lua_State* ls, lua_Debug*)
{
    void* self = nullptr;
    lua_getallocf(ls, &self);
    LuaInterface* lua = static_cast<LuaInterface*>(self);
    if (lua->_runDepth == 0 || secondsNow() < lua->_deadline)
        return;
    // From now on every instruction fails, so a script that catches the
    // error with pcall cannot go on: the next instruction outside fails too.
    lua_sethook(ls, stopRunawayScript, LUA_MASKCOUNT, 1);
    luaL_error(ls, "%s ran longer than %f seconds and was stopped", lua->_runName.c_str(), lua->_timeLimit);
}

void LuaInterface::checkTimeLimit(lua_State* ls)
{
    stopRunawayScript(ls, nullptr);
}

LuaInterface::~LuaInterface()
{
    if (_ls)
        lua_close(_ls);
}

LuaInterface* LuaInterface::getInstance()
{
    // Never destroyed, so the state is never closed: objects freed while
    // the process exits (the character store's) still release their
    // handles in it, whatever the order of static destruction.
    static const gsl::owner<LuaInterface*> owned = new LuaInterface();
    static LuaInterface& instance = *owned;
    return &instance;
}

lua_State* LuaInterface::getState()
{
    return getInstance()->_ls;
}

void LuaInterface::setClasses(std::vector<ClassTables> classes)
{
    getInstance()->_classes = std::move(classes);
}

void LuaInterface::init()
{
    for (const ClassTables& tables : getInstance()->_classes)
        addClass(tables.name, tables.statics, tables.methods);
}

void LuaInterface::pushClassMetatable(const std::string& className)
{
    lua_State* ls = getState();
    luaL_newmetatable(ls, (METATABLE_PREFIX + className).c_str());
    // Methods are looked up in the metatable itself; "core_" in the registry.
    lua_pushvalue(ls, -1);
    lua_pushcclosure(ls, indexObject, 1);
    lua_setfield(ls, -2, "__index");
    lua_pushcfunction(ls, assignField);
    lua_setfield(ls, -2, "__newindex");
    // Scripts may read the metatable but not swap it for another.
    lua_pushvalue(ls, -1);
    lua_setfield(ls, -2, "__metatable");

    const int classTable = lua_gettop(ls);
    luaL_newmetatable(ls, (METATABLE_PREFIX + className + HANDLE_SUFFIX).c_str());
    for (const char* field : {"__index", "__newindex", "__metatable"})
    {
        lua_getfield(ls, classTable, field);
        lua_setfield(ls, -2, field);
    }
    lua_pushcfunction(ls, collectHandle);
    lua_setfield(ls, -2, "__gc");
    lua_pop(ls, 1);
}

int LuaInterface::collectHandle(lua_State* ls)
{
    ObjectHandle* handle = static_cast<ObjectHandle*>(lua_touserdata(ls, 1));
    if (!handle)
        return 0;
    // The object stays the engine's: only the way to it goes.
    handle->object = nullptr;
    void* self = nullptr;
    lua_getallocf(ls, &self);
    --static_cast<LuaInterface*>(self)->_liveHandles;
    return 0;
}

int LuaInterface::liveHandles()
{
    return getInstance()->_liveHandles;
}

void LuaInterface::setBindings(const luaL_Reg* rows)
{
    lua_State* ls = getState();
    for (; rows && rows->name; ++rows)
    {
        if (rows->func)
        {
            lua_pushcfunction(ls, rows->func);
            lua_pushcclosure(ls, callBinding, 1);
        }
        else
        {
            lua_pushboolean(ls, 0);
        }
        lua_setfield(ls, -2, rows->name);
    }
}

void LuaInterface::addClass(const std::string& className, const luaL_Reg* staticMethods, const luaL_Reg* methods)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    pushClassMetatable(className);
    lua_newtable(ls);
    setBindings(staticMethods);
    setGlobal(ls, className);
    setBindings(methods);
}

void LuaInterface::addStaticClass(const std::string& className, const luaL_Reg* staticMethods)
{
    addClass(className, staticMethods, nullptr);
}

void LuaInterface::pushObjectOfClass(const std::string& className, void* object)
{
    lua_State* ls = getState();
    const std::string metaName = METATABLE_PREFIX + className;
    luaL_getmetatable(ls, metaName.c_str());
    const bool known = lua_istable(ls, -1);
    lua_pop(ls, 1);
    if (!known)
        Log::error() << "LuaInterface::pushObjectOfClass - No class registered as " << className << std::endl;

    lua_newtable(ls);
    luaL_setmetatable(ls, metaName.c_str());
    ObjectHandle* handle = static_cast<ObjectHandle*>(lua_newuserdata(ls, sizeof(ObjectHandle)));
    handle->object = object;
    ++getInstance()->_liveHandles;
    luaL_setmetatable(ls, (metaName + HANDLE_SUFFIX).c_str());
    lua_getfield(ls, LUA_REGISTRYINDEX, OBJECTS_KEY);
    lua_pushvalue(ls, -3);
    lua_pushvalue(ls, -3);
    lua_rawset(ls, -3);
    lua_pop(ls, 2);
}

void LuaInterface::releaseObject(int luaRef)
{
    if (luaRef == LUA_NOREF || luaRef == LUA_REFNIL)
        return;
    lua_State* ls = getState();
    StackGuard guard(ls);
    lua_rawgeti(ls, LUA_REGISTRYINDEX, luaRef);
    pushObjectOf(ls, -1);
    ObjectHandle* handle = static_cast<ObjectHandle*>(lua_touserdata(ls, -1));
    if (handle)
        handle->object = nullptr;
    luaL_unref(ls, LUA_REGISTRYINDEX, luaRef);
}

int LuaInterface::getReference()
{
    lua_State* ls = getState();
    // Nothing to refer to: answer "no reference" rather than popping below
    // the bottom of the stack.
    if (lua_gettop(ls) == 0)
    {
        Log::error() << "LuaInterface::getReference - Nothing on the Lua stack to refer to" << std::endl;
        return LUA_NOREF;
    }
    return luaL_ref(ls, LUA_REGISTRYINDEX);
}

void LuaInterface::bindEntity(LuaBound* e)
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

bool LuaInterface::runChunk(int loadStatus, const std::string& name)
{
    LuaInterface* lua = getInstance();
    lua_State* ls = lua->_ls;
    int status = loadStatus;
    if (status == LUA_OK)
    {
        if (lua->_runDepth == 0)
        {
            lua->_deadline = secondsNow() + lua->_timeLimit;
            lua->_runName = name;
        }
        ++lua->_runDepth;
        status = lua_pcall(ls, 0, LUA_MULTRET, 0);
        if (--lua->_runDepth == 0)
            lua_sethook(ls, stopRunawayScript, LUA_MASKCOUNT, HOOK_INSTRUCTIONS);
    }
    if (status == LUA_OK)
    {
        lua->_lastError.clear();
        return true;
    }
    const char* message = lua_tostring(ls, -1);
    lua->_lastError = message ? message : name + " failed with an error that is not a string";
    return false;
}

const std::string& LuaInterface::lastError()
{
    return getInstance()->_lastError;
}

void LuaInterface::setScriptTimeLimit(double seconds)
{
    getInstance()->_timeLimit = seconds;
}

double LuaInterface::getScriptTimeLimit()
{
    return getInstance()->_timeLimit;
}

void LuaInterface::setMemoryLimit(size_t bytes)
{
    getInstance()->_memoryLimit = bytes;
}

size_t LuaInterface::getMemoryLimit()
{
    return getInstance()->_memoryLimit;
}

size_t LuaInterface::memoryInUse()
{
    return getInstance()->_bytesInUse;
}

int LuaInterface::loadScriptText(lua_State* ls, std::string text, const std::string& chunkName)
{
    // As Lua's own file loader: a byte-order mark goes, and a first line
    // starting with '#' (a "#!" line) is skipped but still counted, so error
    // lines keep their numbers. Only source text loads: a precompiled chunk
    // is not checked by Lua and a broken one can crash the interpreter.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    if (!text.empty() && text[0] == '#')
        text.erase(0, std::min(text.find('\n'), text.size()));
    return luaL_loadbufferx(ls, text.data(), text.size(), chunkName.c_str(), "t");
}

void LuaInterface::runScript(const std::string& scriptName)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const std::string path = "./" + ScriptFiles::folder() + "/" + scriptName;
    LoadedFiles::note(path, FileKind::Script);
    // While a changed script fails to compile, the last one that did runs.
    std::string kept;
    bool loaded;
    if (LoadedFiles::keptCopyIfBroken(path, kept))
        loaded = loadScriptText(ls, kept, "@" + path) == LUA_OK;
    else
        loaded = LuaSandbox::pushScriptChunk(ls, scriptName, false);
    if (!runChunk(loaded ? LUA_OK : LUA_ERRFILE, path))
    {
        const char* message = lua_tostring(ls, -1);
        // A refused or broken file is named by the sandbox or the compiler.
        Log::error() << (loaded ? "" : "LuaInterface::runScript - ") << (message ? message : "Script failed: " + path)
                     << std::endl;
    }
}

bool LuaInterface::compiles(const std::string& path, const std::string& text, std::string& error)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const std::string chunkName = "@" + path;
    if (loadScriptText(ls, text, chunkName) == LUA_OK)
        return true;
    const char* message = lua_tostring(ls, -1);
    error = message ? message : path + ": does not compile";
    return false;
}

void LuaInterface::runConsoleString(const std::string& line, const std::string& chunkName)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const std::string luaName = "=" + chunkName;
    int status = luaL_loadbufferx(ls, line.data(), line.size(), luaName.c_str(), "t");
    if (status == LUA_OK)
        LuaSandbox::widenForConsole(ls);
    if (!runChunk(status, chunkName))
        Log::error() << "LuaInterface::runString - " << lastError() << std::endl;
}

void LuaInterface::runString(const std::string& script, const std::string& chunkName)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const std::string name = chunkName.empty() ? describeSource(script) : chunkName;
    const std::string luaName = chunkName.empty() ? script : "=" + chunkName;
    if (!runChunk(luaL_loadbufferx(ls, script.data(), script.size(), luaName.c_str(), "t"), name))
        Log::error() << "LuaInterface::runString - " << lastError() << std::endl;
}

bool LuaInterface::runBooleanString(const std::string& script)
{
    lua_State* ls = getState();
    StackGuard guard(ls);
    const bool ran =
        runChunk(luaL_loadbufferx(ls, script.data(), script.size(), script.c_str(), "t"), describeSource(script));
    // A failed run never counts as a condition that holds, even when the
    // error value happens to be a boolean. Otherwise the last result is on
    // top, unless the chunk returned nothing at all.
    if (!ran || lua_gettop(ls) <= guard.top() || !lua_isboolean(ls, -1))
    {
        Log::error() << "LuaInterface::runBooleanString - Script\n\"" << script << "\"\n did not return a boolean value"
                     << std::endl;
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
    // Lua's own conversion is undefined outside its integer range, and the
    // engine's numbers are ints: refuse what does not fit.
    const lua_Number number = lua_tonumber(ls, pos);
    if (!(number >= INT_MIN && number <= INT_MAX))
        luaL_argerror(ls, pos, "number out of the integer range");
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
    // The registry, not the table's own fields, says which memory belongs
    // to an object table: a table a script made itself maps to nothing.
    pushObjectOf(ls, tableIndex);
    lua_insert(ls, pos);
    // The userdata's metatable tells its class: a table whose "core_" holds
    // another class's object, or a file handle, is refused here instead of
    // being used as this class's memory.
    // Lua raises its errors with longjmp, so nothing here may need a
    // destructor: the name is built in a plain buffer.
    char metaName[128];
    std::snprintf(metaName, sizeof metaName, "%s%s", METATABLE_PREFIX, className);
    char handleName[160];
    std::snprintf(handleName, sizeof handleName, "%s%s", metaName, HANDLE_SUFFIX);
    const ObjectHandle* handle = static_cast<const ObjectHandle*>(luaL_testudata(ls, pos, handleName));
    // Both errors jump out of this function; the returns only keep the
    // compiler's view of it whole.
    if (!handle)
    {
        luaL_argerror(ls, pos, lua_pushfstring(ls, "%s expected, got %s", metaName, luaL_typename(ls, pos)));
        return nullptr;
    }
    ++pos;
    if (!handle->object)
    {
        luaL_error(ls, "this %s is gone from the game; its object can no longer be used", className);
        return nullptr;
    }
    return handle->object;
}

namespace
{
// Trigger tiles run their scripts here; the events themselves know no Lua.
// The globals outlive the script on purpose: later scripts may read what the
// last trigger published.
void runTriggerScript(const std::string& script, const event::ParameterList& params)
{
    for (const auto& param : params)
        LuaInterface::registerGlobal(param.second, param.first);
    LuaInterface::runScript(script);
}

// Installed while the program loads, so that any trigger fired once this
// file is linked in finds its runner, whoever made the Lua state first.
const bool triggerScriptsRunHere = (event::TriggerTileEvent::setScriptRunner(&runTriggerScript), true);
}
}
