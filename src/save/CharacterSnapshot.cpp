#include "save/CharacterSnapshot.h"

#include <algorithm>
#include <climits>
#include <map>
#include <memory>

#include "data/Ability.h"
#include "data/Character.h"
#include "data/Effect.h"
#include "data/ResourceManager.h"
#include "save/SaveFields.h"
#include "util/SafeNumbers.h"
#include "util/XMLNumbers.h"
#include "util/util.h"

namespace core
{
namespace
{
// The character record's own attribute for the display name; every other
// attribute of the record is a statistic.
const char* const NAME_ATTRIBUTE = "_name";
// Statistics and class levels a save may hold; beyond these a value is held
// at the limit, as the data files' values are. Half the range of int keeps
// the game's own sums on them clear of overflow.
const long long STAT_LIMIT = INT_MAX / 2;
const long long MAX_CLASS_LEVEL = 1000000;
const char* const EXPERIENCE = "experience";

std::vector<std::pair<std::string, int>> statsOf(Character& character)
{
    std::unique_ptr<tinyxml2::XMLDocument> record(character.toXml());
    std::vector<std::pair<std::string, int>> stats;
    for (const tinyxml2::XMLAttribute* a = record->RootElement()->FirstAttribute(); a; a = a->Next())
    {
        if (std::string(a->Name()) != NAME_ATTRIBUTE)
            stats.emplace_back(a->Name(), a->IntValue());
    }
    return stats;
}
}

CharacterSnapshot CharacterSnapshot::capture(Character& character)
{
    CharacterSnapshot snapshot;
    snapshot._id = character.getId();
    snapshot._stats = statsOf(character);
    // Kept beside the statistics: a member's record has no place for it.
    snapshot._stats.emplace_back(EXPERIENCE, character.getExperience());
    snapshot._abilities = character.getAllAbilities();
    for (const auto& level : character.getClassLevels())
        snapshot._classLevels.emplace_back(level.first, level.second);
    for (const Effect* effect : character.getEffects())
    {
        // A timed effect belongs to the fight it was placed in: the save
        // keeps neither it nor what it adds for the moment.
        if (effect && effect->isDefined())
            snapshot.withoutChanges(*effect);
        else if (effect)
            snapshot._effects.push_back(effect->getName());
    }
    return snapshot;
}

void CharacterSnapshot::withoutChanges(const Effect& effect)
{
    for (const auto& change : effect.getStatChanges())
        for (auto& stat : _stats)
            if (stat.first == change.first)
                stat.second = clampToInt(static_cast<double>(stat.second) - change.second);
}

void CharacterSnapshot::toXml(tinyxml2::XMLElement* parent) const
{
    tinyxml2::XMLElement* member = parent->InsertNewChildElement("member");
    member->SetAttribute("id", _id.c_str());
    for (const auto& stat : _stats)
        member->SetAttribute(stat.first.c_str(), stat.second);
    for (const std::string& ability : _abilities)
        member->InsertNewChildElement("ability")->SetAttribute("id", ability.c_str());
    for (const auto& level : _classLevels)
    {
        tinyxml2::XMLElement* element = member->InsertNewChildElement("class");
        element->SetAttribute("id", level.first.c_str());
        element->SetAttribute("level", level.second);
    }
    for (const std::string& effect : _effects)
        member->InsertNewChildElement("effect")->SetAttribute("name", effect.c_str());
}

bool CharacterSnapshot::fromXml(const tinyxml2::XMLElement* element, CharacterSnapshot& snapshot, std::string& error,
                                std::vector<std::string>& warnings)
{
    snapshot = CharacterSnapshot();
    snapshot._id = nullToEmpty(element->Attribute("id"));
    if (snapshot._id.empty())
    {
        error = "a party member without an id (line " + std::to_string(element->GetLineNum()) + ")";
        return false;
    }
    for (const tinyxml2::XMLAttribute* a = element->FirstAttribute(); a; a = a->Next())
    {
        if (std::string(a->Name()) == "id")
            continue;
        long long value = 0;
        if (!parseWholeNumber(a->Value(), value))
        {
            error = "member " + SaveFields::shortened(snapshot._id) + " has a statistic " +
                    SaveFields::shortened(a->Name()) + " that is not a whole number";
            return false;
        }
        const long long held = SaveFields::readClamped(element, a->Name(), 0, -STAT_LIMIT, STAT_LIMIT, warnings);
        snapshot._stats.emplace_back(a->Name(), static_cast<int>(held));
    }
    for (const tinyxml2::XMLElement* c = element->FirstChildElement("ability"); c; c = c->NextSiblingElement("ability"))
        snapshot._abilities.push_back(nullToEmpty(c->Attribute("id")));
    for (const tinyxml2::XMLElement* c = element->FirstChildElement("class"); c; c = c->NextSiblingElement("class"))
        snapshot._classLevels.emplace_back(
            nullToEmpty(c->Attribute("id")),
            static_cast<int>(SaveFields::readClamped(c, "level", 0, 0, MAX_CLASS_LEVEL, warnings)));
    for (const tinyxml2::XMLElement* c = element->FirstChildElement("effect"); c; c = c->NextSiblingElement("effect"))
        snapshot._effects.push_back(nullToEmpty(c->Attribute("name")));
    return true;
}

void CharacterSnapshot::applyStats(Character& character) const
{
    // The record adds what it holds, so it is handed the differences; a
    // statistic the character no longer has is simply not written back. A
    // difference too large for an int is handed over in two steps.
    for (int pass = 0; pass < 2; ++pass)
    {
        tinyxml2::XMLDocument scratch;
        tinyxml2::XMLElement* differences = scratch.NewElement("character");
        scratch.InsertEndChild(differences);
        bool any = false;
        std::vector<std::pair<std::string, int>> current = statsOf(character);
        for (const auto& stat : _stats)
        {
            for (const auto& now : current)
            {
                const long long difference = static_cast<long long>(stat.second) - now.second;
                if (now.first != stat.first || difference == 0)
                    continue;
                differences->SetAttribute(stat.first.c_str(), clampToInt(static_cast<double>(difference)));
                any = true;
            }
        }
        if (!any)
            return;
        character.absorbXML(differences);
    }
}

void CharacterSnapshot::applyTo(Character& character, std::vector<std::string>& skipped) const
{
    // Effects go first: the saved statistics hold none of what timed
    // effects add, and the marks below add nothing.
    character.clearEffects();
    applyStats(character);
    // A save from before experience was kept starts the member at none.
    character.setExperience(std::max(0, statValue(EXPERIENCE)));
    for (const std::string& name : character.getAllAbilities())
        character.removeAbility(name);
    for (const std::string& name : _abilities)
    {
        Ability* ability = ResourceManager::getAbility(name);
        if (ability)
            character.addAbility(ability);
        else
            skipped.push_back("ability " + SaveFields::shortened(name) + " of " + SaveFields::shortened(_id));
    }
    for (const auto& level : std::map<std::string, int>(character.getClassLevels()))
        character.setClassLevel(level.first, 0);
    for (const auto& level : _classLevels)
    {
        if (ResourceManager::getClass(level.first))
            character.setClassLevel(level.first, level.second);
        else
            skipped.push_back("class " + SaveFields::shortened(level.first) + " of " + SaveFields::shortened(_id));
    }
    for (const std::string& effect : _effects)
        character.addEffect(effect);
}

int CharacterSnapshot::statValue(const std::string& name) const
{
    for (const auto& stat : _stats)
        if (stat.first == name)
            return stat.second;
    return 0;
}
}
