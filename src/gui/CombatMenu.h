#pragma once

#include <string>

#include "gui/GUIMenu.h"

namespace core
{
class CombatManager;
}

namespace gui
{
// The band of combat actions along the bottom of the window; a click on an
// action hands its text to the combat manager.
class CombatMenu : public GUIMenu
{
public:
    CombatMenu(const std::string& title, core::CombatManager* combatManager);

    void onMouseUp(int button, double x, double y) override;
    // The map's tile cursor and a fighter's steps take the letters.
    bool keepsLetters() const override { return true; }

private:
    core::CombatManager* _combatManager;
};
}
