#pragma once

#include <string>
#include <vector>

#include "gui/GUIMenu.h"

namespace gui
{
// The menu on the left edge of the window: each entry opens a widget (the
// party menu, the inventory). It closes on any release over it and when the
// pointer leaves it.
class MainMenu : public GUIMenu
{
public:
    explicit MainMenu(const std::string& title);

    virtual void addEntry(const std::string& text, GUIElement* target);
    using GUIMenu::addEntry;

    void onMouseUp(int button, double x, double y) override;
    void onHoverExit(double x, double y) override;
    bool backOut(bool byEscape) override;

private:
    // The widget each list entry opens, parallel to the list's own entries
    // (not owned).
    std::vector<GUIElement*> _entries;
};
}
