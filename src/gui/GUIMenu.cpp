#include "gui/GUIMenu.h"

#include "graphics/TGText.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUIManager.h"

namespace gui
{
namespace
{
// Height of the title's capitals above the baseline, and where the baseline
// goes when the title is written inside the menu (screen units).
const float TITLE_ASCENT = 0.06f;
const float TITLE_INSIDE_DROP = 0.075f;
}

GUIMenu::GUIMenu(const std::string& title) : _title(nullptr)
{
    _title = GUIManager::createGraphicsText();
    raise();
    setTitle(title);
    invalidate();
}

GUIMenu::~GUIMenu()
{
    GUIManager::destroyGraphicsText(_title);
}

void GUIMenu::update(const std::vector<std::string>& entries, const std::string& title)
{
    setTitle(title);
    GUIListView::update(entries);
}

std::string GUIMenu::getTitle() const
{
    return _titleText;
}

void GUIMenu::setTitle(const std::string& title)
{
    _titleText = title;
    if (_title)
        _title->setText(title);
}

void GUIMenu::invalidate()
{
    GUIListView::invalidate();
    putTitleAboveRectangle();
}

void GUIMenu::putTitleAboveRectangle()
{
    if (!_title)
        return;
    const glm::vec2 centre = getPosition();
    const float top = centre.y + getHeight() / 2.0f;
    // A menu as tall as the window would put its title above the window;
    // there it goes just inside the top edge, over the menu's top padding.
    const float baseline = top + TITLE_ASCENT > 1.0f ? top - TITLE_INSIDE_DROP : top;
    _title->setWindowPosition(centre.x - getWidth() / 2.0f + _paddingLeft, baseline);
}

void GUIMenu::hide()
{
    GUIListView::hide();
    if (_title)
        _title->hide();
}

void GUIMenu::show()
{
    GUIListView::show();
    if (_title)
        _title->show();
}

void GUIMenu::raise()
{
    GUIListView::raise();
    if (_title)
        _title->setLayer(_layer);
}

std::vector<std::string> GUIMenu::getEntryTexts() const
{
    std::vector<std::string> texts;
    for (const GUIListViewEntry* entry : _entries)
        texts.push_back(entry->getText());
    return texts;
}
}

namespace gui
{
std::vector<std::string> GUIMenu::getEntryKeys() const
{
    std::vector<std::string> keys;
    for (const GUIListViewEntry* entry : _entries)
        keys.push_back(entry->getKey());
    return keys;
}
}
