#include "CharacterTestSupport.h"

#include "Log/Log.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "data/ResourceManager.h"

namespace charactertest
{
Logs& logs()
{
    static Logs* instance = nullptr;
    if (!instance)
    {
        instance = new Logs();
        Log::setErrorStream(&instance->error);
        Log::setNamedStream("oskel", &instance->oskel);
        Log::setNamedStream("ResourceManager", &instance->resourceManager);
        Log::setNamedStream("Ability", &instance->ability);
        Log::setNamedStream("vosk", &instance->sound);
    }
    return *instance;
}

void prepareWorld()
{
    static bool prepared = false;
    if (prepared)
    {
        return;
    }
    prepared = true;
    logs();
    core::LuaInterface::getInstance();
    core::initEngine();
    // Abilities first: classes name the abilities they grant.
    EXPECT_TRUE(core::ResourceManager::buildFromXMLFile("tests/data/character/data/abilities.xml"));
    EXPECT_TRUE(core::ResourceManager::buildFromXMLFile("tests/data/character/data/classes.xml"));
}
}
