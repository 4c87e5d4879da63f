#include "session/EngineStart.h"

#include "data/Character.h"
#include "session/LuaBindings.h"
#include "world/Scene.h"

namespace core
{
void initEngine()
{
    initLuaBindings();
    Scene::setCharacterMaker([](tinyxml2::XMLElement* element) -> Entity* {
        return Character::buildFromXMLElement(element);
    });
}
}
