#include "core/CharacterSnapshot.h"

#include <map>
#include <memory>

#include "core/Ability.h"
#include "core/Character.h"
#include "core/Effect.h"
#include "core/ResourceManager.h"
#include "util/util.h"

namespace core
{
namespace
{
// The character record's own attribute for the display name; every other
// attribute of the record is a statistic.
const char* const NAME_ATTRIBUTE = "_name";

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
    snapshot._abilities = character.getAllAbilities();
    for (const auto& level : character.getClassLevels())
        snapshot._classLevels.emplace_back(level.first, level.second);
    for (const Effect* effect : character.getEffects())
    {
        if (effect)
            snapshot._effects.push_back(effect->getName());
    }
    return snapshot;
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

bool CharacterSnapshot::fromXml(const tinyxml2::XMLElement* element, CharacterSnapshot& snapshot, std::string& error)
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
        int value = 0;
        if (a->QueryIntValue(&value) != tinyxml2::XML_SUCCESS)
        {
            error = "member " + snapshot._id + " has a statistic " + a->Name() + " that is not a number";
            return false;
        }
        snapshot._stats.emplace_back(a->Name(), value);
    }
    for (const tinyxml2::XMLElement* c = element->FirstChildElement("ability"); c; c = c->NextSiblingElement("ability"))
        snapshot._abilities.push_back(nullToEmpty(c->Attribute("id")));
    for (const tinyxml2::XMLElement* c = element->FirstChildElement("class"); c; c = c->NextSiblingElement("class"))
        snapshot._classLevels.emplace_back(nullToEmpty(c->Attribute("id")), c->IntAttribute("level", 0));
    for (const tinyxml2::XMLElement* c = element->FirstChildElement("effect"); c; c = c->NextSiblingElement("effect"))
        snapshot._effects.push_back(nullToEmpty(c->Attribute("name")));
    return true;
}

void CharacterSnapshot::applyStats(Character& character) const
{
    // The record adds what it holds, so it is handed the differences; a
    // statistic the character no longer has is simply not written back.
    tinyxml2::XMLDocument scratch;
    tinyxml2::XMLElement* differences = scratch.NewElement("character");
    scratch.InsertEndChild(differences);
    std::vector<std::pair<std::string, int>> current = statsOf(character);
    for (const auto& stat : _stats)
    {
        for (const auto& now : current)
        {
            if (now.first == stat.first)
                differences->SetAttribute(stat.first.c_str(), stat.second - now.second);
        }
    }
    character.absorbXML(differences);
}

void CharacterSnapshot::applyTo(Character& character, std::vector<std::string>& skipped) const
{
    applyStats(character);
    for (const std::string& name : character.getAllAbilities())
        character.removeAbility(name);
    for (const std::string& name : _abilities)
    {
        Ability* ability = ResourceManager::getAbility(name);
        if (ability)
            character.addAbility(ability);
        else
            skipped.push_back("ability " + name + " of " + _id);
    }
    for (const auto& level : std::map<std::string, int>(character.getClassLevels()))
        character.setClassLevel(level.first, 0);
    for (const auto& level : _classLevels)
    {
        if (ResourceManager::getClass(level.first))
            character.setClassLevel(level.first, level.second);
        else
            skipped.push_back("class " + level.first + " of " + _id);
    }
    character.clearEffects();
    for (const std::string& effect : _effects)
        character.addEffect(effect);
}
}
