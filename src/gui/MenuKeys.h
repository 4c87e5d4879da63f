#pragma once

#include <functional>
#include <string>
#include <vector>

#include "input/InputContext.h"

namespace gui
{
class GUIElement;

// Every menu by keyboard (and so by gamepad, whose buttons arrive as the
// same keys): the topmost shown menu has a focused entry, moved with the
// arrows or W/S (A/D and left/right too, for rows of buttons), taken with
// Enter, Z or Space as a click on it would be, and Escape or X backs out of
// the menu when it can be left. With no menu shown, M opens the main menu
// and every key goes on to the game. It sits above every other input context,
// so a fight's keys cannot take the arrows from an open menu.
class MenuKeys : public application::InputContext
{
public:
    explicit MenuKeys(std::function<void()> openMainMenu);

    bool dispatch(int key, int keyState) override;
    using application::InputContext::dispatch;

    // The shown widget whose entries take the keys; null when none.
    static GUIElement* topPanel();
    // Its entries that can take the focus, top to bottom, left to right.
    static std::vector<GUIElement*> focusables(GUIElement* panel);
    // The entry with the focus (null when no menu is shown).
    GUIElement* focused() const { return _focused; }

    // Looks at what is shown: a new menu's first entry takes the focus.
    void refresh();
    void moveFocus(int step);
    // Clicks the focused entry.
    void takeFocused();

private:
    bool handle(int key, int keyState);
    void setFocus(GUIElement* entry);

    std::function<void()> _openMainMenu;
    GUIElement* _panel = nullptr;
    GUIElement* _focused = nullptr;
    // How many entries were on offer when the focus was last placed.
    size_t _offered = 0;
};
}
