#pragma once

#include <memory>
#include <string>

namespace core
{
class Character;
class Entity;
class InventoryView;
class Party;
class PartyHost;
class PartyView;

// The party the player leads, what it carries and the menus that show it.
// Part of the running session; what it needs of the game around it (the
// scene a new member comes from, whether a fight is on) it asks its host.
class PartyState
{
public:
    explicit PartyState(const PartyHost& host);
    ~PartyState();
    PartyState(const PartyState&) = delete;
    PartyState& operator=(const PartyState&) = delete;

    Party* getParty() const { return _party.get(); }
    // The party replaced is freed; its members stay in the store.
    void setParty(std::unique_ptr<Party> party);
    // The member the player walks; null without a party or without one.
    Character* getAvatar() const;
    // Null when there is no party or no member with that id.
    Entity* getMember(const std::string& id) const;

    // Without a party nothing is held, and nothing is gained or lost.
    bool hasItem(const std::string& itemId) const;
    void gainItem(const std::string& itemId);
    void loseItem(const std::string& itemId);
    // Runs the item's script for the avatar ("obj"); false, logged, when the
    // party holds no such item, the item is unknown, or a fight is on.
    bool useItem(const std::string& itemId);

    // Adds the entity of the current scene with that id to the avatar's
    // party; false, logged, when there is no such character or no party.
    bool addToParty(const std::string& characterId);

    // The menus (not owned: widgets belong to the GUI manager); either may
    // stay null, and then viewing it does nothing.
    void setPartyView(PartyView* partyMenu) { _partyView = partyMenu; }
    void setInventoryView(InventoryView* inventoryMenu) { _inventoryView = inventoryMenu; }
    void viewParty();
    void viewInventory();
    // Opens the party menu on that member's sheet.
    void viewCharacter(const std::string& id);

private:
    const PartyHost& _host;
    // The characters themselves belong to the CharacterStore.
    std::unique_ptr<Party> _party;
    PartyView* _partyView = nullptr;
    InventoryView* _inventoryView = nullptr;
};
}
