#include "gui/GUIListViewEntry.h"

#include "graphics/TGGUIRectangle.h"
#include "gui/GUIManager.h"

namespace gui
{
GUIListViewEntry::GUIListViewEntry(const std::string& text) : GUITextBox(text)
{
    // An entry is a highlight on its menu's panel, not a panel of its own.
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

void GUIListViewEntry::shade(const glm::vec4& flat, float themedAlpha)
{
    // On a themed panel an entry is a dark veil over the picture; on a flat
    // one it is a blue bar.
    if (GUIManager::hasThemedPanels())
        setBackgroundColor(0.0f, 0.0f, 0.0f, themedAlpha);
    else
        setBackgroundColor(flat.r, flat.g, flat.b, flat.a);
}

void GUIListViewEntry::restColour()
{
    shade(glm::vec4(0.1f, 0.1f, 0.4f, 0.75f), 0.12f);
}

void GUIListViewEntry::onMouseDown(int button, double x, double y)
{
    GUITextBox::onMouseDown(button, x, y);
    shade(glm::vec4(0.1f, 0.1f, 0.4f, 1.0f), 0.4f);
}

void GUIListViewEntry::onMouseUp(int button, double x, double y)
{
    GUITextBox::onMouseUp(button, x, y);
    restColour();
}

void GUIListViewEntry::onHoverEnter(double x, double y)
{
    GUITextBox::onHoverEnter(x, y);
    shade(glm::vec4(0.15f, 0.15f, 0.55f, 0.75f), 0.28f);
}

void GUIListViewEntry::onHoverExit(double x, double y)
{
    GUITextBox::onHoverExit(x, y);
    restColour();
}
}
