#include "gui/CharacterMenu.h"

#include <memory>

#include "data/Character.h"

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
    return lines;
}
}
