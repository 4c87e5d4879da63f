#pragma once

#include <cstddef>
#include <string>

#include <lua.hpp>

namespace core
{
class Character;
class Entity;
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
// here (an object table whose "core_" userdata holds the object itself),
// are published to scripts under global names, and scripts are run through
// it. Every run leaves the Lua stack exactly as it found it.
class LuaInterface
{
public:
    static LuaInterface* getInstance();

    // Registers the script-visible classes; call once before any session
    // or character is built.
    static void init();

    static void addClass(const std::string& className, const luaL_Reg* staticMethods,
                         const luaL_Reg* methods);
    static void addStaticClass(const std::string& className, const luaL_Reg* staticMethods);

    // Leaves the new object table on top of the stack: the caller must take
    // it off at once with getReference() or bindEntity().
    static void* allocObjectOfClass(const std::string& className, size_t size);
    static int getReference();
    static void bindEntity(Entity* e);

    static void registerAlias(int luaRef, const std::string& varName);
    static void clearAlias(const std::string& varName);
    static void registerGlobal(const std::string& str, const std::string& varName);
    static void registerGlobal(int val, const std::string& varName);

    static void runScript(const std::string& scriptName);
    static void runString(const std::string& script);
    static bool runBooleanString(const std::string& script);

    // Readers for bound functions: each checks the argument at pos (raising
    // Lua's bad-argument error on a wrong type) and advances pos by one.
    static bool getLuaBool(lua_State* ls, int& pos);
    static int getLuaInt(lua_State* ls, int& pos);
    static const char* getLuaString(lua_State* ls, int& pos);
    static double getLuaDouble(lua_State* ls, int& pos);

    // Decodes the receiver of a colon-syntax method call: the object table
    // at pos is replaced on the stack by its "core_" userdata, whose memory
    // is the engine object. Leaves pos at the first real argument. A
    // receiver of another class raises Lua's bad-argument error.
    template <typename T>
    static T* initLuaCall(lua_State* ls, int& pos)
    {
        return static_cast<T*>(objectOfCall(ls, pos, LuaClass<T>::name()));
    }

    static lua_State* getState();

    // Where script files live, relative to the working directory.
    static const std::string SCRIPT_DIRECTORY;

    LuaInterface(const LuaInterface&) = delete;
    LuaInterface& operator=(const LuaInterface&) = delete;

private:
    LuaInterface();
    ~LuaInterface();

    static void* objectOfCall(lua_State* ls, int& pos, const char* className);
    static void pushClassMetatable(const std::string& className);
    static bool runChunk(int loadStatus);

    lua_State* _ls;
};
}
