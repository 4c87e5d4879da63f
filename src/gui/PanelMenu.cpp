#include "gui/PanelMenu.h"

#include "gui/GUIButton.h"

namespace gui
{
namespace
{
const float PADDING = 0.05f;
const int VISIBLE_LINES = 8;
const float CLOSE_WIDTH = 0.25f;
const float CLOSE_HEIGHT = 0.125f;
}

PanelMenu::PanelMenu(const std::string& title) : GUIMenu(title), _closeButton(nullptr)
{
    _closeButton = GUIElement::make<GUIButton>("Close", [this]() { hide(); });
    setPosition(0.125f, 0.125f);
    setWidth(1.5f);
    setHeight(1.5f);
    setPadding(PADDING);
    setEntryPadding(PADDING);
    setNumEntriesToDisplay(VISIBLE_LINES);
    setFixedSlots(true);
    hide();
    invalidate();
}

PanelMenu::~PanelMenu()
{
    _closeButton->destroy();
}

void PanelMenu::invalidate()
{
    GUIMenu::invalidate();
    placeCloseButton();
}

void PanelMenu::placeCloseButton()
{
    if (!_closeButton)
        return;
    const glm::vec2 centre = getPosition();
    _closeButton->setWidth(CLOSE_WIDTH);
    _closeButton->setHeight(CLOSE_HEIGHT);
    _closeButton->setPosition(centre.x + getWidth() / 2.0f - CLOSE_WIDTH / 2.0f,
                              centre.y - getHeight() / 2.0f - CLOSE_HEIGHT / 2.0f);
}

void PanelMenu::show()
{
    GUIMenu::show();
    refresh();
    if (_closeButton)
        _closeButton->show();
}

void PanelMenu::hide()
{
    GUIMenu::hide();
    if (_closeButton)
        _closeButton->hide();
}

bool PanelMenu::backOut(bool)
{
    hide();
    return true;
}
}
