#include "combat/CombatSides.h"

#include "combat/CombatWording.h"

#include <algorithm>
#include <vector>

#include "data/Character.h"
#include "combat/CombatDistance.h"
#include "script/LuaInterface.h"
#include "script/ScriptInstance.h"

namespace core
{
void CombatSides::begin(Character* avatar, std::list<Character*>* enemies)
{
    _party.clear();
    _fallen.clear();
    if (avatar)
    {
        _party.push_back(avatar);
        setCanAct(avatar, true);
    }
    _enemies = enemies;
}

void CombatSides::begin(const std::list<Character*>& members, std::list<Character*>* enemies)
{
    _party.clear();
    _fallen.clear();
    for (Character* member : members)
    {
        if (!member || isInParty(member) || std::find(_fallen.begin(), _fallen.end(), member) != _fallen.end())
            continue;
        const bool standing = member->getHP(false) >= 1;
        (standing ? _party : _fallen).push_back(member);
        setCanAct(member, standing);
    }
    _enemies = enemies;
}

bool CombatSides::isInParty(const Character* character) const
{
    return character && std::find(_party.begin(), _party.end(), character) != _party.end();
}

bool CombatSides::isStandingEnemy(const Character* character) const
{
    return character && _enemies && std::find(_enemies->begin(), _enemies->end(), character) != _enemies->end() &&
           character->getHP(false) >= 1;
}

bool CombatSides::isTakingPart(const Entity* entity) const
{
    if (!entity)
        return false;
    const auto same = [entity](const Character* c) { return static_cast<const Entity*>(c) == entity; };
    return std::any_of(_party.begin(), _party.end(), same) || std::any_of(_fallen.begin(), _fallen.end(), same) ||
           (_enemies && std::any_of(_enemies->begin(), _enemies->end(), same));
}

Character* CombatSides::characterAt(TilePos square) const
{
    Character* found = nullptr;
    for (Character* member : _party)
        if (member && squareOf(member) == square)
            found = member;
    if (_enemies)
        for (Character* foe : *_enemies)
            if (foe && squareOf(foe) == square)
                found = foe;
    return found;
}

std::list<Character*> CombatSides::charactersNear(TilePos centre, int radius) const
{
    std::list<Character*> near;
    auto collect = [&](const std::list<Character*>& side)
    {
        for (Character* c : side)
            if (c && combatDistance(squareOf(c), centre) < radius)
                near.push_back(c);
    };
    collect(_party);
    if (_enemies)
        collect(*_enemies);
    return near;
}

bool CombatSides::canAct(Character* character) const
{
    if (!character)
        return false;
    auto found = _canAct.find(character->getName());
    return found != _canAct.end() && found->second;
}

void CombatSides::setCanAct(Character* character, bool canAct)
{
    if (character)
        _canAct[character->getName()] = canAct;
}

void CombatSides::setPartyCanAct(bool canAct)
{
    for (Character* member : _party)
        setCanAct(member, canAct);
}

void CombatSides::removeFallen(std::string& text)
{
    removeFallenMembers(text);
    removeDeadEnemies(text);
}

void CombatSides::removeFallenMembers(std::string& text)
{
    for (auto it = _party.begin(); it != _party.end();)
    {
        Character* member = *it;
        if (member && member->getHP(false) < 1)
        {
            // The player's side falls but is not killed: the avatar must
            // still stand in the scene when the fight is tried again. A
            // fallen member is down at 0, not below, so that one heal
            // after the fight stands them up again.
            text += CombatWording::fallen(member) + "\n";
            member->addHP(false, -member->getHP(false));
            setCanAct(member, false);
            _fallen.push_back(member);
            it = _party.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

void CombatSides::removeDeadEnemies(std::string& text)
{
    if (!_enemies)
        return;
    std::vector<Character*> dead;
    for (auto it = _enemies->begin(); it != _enemies->end();)
    {
        Character* foe = *it;
        if (foe && foe->getHP(false) < 1)
        {
            text += CombatWording::defeated(foe) + "\n";
            foe->kill();
            dead.push_back(foe);
            it = _enemies->erase(it);
        }
        else
        {
            ++it;
        }
    }
    // Defeat scripts run once each, after the lists are settled, so that a
    // script may look at the fight as it now stands.
    for (Character* foe : dead)
    {
        if (!foe->getDefeatScript())
            continue;
        LuaInterface::registerAlias(foe->getLuaRef(), "obj");
        foe->getDefeatScript()->run();
        LuaInterface::clearAlias("obj");
    }
}

TilePos CombatSides::squareOf(const Character* character)
{
    if (!character)
        return TilePos{-1, -1};
    return TilePos::of(character->getPosition());
}
}
