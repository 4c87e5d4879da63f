#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <lua.hpp>

namespace core
{
class Character;
class LuaBound;
class Scene;
class Session;

// The script-visible class whose objects a bound method of T is called on.
// Methods check it, so a script cannot hand one kind of engine object (or
// any other userdata) where another is expected.
template <typename T>
struct LuaClass;
template <>
struct LuaClass<Session>
{
    static const char* name() { return "Session"; }
};
template <>
struct LuaClass<Character>
{
    static const char* name() { return "Character"; }
};
template <>
struct LuaClass<Scene>
{
    static const char* name() { return "Scene"; }
};

// Owner of the process's one Lua state. Engine objects get a Lua identity
// here (an object table whose "core_" userdata holds a handle to the
// object, never the object itself: the engine owns its objects), are
// published to scripts under global names, and scripts are run through it.
// Every run leaves the Lua stack exactly as it found it.
class LuaInterface
{
public:
    static LuaInterface* getInstance();

    // One Lua global and the functions scripts reach through it: `statics`
    // with dot syntax on the global, `methods` (null for none) with colon
    // syntax on every object of the class. Tables end with a pair of nulls.
    struct ClassTables
    {
        const char* name;
        const luaL_Reg* statics;
        const luaL_Reg* methods;
    };
    // The classes init() registers. The game's vocabulary is kept above this
    // layer (it knows the session and the characters) and handed down here.
    static void setClasses(std::vector<ClassTables> classes);

    // Registers the script-visible classes; call once before any session
    // or character is built.
    static void init();

    static void addClass(const std::string& className, const luaL_Reg* staticMethods, const luaL_Reg* methods);
    static void addStaticClass(const std::string& className, const luaL_Reg* staticMethods);

    // Gives an engine object (owned elsewhere) a Lua identity of the class.
    // Leaves the new object table on top of the stack: the caller must take
    // it off at once with getReference() or bindEntity(). The owner calls
    // releaseObject before the object is freed.
    static void pushObjectOfClass(const std::string& className, void* object);
    static int getReference();
    static void bindEntity(LuaBound* e);

    static void registerAlias(int luaRef, const std::string& varName);
    static void clearAlias(const std::string& varName);
    static void registerGlobal(const std::string& str, const std::string& varName);
    static void registerGlobal(int val, const std::string& varName);

    // Runs a file of the game's script folder (ScriptFiles); a name that
    // leads out of it is refused with an error line.
    static void runScript(const std::string& scriptName);
    // Compiles a script's source text onto the stack (does not run it), as
    // Lua's file loader would: a byte-order mark and a "#!" first line are
    // passed over; precompiled chunks are refused. Lua's load status.
    static int loadScriptText(lua_State* ls, std::string text, const std::string& chunkName);
    // Whether the text compiles as the script at `path`, without running
    // it; Lua's message (file and line) in `error` when not.
    static bool compiles(const std::string& path, const std::string& text, std::string& error);
    // A developer console line: like runString, but with the console's
    // wider globals when the player opted in (LuaSandbox).
    static void runConsoleString(const std::string& line, const std::string& chunkName);
    // Compile and run errors go to the error log, naming the chunk: the
    // given name, or the start of the source when there is none.
    static void runString(const std::string& script, const std::string& chunkName = std::string());
    static bool runBooleanString(const std::string& script);

    // Lua's message for the last run that failed to compile or run, empty
    // when the last run succeeded: the console shows it to the person typing.
    static const std::string& lastError();

    // A run still going after this many seconds is stopped with a Lua
    // error; nested runs share the outermost run's deadline.
    static void setScriptTimeLimit(double seconds);
    static double getScriptTimeLimit();
    // Raises the time-limit error in a running script past its deadline:
    // for C code that the instruction hook cannot interrupt.
    static void checkTimeLimit(lua_State* ls);
    // Scripts cannot make the state hold more than this many bytes: an
    // allocation past it fails as Lua's memory error inside the script.
    static void setMemoryLimit(size_t bytes);
    static size_t getMemoryLimit();
    static size_t memoryInUse();

    // Cuts the handle of an object that is about to be freed: a script
    // still holding its table gets a Lua error naming the class when it
    // calls a method, never the freed memory. The handle itself goes with
    // the last script reference to the table. Scripts can never do this.
    static void releaseObject(int luaRef);
    // Handles whose userdata Lua has not collected yet, released or not.
    static int liveHandles();

    // Readers for bound functions: each checks the argument at pos (raising
    // Lua's bad-argument error on a wrong type) and advances pos by one.
    static bool getLuaBool(lua_State* ls, int& pos);
    static int getLuaInt(lua_State* ls, int& pos);
    static const char* getLuaString(lua_State* ls, int& pos);
    static double getLuaDouble(lua_State* ls, int& pos);

    // Decodes the receiver of a colon-syntax method call: the object table
    // at pos is replaced on the stack by its "core_" userdata, whose handle
    // leads to the engine object. Leaves pos at the first real argument. A
    // receiver of another class raises Lua's bad-argument error, one whose
    // object has been released a Lua error.
    template <typename T>
    static T* initLuaCall(lua_State* ls, int& pos)
    {
        return static_cast<T*>(objectOfCall(ls, pos, LuaClass<T>::name()));
    }

    static lua_State* getState();

    LuaInterface(const LuaInterface&) = delete;
    LuaInterface& operator=(const LuaInterface&) = delete;

private:
    LuaInterface();
    ~LuaInterface();

    static void* objectOfCall(lua_State* ls, int& pos, const char* className);
    static void pushClassMetatable(const std::string& className);
    static void setBindings(const luaL_Reg* rows);
    static bool runChunk(int loadStatus, const std::string& name);
    static void* allocate(void* self, void* block, size_t oldSize, size_t newSize);
    static int collectHandle(lua_State* ls);
    static void stopRunawayScript(lua_State* ls, lua_Debug* ar);

    lua_State* _ls;
    size_t _bytesInUse = 0;
    int _liveHandles = 0;
    std::vector<ClassTables> _classes;
    size_t _memoryLimit;
    double _timeLimit;
    int _runDepth = 0;
    double _deadline = 0.0;
    std::string _runName;
    std::string _lastError;
};
}
