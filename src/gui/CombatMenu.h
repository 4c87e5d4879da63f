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

private:
    core::CombatManager* _combatManager;
};
}
