#pragma once

#include <string>

#include "gui/GUIMenu.h"

namespace core
{
class CombatManager;
}

namespace gui
{
// The band of combat actions along the bottom of the window. The player
// reads labels; a click hands the option's id to the combat manager.
class CombatMenu : public GUIMenu
{
public:
    CombatMenu(const std::string& title, core::CombatManager* combatManager);

    using GUIMenu::update;
    // `options` and `title` are the ids the combat stages use.
    void update(const std::vector<std::string>& options, const std::string& title) override;
    void onMouseUp(int button, double x, double y) override;
    // The map's tile cursor and a fighter's steps take the letters.
    bool keepsLetters() const override { return true; }

private:
    core::CombatManager* _combatManager;
};
}
