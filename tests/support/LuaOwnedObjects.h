#pragma once

#include "data/Character.h"
#include "script/LuaInterface.h"
#include "data/Party.h"
#include "session/Session.h"
#include "graphics/TGSprite.h"

// The game never frees its session and characters: they live in Lua memory
// until exit, and closing the Lua state then drops them without running
// their destructors. Tests and fuzzers that build many of them undo each one
// here, so that memory checkers see only real leaks.
namespace luaowned
{
inline void destroyEntity(core::Entity* entity)
{
    if (!entity)
        return;
    tamsygraphics::Sprite* sprite = entity->getSprite();
    const int ref = entity->getLuaRef();
    entity->~Entity();
    delete sprite;
    core::LuaInterface::releaseObject(ref);
}

inline void destroyEntities(core::EntityMap& entities)
{
    for (auto& entry : entities)
        destroyEntity(entry.second);
    entities.clear();
}

inline void destroyParty(core::Party* party)
{
    if (!party)
        return;
    destroyEntities(party->getMembers());
    delete party;
}

inline void destroySession(core::Session* session)
{
    if (!session)
        return;
    // The session's scenes go first: they let go of the party members
    // standing in them.
    core::Party* party = session->getCurrentParty();
    const int ref = session->getLuaRef();
    session->~Session();
    core::LuaInterface::releaseObject(ref);
    destroyParty(party);
}
}
