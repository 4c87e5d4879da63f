#pragma once

#include <memory>
#include <vector>

#include "data/Character.h"
#include "data/CharacterStore.h"
#include "data/Party.h"
#include "session/Session.h"

// The game keeps every character it reads until the run ends (the character
// store owns them). Tests and fuzzers that build many of them free each one
// here, so that memory checkers see only real leaks.
namespace luaowned
{
inline void destroyEntity(core::Entity* entity)
{
    // The character frees its sprite with itself.
    auto* character = dynamic_cast<core::Character*>(entity);
    if (character)
        core::CharacterStore::release(character);
}

inline void destroyEntities(core::EntityMap& entities)
{
    // Off the list first: freeing a character changes no map but its party's.
    const core::EntityMap doomed = entities;
    entities.clear();
    for (const auto& entry : doomed)
        destroyEntity(entry.second);
}

inline void destroyParty(std::unique_ptr<core::Party> party)
{
    if (!party)
        return;
    destroyEntities(party->getMembers());
}

// A session kept until the process ends, as the game's lives until it
// quits: tests that share scripts and input contexts across cases rely on
// it. Never freed, so nothing runs after the subsystems it uses are gone.
inline core::Session* keepForRun(std::unique_ptr<core::Session> session)
{
    static auto* kept = new std::vector<std::unique_ptr<core::Session>>();
    core::Session* held = session.get();
    if (session)
        kept->push_back(std::move(session));
    return held;
}

inline void destroySession(std::unique_ptr<core::Session> session)
{
    if (!session)
        return;
    // The session's scenes go first: they let go of the party members
    // standing in them. The members outlive the party in the store.
    std::vector<core::Entity*> members;
    if (core::Party* party = session->getCurrentParty())
        for (const auto& entry : party->getMembers())
            members.push_back(entry.second);
    session.reset();
    for (core::Entity* member : members)
        destroyEntity(member);
}
}
