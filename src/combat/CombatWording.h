#pragma once

#include <string>
#include <vector>

#include "data/Ability.h"

namespace core
{
class Character;

// The sentences a fight shows the player ("Ada hits the wolf for 9.",
// "The wolf is defeated."), built from display names. The ids and the
// rolls go to the log; these are for reading.
class CombatWording
{
public:
    // A written lower-case name is a common noun and takes "the" ("the
    // wolf"); any other name is a proper one ("Ada", "Grim").
    static std::string refer(const Character* character, bool startOfSentence = false);
    // "Ada uses Slash." or, when aimed at one other character, "The wolf
    // uses Bite on Ada."
    static std::string uses(const Character* user, const Ability& ability, const std::list<Character*>& targets);
    static std::string strike(const Character* user, const Ability& ability, const Ability::Strike& strike);
    // One line per strike, each ending in a newline.
    static std::string strikes(const Character* user, const Ability& ability,
                               const std::vector<Ability::Strike>& strikes);
    static std::string defeated(const Character* foe);
    static std::string fallen(const Character* member);
    static std::string waits(const Character* foe);
};
}
