#include "gui/GUIListViewEntry.h"

#include "graphics/TGGUIRectangle.h"

namespace gui
{
GUIListViewEntry::GUIListViewEntry(const std::string& text) : GUITextBox(text)
{
    // An entry is a blue bar on its menu's panel, not a panel of its own:
    // a frame around every line would crowd the list.
    if (_rectangle)
        _rectangle->setPanel(false);
    restColour();
}

void GUIListViewEntry::setKey(const std::string& key)
{
    _key = key;
    _hasKey = true;
}

void GUIListViewEntry::clearKey()
{
    _key.clear();
    _hasKey = false;
}

void GUIListViewEntry::restColour()
{
    setBackgroundColor(0.1f, 0.1f, 0.4f, 0.75f);
}

void GUIListViewEntry::onMouseDown(int button, double x, double y)
{
    GUITextBox::onMouseDown(button, x, y);
    setBackgroundColor(0.1f, 0.1f, 0.4f, 1.0f);
}

void GUIListViewEntry::onMouseUp(int button, double x, double y)
{
    GUITextBox::onMouseUp(button, x, y);
    restColour();
}

void GUIListViewEntry::onHoverEnter(double x, double y)
{
    GUITextBox::onHoverEnter(x, y);
    setBackgroundColor(0.15f, 0.15f, 0.55f, 0.75f);
}

void GUIListViewEntry::onHoverExit(double x, double y)
{
    GUITextBox::onHoverExit(x, y);
    restColour();
}
}
