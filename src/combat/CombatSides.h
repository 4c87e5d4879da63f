#pragma once

#include <list>
#include <map>
#include <string>

#include "world/TilePos.h"

namespace core
{
class Character;
class Entity;

// Who fights on which side of a running fight, where they stand, who may
// still act this turn, and who has fallen.
class CombatSides
{
public:
    // The party is made afresh for each fight; the enemy list is the
    // caller's and must outlive the fight, because the dead are taken out of it.
    // The avatar alone stands, whatever its hit points.
    void begin(Character* avatar, std::list<Character*>* enemies);
    // The whole party, in the order given; members already down count as
    // fallen from the start.
    void begin(const std::list<Character*>& members, std::list<Character*>* enemies);

    // The members still standing, in turn order.
    const std::list<Character*>& party() const { return _party; }
    // Members who fell: they stay on the field but neither act nor are aimed at.
    const std::list<Character*>& fallen() const { return _fallen; }
    const std::list<Character*>* enemies() const { return _enemies; }
    bool enemiesLeft() const { return _enemies && !_enemies->empty(); }
    bool isInParty(const Character* character) const;
    // An enemy of this fight that still stands.
    bool isStandingEnemy(const Character* character) const;
    bool isTakingPart(const Entity* entity) const;

    // Whoever stands on the square, an enemy before a party member.
    Character* characterAt(TilePos square) const;
    // Everybody, party first, whose square lies within `radius` of the centre.
    std::list<Character*> charactersNear(TilePos centre, int radius) const;

    // Kept by name across fights, so a character without an entry cannot act.
    bool canAct(Character* character) const;
    void setCanAct(Character* character, bool canAct);
    void setPartyCanAct(bool canAct);

    // Takes out whoever has fallen and adds a line for each to `text`.
    void removeFallen(std::string& text);

    // A character's square, or (-1, -1) for nobody.
    static TilePos squareOf(const Character* character);

private:
    void removeFallenMembers(std::string& text);
    void removeDeadEnemies(std::string& text);

    std::list<Character*> _party;
    std::list<Character*> _fallen;
    std::list<Character*>* _enemies = nullptr;
    std::map<std::string, bool> _canAct;
};
}
