#pragma once

#include <string>
#include <vector>

#include "gui/GUIListView.h"

namespace core
{
class Character;
}

namespace gui
{
// The character sheet of the party menu: one line per statistic.
class CharacterMenu : public GUIListView
{
public:
    explicit CharacterMenu(core::Character* character);

    virtual void setCharacter(core::Character* character);
    core::Character* getCharacter() const { return _character; }

    // The sheet's lines for a character: its name, its current hit points
    // and fatigue, every statistic as "name: value", then its level and
    // experience and the effects it holds.
    static std::vector<std::string> sheetLines(core::Character* character);
    // Figures to read, nothing to choose.
    bool takesFocus() const override { return false; }

private:
    static std::string levelLine(const core::Character& character);
    static std::string effectsLine(const core::Character& character);

    core::Character* _character;
};
}
