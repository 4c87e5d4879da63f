#pragma once

#include <string>
#include <utility>
#include <vector>

#include <tinyxml2.h>

namespace core
{
class Character;
class Effect;

// What a saved game keeps of one party member: its statistics, abilities,
// class levels and effects, everything play can change about it.
class CharacterSnapshot
{
public:
    static CharacterSnapshot capture(Character& character);

    // Writes the member as a child of `parent`.
    void toXml(tinyxml2::XMLElement* parent) const;
    // False with the reason when the element does not describe a member;
    // values held to their range are noted in `warnings`.
    static bool fromXml(const tinyxml2::XMLElement* element, CharacterSnapshot& snapshot, std::string& error,
                        std::vector<std::string>& warnings);

    // Makes the character what the snapshot says; abilities and classes the
    // game no longer knows are left out and named in `skipped`.
    void applyTo(Character& character, std::vector<std::string>& skipped) const;

    const std::string& getId() const { return _id; }
    // Statistics by their record attribute names, in the record's order.
    const std::vector<std::pair<std::string, int>>& getStats() const { return _stats; }
    const std::vector<std::string>& getAbilities() const { return _abilities; }
    const std::vector<std::pair<std::string, int>>& getClassLevels() const { return _classLevels; }
    const std::vector<std::string>& getEffects() const { return _effects; }

private:
    void applyStats(Character& character) const;
    void withoutChanges(const Effect& effect);
    // The saved value, 0 when the save has none.
    int statValue(const std::string& name) const;

    std::string _id;
    std::vector<std::pair<std::string, int>> _stats;
    std::vector<std::string> _abilities;
    std::vector<std::pair<std::string, int>> _classLevels;
    std::vector<std::string> _effects;
};
}
