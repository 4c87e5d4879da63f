#include "session/PartyState.h"

#include <utility>

#include "Log/Log.h"
#include "data/Character.h"
#include "data/Item.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "script/LuaInterface.h"
#include "session/InventoryView.h"
#include "session/PartyHost.h"
#include "session/PartyView.h"
#include "world/Scene.h"

namespace core
{
PartyState::PartyState(const PartyHost& host) : _host(host)
{
}

PartyState::~PartyState() = default;

void PartyState::setParty(std::unique_ptr<Party> party)
{
    _party = std::move(party);
}

Character* PartyState::getAvatar() const
{
    if (!_party)
        return nullptr;
    for (const auto& entry : _party->getMembers())
    {
        Entity* member = entry.second;
        if (member && member->isAvatar())
            return dynamic_cast<Character*>(member);
    }
    return nullptr;
}

Entity* PartyState::getMember(const std::string& id) const
{
    if (!_party)
        return nullptr;
    EntityMap& members = _party->getMembers();
    auto found = members.find(id);
    return found == members.end() ? nullptr : found->second;
}

bool PartyState::hasItem(const std::string& itemId) const
{
    return _party && _party->getInventory().contains(itemId);
}

void PartyState::gainItem(const std::string& itemId)
{
    if (_party)
        _party->getInventory().add(itemId);
}

void PartyState::loseItem(const std::string& itemId)
{
    if (_party)
        _party->getInventory().remove(itemId);
}

bool PartyState::useItem(const std::string& itemId)
{
    if (_host.isFightOn())
    {
        Log::named("Session") << "Session::useItem - Items are not used during a fight: " << itemId << std::endl;
        return false;
    }
    const Item* item = ResourceManager::getItemById(itemId);
    Character* avatar = getAvatar();
    if (!hasItem(itemId) || !item || !avatar)
    {
        Log::named("Session") << "Session::useItem - Cannot use " << itemId << std::endl;
        return false;
    }
    LuaInterface::registerAlias(avatar->getLuaRef(), "obj");
    LuaInterface::runScript(item->scriptFilename());
    LuaInterface::clearAlias("obj");
    return true;
}

bool PartyState::addToParty(const std::string& characterId)
{
    Character* avatar = getAvatar();
    Party* party = avatar ? avatar->getParty() : nullptr;
    if (!party)
    {
        Log::named("Session") << "Session::addToParty - No avatar party to add " << characterId << " to" << std::endl;
        return false;
    }
    Scene* scene = _host.getCurrentScene();
    Character* character = dynamic_cast<Character*>(scene ? scene->getEntity(characterId) : nullptr);
    if (!character)
    {
        Log::named("Session") << "Session::addToParty - No character " << characterId << " in the current scene"
                              << std::endl;
        return false;
    }
    if (party->getMembers().count(characterId))
    {
        Log::named("Session") << "Session::addToParty - " << characterId << " is already in the party" << std::endl;
        return false;
    }
    party->addMember(character);
    return true;
}

void PartyState::viewParty()
{
    if (_partyView)
        _partyView->show();
}

void PartyState::viewInventory()
{
    if (_inventoryView)
        _inventoryView->show();
}

void PartyState::viewCharacter(const std::string& id)
{
    Character* member = dynamic_cast<Character*>(getMember(id));
    if (!member)
    {
        Log::named("Session") << "Session::viewCharacter - No party member " << id << std::endl;
        return;
    }
    viewParty();
    if (_partyView)
        _partyView->showSheetOf(member);
}
}
