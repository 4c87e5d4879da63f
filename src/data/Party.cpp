#include "data/Party.h"

#include "Log/Log.h"
#include "data/Character.h"
#include "util/util.h"

namespace core
{
namespace
{
const char* const LOG_NAME = "Party";

std::string describe(tinyxml2::XMLElement* element)
{
    return "(id \"" + nullToEmpty(element->Attribute("id")) + "\", template \"" +
           nullToEmpty(element->Attribute("template")) + "\", line " + toString(element->GetLineNum()) + ")";
}
}

Party::Party(const std::string& id) : _id(id)
{
}

Party::~Party()
{
    // Members outlive their party (the store owns them): none may keep
    // pointing at it once it is gone, as when a later party replaces it.
    for (const auto& member : _members)
        if (auto* character = dynamic_cast<Character*>(member.second); character && character->getParty() == this)
            character->setParty(nullptr);
}

std::unique_ptr<Party> Party::buildFromXMLElement(tinyxml2::XMLElement* element)
{
    if (!element)
    {
        Log::error() << "Party::buildFromXMLElement - Unable to build party from NULL XML Element" << std::endl;
        return nullptr;
    }
    auto party = std::make_unique<Party>(nullToEmpty(element->Attribute("id")));
    Log::named(LOG_NAME) << "Building party " << party->_id << std::endl;
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string kind = child->Name();
        if (kind == "character")
            party->readCharacter(child);
        else if (kind == "item")
            party->_inventory.add(nullToEmpty(child->GetText()));
    }
    return party;
}

void Party::readCharacter(tinyxml2::XMLElement* element)
{
    Character* character = Character::buildFromXMLElement(element);
    if (!character)
    {
        Log::error() << "Cannot add NULL party member " << describe(element) << std::endl;
        return;
    }
    if (_members.count(character->getId()))
        Log::named(LOG_NAME) << character->getId() << " is already a member " << std::endl;
    Log::named(LOG_NAME) << "Adding character " << character->getId() << std::endl;
    store(character);
}

void Party::addMember(Character* character)
{
    if (!character)
    {
        Log::error() << "Character::addMember - Cannot add NULL party member " << std::endl;
        return;
    }
    if (_members.count(character->getId()))
        Log::named(LOG_NAME) << "Character::addMember - " << character->getId() << " is already a member " << std::endl;
    Log::named(LOG_NAME) << "Adding Character " << character->getId() << std::endl;
    store(character);
}

void Party::store(Character* character)
{
    // A later member with the same id takes the place of the earlier one.
    _members[character->getId()] = character;
    character->setParty(this);
}

void Party::removeMember(const std::string& id)
{
    auto member = _members.find(id);
    if (member == _members.end())
    {
        Log::named(LOG_NAME) << "Party::removeMember - " << id << " is not a member" << std::endl;
        return;
    }
    _members.erase(member);
}

EntityMap& Party::getMembers()
{
    return _members;
}

IdList& Party::getInventory()
{
    return _inventory;
}

Character* Party::getCharacter(const std::string& name)
{
    for (auto& member : _members)
        if (member.second && member.second->getName() == name)
            return static_cast<Character*>(member.second);
    Log::error() << "Party::getCharacter - expected to find character with name: " << name
                 << ", but did not find that character" << std::endl;
    return nullptr;
}

const std::string& Party::getId() const
{
    return _id;
}
}
