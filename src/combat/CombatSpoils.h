#pragma once

#include <list>
#include <string>
#include <vector>

namespace core
{
class Character;
class IdList;

// What a won fight gives: the experience of every enemy, shared among the
// members still standing, and the items the enemies carried, put in the
// party's bag. Taken when the fight begins, since the fallen are gone by
// the end of it.
class CombatSpoils
{
public:
    // Sounds played when a member rises a level and when loot is found.
    static constexpr const char* LEVEL_UP_CUE = "levelUp";
    static constexpr const char* LOOT_CUE = "loot";

    void begin(const std::list<Character*>* enemies);
    // Gives everything out; one line for each thing gained, for the result box.
    std::vector<std::string> award(const std::list<Character*>& victors, IdList* bag);

    int experience() const { return _experience; }
    const std::vector<std::string>& items() const { return _items; }

private:
    std::vector<std::string> shareExperience(const std::list<Character*>& victors);
    std::vector<std::string> takeLoot(IdList* bag);

    int _experience = 0;
    std::vector<std::string> _items;
};
}
