#include "data/Class.h"

#include "Log/Log.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "data/ResourceManager.h"
#include "util/XMLNumbers.h"
#include "util/util.h"

namespace core
{
namespace
{
const char* const STAT_KEYS[Class::NUM_STATS] = {"str", "dex", "int", "move"};
const char* const CB_STAT_KEYS[Class::NUM_CB_STATS] = {
    "HP", "Fat", "atk", "dodge", "damagePhysical", "damageMagical", "defense", "crit", "glancing", "resistance"};

std::ostream& rulesLog()
{
    return Log::named("rules");
}

bool inLevelRange(int level)
{
    return level >= 1 && level <= Class::maxLevel;
}
}

Class::Class(const std::string& name, const std::string& prerequisiteClass, const std::string& prerequisiteDescription)
    : name(name), prerequisiteClass(prerequisiteClass), prerequisiteDescription(prerequisiteDescription), statChanges(),
      CBStatChanges(), addAbilities(maxLevel), addEffects(maxLevel)
{
}

Class::~Class() = default;

std::unique_ptr<Class> Class::fromXML(tinyxml2::XMLElement* element)
{
    if (!element)
    {
        Log::error() << "Class::fromXML - Unable to build class from NULL XML" << std::endl;
        return nullptr;
    }
    auto result = std::make_unique<Class>(nullToEmpty(element->Attribute("name")),
                                          nullToEmpty(element->Attribute("prerequisiteClass")),
                                          nullToEmpty(element->Attribute("prerequisiteDescription")));
    for (tinyxml2::XMLElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        result->readLevel(child);
    }
    return result;
}

bool Class::readLevel(tinyxml2::XMLElement* element)
{
    const int level = readIntAttribute(element, "level");
    if (!inLevelRange(level))
    {
        Log::error() << "Class::fromXML - level " << level << " of class " << name << " is outside 1 to " << maxLevel
                     << "; element ignored" << std::endl;
        return false;
    }
    const int row = level - 1;
    if (addAbilities[row])
    {
        Log::error() << "Class::fromXML - level " << level << " of class " << name
                     << " is listed twice; the first one is kept" << std::endl;
        return false;
    }
    for (int i = 0; i < NUM_STATS; ++i)
    {
        statChanges[row][i] = readIntAttribute(element, STAT_KEYS[i]);
    }
    for (int i = 0; i < NUM_CB_STATS; ++i)
    {
        CBStatChanges[row][i] = readIntAttribute(element, CB_STAT_KEYS[i]);
    }
    readGrants(element, row);
    return true;
}

void Class::readGrants(tinyxml2::XMLElement* element, int row)
{
    addAbilities[row] = std::make_unique<NameList>();
    addEffects[row] = std::make_unique<NameList>();
    for (tinyxml2::XMLElement* grant = element->FirstChildElement(); grant; grant = grant->NextSiblingElement())
    {
        const char* grantName = grant->Attribute("name");
        if (!grantName)
        {
            Log::error() << "Class::fromXML - a grant of level " << row + 1 << " of class " << name
                         << " has no name; skipped" << std::endl;
            continue;
        }
        // Only the exact text "effect" selects an effect.
        if (nullToEmpty(grant->Attribute("type")) == "effect")
        {
            addEffects[row]->push_back(grantName);
        }
        else
        {
            addAbilities[row]->push_back(grantName);
        }
    }
}

bool Class::canTakeClass(Character* character) const
{
    if (prerequisiteClass == "none")
    {
        return true;
    }
    return character && character->getClassLevel(prerequisiteClass) == maxLevel;
}

bool Class::levelUp(Character* character) const
{
    if (!character)
    {
        Log::error() << "Class::levelUp - no character to raise in class " << name << std::endl;
        return false;
    }
    const int n = character->getClassLevel(name);
    rulesLog() << "class level: " << n << std::endl;
    if (n > maxLevel - 1 || n < 0)
    {
        return false;
    }
    addStats(character, n);
    rulesLog() << "updated stats" << std::endl;
    grant(character, n);
    character->addClassLevel(name);
    return true;
}

void Class::addStats(Character* character, int row) const
{
    const int* s = statChanges[row];
    character->addStr(s[0]);
    character->addDex(s[1]);
    character->addInt(s[2]);
    character->addMove(s[3]);
    const int* cb = CBStatChanges[row];
    // Only the maxima grow: a level-up does not heal.
    character->addHP(true, cb[0]);
    character->addFatigue(true, cb[1]);
    character->addAttack(cb[2]);
    character->addDodge(cb[3]);
    character->addDamagePhysical(cb[4]);
    character->addDamageMagical(cb[5]);
    character->addDefense(cb[6]);
    character->addCritValue(cb[7]);
    character->addGlancingValue(cb[8]);
    character->addResistance(cb[9]);
}

void Class::grant(Character* character, int row) const
{
    rulesLog() << "got abilities" << std::endl;
    if (!addAbilities[row])
    {
        Log::error() << "Class::levelUp - class " << name << " lists no level " << row + 1 << "; nothing granted"
                     << std::endl;
        return;
    }
    for (const std::string& abilityName : *addAbilities[row])
    {
        Ability* ability = ResourceManager::getAbility(abilityName);
        rulesLog() << " got an ability" << std::endl;
        if (ability)
        {
            character->addAbility(ability);
            rulesLog() << "added ability" << std::endl;
        }
        else
        {
            Log::named("ResourceManager") << "no ability named " << abilityName << " found." << std::endl;
        }
    }
    for (const std::string& effectName : *addEffects[row])
    {
        character->addEffect(effectName);
    }
}

const Class::NameList* Class::getAbilitiesAt(int level) const
{
    return inLevelRange(level) ? addAbilities[level - 1].get() : nullptr;
}

const Class::NameList* Class::getEffectsAt(int level) const
{
    return inLevelRange(level) ? addEffects[level - 1].get() : nullptr;
}

bool Class::hasLevel(int level) const
{
    return getAbilitiesAt(level) != nullptr;
}
}
