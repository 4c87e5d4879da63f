#pragma once

#include "gui/GUITextBox.h"

namespace gui
{
class MainMenu;

// The "Menu" button in the bottom-left corner that opens the main menu.
class MainMenuButton : public GUITextBox
{
public:
    explicit MainMenuButton(MainMenu* mainMenu);

    void onMouseUp(int button, double x, double y) override;

private:
    MainMenu* _mainMenu;
};
}
