#include "EntityTestSupport.h"

#include <cstdlib>
#include <deque>

#include <lua.hpp>

#include "map/LevelMap.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "support/LogCapture.h"

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
    static const bool registered = []
    {
        core::initEngine();
        return true;
    }();
    (void)registered;
}

std::string dataMap(const std::string& name)
{
    return "tests/world/data/" + name;
}

TestScene::TestScene(const std::string& mapName, const std::string& id) : _scene(new core::Scene(dataMap(mapName), id))
{
}

TestScene::~TestScene() = default;

TestEntity::TestEntity(const std::string& id, bool withSprite)
{
    setId(id);
    if (withSprite)
    {
        setSprite(std::make_unique<tamsygraphics::Sprite>(id));
        _runner.setSprite(getSprite());
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

namespace
{
// The log keeps the first routing it is given for a name, so the streams the
// tests read are routed before any test runs.
const bool routed = []
{
    testsupport::routeLogStream("vosk");
    testsupport::routeLogStream("Scene");
    return true;
}();
}
}
