#include "gui/CharacterMenu.h"

#include <memory>

#include "data/Character.h"
#include "data/Class.h"
#include "data/Effect.h"
#include "data/Experience.h"

namespace gui
{
namespace
{
const int SHEET_LINES = 20;
const float SHEET_ENTRY_PADDING = 0.05f;
}

CharacterMenu::CharacterMenu(core::Character* character) : _character(nullptr)
{
    setCharacter(character);
    setEntryPadding(SHEET_ENTRY_PADDING);
    setNumEntriesToDisplay(SHEET_LINES);
    invalidate();
}

void CharacterMenu::setCharacter(core::Character* character)
{
    _character = character;
    update(sheetLines(character));
    invalidate();
}

std::vector<std::string> CharacterMenu::sheetLines(core::Character* character)
{
    std::vector<std::string> lines;
    if (!character)
        return lines;
    // The statistics list the maxima; a player deciding whether to heal
    // needs what is left now.
    lines.push_back(character->getDisplayName());
    lines.push_back("HP now: " + std::to_string(character->getHP(false)) + " of " +
                    std::to_string(character->getHP(true)));
    lines.push_back("Fatigue now: " + std::to_string(character->getFatigue(false)) + " of " +
                    std::to_string(character->getFatigue(true)));
    std::unique_ptr<core::StatList> stats(character->getStats());
    for (const auto& stat : *stats)
        lines.push_back(stat.first + ": " + std::to_string(stat.second));
    // Below the statistics, where the lines above stay put.
    lines.push_back(levelLine(*character));
    lines.push_back(effectsLine(*character));
    return lines;
}

std::string CharacterMenu::levelLine(const core::Character& character)
{
    const std::string mainClass = character.getMainClass();
    if (mainClass.empty())
        return "Level 0, experience " + std::to_string(character.getExperience());
    const int level = character.getLevel();
    std::string line = "Level " + std::to_string(level) + " " + mainClass + ", experience " +
                       std::to_string(character.getExperience());
    if (level < core::Class::maxLevel)
        line += " of " + std::to_string(core::Experience::neededAfter(level));
    return line;
}

std::string CharacterMenu::effectsLine(const core::Character& character)
{
    std::string held;
    for (const core::Effect* effect : character.getEffects())
    {
        if (!effect)
            continue;
        held += (held.empty() ? "" : ", ") + effect->getName();
        if (effect->isDefined())
            held += " (" + std::to_string(effect->getRemaining()) + " rounds)";
    }
    return "Effects: " + (held.empty() ? std::string("none") : held);
}
}
