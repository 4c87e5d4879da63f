#include "gui/MainMenu.h"

namespace gui
{
namespace
{
const float ENTRY_PADDING = 0.05f;
}

MainMenu::MainMenu(const std::string& title) : GUIMenu(title)
{
    setPosition(-0.75f, 0.0f);
    setWidth(0.5f);
    setHeight(2.0f);
    // Room for the title inside the top edge, kept symmetric because the
    // list centres its entries; the entries' text stands off the edge.
    setPaddingTop(TITLE_BAND);
    setPaddingBottom(TITLE_BAND);
    setEntryPadding(ENTRY_PADDING);
}

void MainMenu::addEntry(const std::string& text, GUIElement* target)
{
    GUIMenu::addEntry(text);
    _entries.push_back(target);
}

void MainMenu::onMouseUp(int button, double x, double y)
{
    GUIMenu::onMouseUp(button, x, y);
    const int index = getEntryIndexAtCoordinates(static_cast<float>(x), static_cast<float>(y));
    if (index >= 0 && index < static_cast<int>(_entries.size()) && _entries[static_cast<size_t>(index)])
        _entries[static_cast<size_t>(index)]->show();
    hide();
}

void MainMenu::onHoverExit(double x, double y)
{
    GUIMenu::onHoverExit(x, y);
    hide();
}

bool MainMenu::backOut(bool)
{
    hide();
    return true;
}
}
