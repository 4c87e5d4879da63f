#include "EntityTestSupport.h"

#include <cstdlib>
#include <deque>
#include <iostream>

#include <lua.hpp>

#include "Log/Log.h"
#include "core/LevelMap/LevelMap.h"
#include "core/LuaInterface.h"

namespace
{
std::deque<int> queuedRand;
unsigned int fallbackState = 12345u;

int nextFallbackRand()
{
    fallbackState = fallbackState * 1103515245u + 12345u;
    return static_cast<int>((fallbackState >> 1) & 0x7fffffff);
}

int luaSetIsInWanderRegion(lua_State* ls)
{
    auto* entity = static_cast<core::Entity*>(lua_touserdata(ls, lua_upvalueindex(1)));
    entity->setIsInWanderRegion(luaL_checknumber(ls, 2) != 0);
    return 0;
}
}

extern "C" int rand() noexcept
{
    if (queuedRand.empty())
        return nextFallbackRand();
    const int value = queuedRand.front();
    queuedRand.pop_front();
    return value;
}

namespace entitytest
{
void queueRand(std::initializer_list<int> values)
{
    queuedRand.insert(queuedRand.end(), values.begin(), values.end());
}

void clearRand()
{
    queuedRand.clear();
}

void seedFallbackRand(unsigned int seed)
{
    fallbackState = seed;
}

void registerLuaClasses()
{
    static const bool registered = [] {
        core::LuaInterface::init();
        return true;
    }();
    (void)registered;
}

std::string dataMap(const std::string& name)
{
    return "tests/core/entity/data/" + name;
}

TestScene::TestScene(const std::string& mapName, const std::string& id)
    : _scene(new core::Scene(dataMap(mapName), id))
{
}

TestScene::~TestScene()
{
    delete _scene->getLevelMap();
}

TestEntity::TestEntity(const std::string& id, bool withSprite)
{
    setId(id);
    if (withSprite)
    {
        _ownedSprite.reset(new tamsygraphics::Sprite(id));
        setSprite(_ownedSprite.get());
        _runner.setSprite(_ownedSprite.get());
    }

    lua_State* ls = core::LuaInterface::getInstance()->getState();
    lua_newtable(ls);
    lua_pushstring(ls, id.c_str());
    lua_setfield(ls, -2, "id");
    lua_pushlightuserdata(ls, static_cast<core::Entity*>(this));
    lua_pushcclosure(ls, luaSetIsInWanderRegion, 1);
    lua_setfield(ls, -2, "setIsInWanderRegion");
    setLuaRef(luaL_ref(ls, LUA_REGISTRYINDEX));
}

TestEntity::~TestEntity()
{
    lua_State* ls = core::LuaInterface::getInstance()->getState();
    luaL_unref(ls, LUA_REGISTRYINDEX, getLuaRef());
}

void finishStep(core::Entity& entity)
{
    for (int i = 0; i < 5; ++i)
        entity.updatePosition();
}

int luaGlobalInt(const std::string& name)
{
    lua_State* ls = core::LuaInterface::getInstance()->getState();
    lua_getglobal(ls, name.c_str());
    const int value = lua_isnumber(ls, -1) ? static_cast<int>(lua_tointeger(ls, -1)) : 0;
    lua_pop(ls, 1);
    return value;
}

std::string luaGlobalString(const std::string& name)
{
    lua_State* ls = core::LuaInterface::getInstance()->getState();
    lua_getglobal(ls, name.c_str());
    const char* text = lua_isstring(ls, -1) ? lua_tostring(ls, -1) : nullptr;
    std::string value = text ? text : "";
    lua_pop(ls, 1);
    return value;
}

bool luaGlobalIsNil(const std::string& name)
{
    lua_State* ls = core::LuaInterface::getInstance()->getState();
    lua_getglobal(ls, name.c_str());
    const bool isNil = lua_isnil(ls, -1);
    lua_pop(ls, 1);
    return isNil;
}

void resetLuaGlobal(const std::string& name)
{
    core::LuaInterface::clearAlias(name);
}

std::ostringstream* capturedStream(const std::string& name)
{
    static std::ostringstream vosk;
    static std::ostringstream scene;
    if (name == "vosk")
        return &vosk;
    if (name == "Scene")
        return &scene;
    return nullptr;
}

namespace
{
// Routed before any test runs, so that no earlier write claims the names.
const bool routed = [] {
    Log::setNamedStream("vosk", capturedStream("vosk"));
    Log::setNamedStream("Scene", capturedStream("Scene"));
    return true;
}();
}

LogTail::LogTail(const std::string& streamName) : _stream(capturedStream(streamName)), _start(0)
{
    if (_stream)
        _start = _stream->str().size();
}

std::string LogTail::text() const
{
    return _stream ? _stream->str().substr(_start) : std::string();
}

int LogTail::count(const std::string& needle) const
{
    const std::string haystack = text();
    int found = 0;
    for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1))
        ++found;
    return found;
}

ErrorCapture::ErrorCapture()
{
    Log::setErrorStream(&_stream);
    Log::setWarnStream(&_stream);
}

ErrorCapture::~ErrorCapture()
{
    Log::setErrorStream(&std::cout);
    Log::setWarnStream(&std::cout);
}
}
