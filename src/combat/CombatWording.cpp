#include "combat/CombatWording.h"

#include "data/Character.h"
#include "util/ReadableId.h"

namespace core
{
std::string CombatWording::refer(const Character* character, bool startOfSentence)
{
    if (!character)
        return startOfSentence ? "Someone" : "someone";
    const std::string& name = character->getDisplayName();
    if (name.empty())
        return startOfSentence ? "Someone" : "someone";
    const bool commonNoun = character->hasWrittenName() && name[0] >= 'a' && name[0] <= 'z';
    if (commonNoun)
        return (startOfSentence ? "The " : "the ") + name;
    return name;
}

std::string CombatWording::uses(const Character* user, const Ability& ability, const std::list<Character*>& targets)
{
    std::string line = refer(user, true) + " uses " + util::readableId(ability.getName());
    if (targets.size() == 1 && targets.front() && targets.front() != user)
        line += " on " + refer(targets.front());
    return line + ".";
}

std::string CombatWording::strike(const Character* user, const Ability& ability, const Ability::Strike& strike)
{
    const std::string who = refer(user, true);
    const std::string whom = strike.target == user ? "themself" : refer(strike.target);
    if (!strike.hit)
        return who + " misses " + whom + ".";
    if (!strike.harms)
        return util::readableId(ability.getName()) + " takes hold of " + refer(strike.target) + ".";
    if (strike.damage <= 0)
        return who + " hits " + whom + " but does no harm.";
    const std::string amount = " for " + std::to_string(strike.damage);
    if (strike.critical)
        return "A critical hit! " + who + " hits " + whom + amount + ".";
    if (strike.glancing)
        return who + " grazes " + whom + amount + ".";
    return who + " hits " + whom + amount + ".";
}

std::string CombatWording::strikes(const Character* user, const Ability& ability,
                                   const std::vector<Ability::Strike>& strikes)
{
    std::string text;
    for (const Ability::Strike& one : strikes)
        text += strike(user, ability, one) + "\n";
    return text;
}

std::string CombatWording::defeated(const Character* foe)
{
    return refer(foe, true) + " is defeated.";
}

std::string CombatWording::fallen(const Character* member)
{
    return refer(member, true) + " has fallen.";
}

std::string CombatWording::waits(const Character* foe)
{
    return refer(foe, true) + " waits.";
}
}
