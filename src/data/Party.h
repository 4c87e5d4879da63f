#pragma once

#include <memory>
#include <string>

#include <tinyxml2.h>

#include "world/Entity.h"
#include "data/IdList.h"

namespace core
{
class Character;

// The characters the player leads and what they carry. Members are keyed by
// id; the party does not own them (the CharacterStore does).
class Party
{
public:
    explicit Party(const std::string& id = std::string());
    virtual ~Party();
    Party(const Party&) = delete;
    Party& operator=(const Party&) = delete;

    // A new party owned by the caller; null for a null element. Members that
    // cannot be built are logged and left out.
    static std::unique_ptr<Party> buildFromXMLElement(tinyxml2::XMLElement* element);

    void addMember(Character* character);
    void removeMember(const std::string& id);
    EntityMap& getMembers();
    IdList& getInventory();
    // Looks members up by display name, not by id.
    Character* getCharacter(const std::string& name);
    const std::string& getId() const;

private:
    void store(Character* character);
    void readCharacter(tinyxml2::XMLElement* element);

    std::string _id;
    EntityMap _members;
    IdList _inventory;
};
}
