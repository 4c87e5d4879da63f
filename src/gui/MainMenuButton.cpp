#include "gui/MainMenuButton.h"

#include "gui/MainMenu.h"

namespace gui
{
MainMenuButton::MainMenuButton(MainMenu* mainMenu) : GUITextBox("Menu"), _mainMenu(mainMenu)
{
    if (_mainMenu)
        _mainMenu->hide();
    setPadding(0.05f);
    setWidth(0.25f);
    setHeight(0.125f);
    setPosition(-0.875f, -0.9375f);
}

void MainMenuButton::onMouseUp(int button, double x, double y)
{
    GUITextBox::onMouseUp(button, x, y);
    if (_mainMenu)
        _mainMenu->show();
}
}
