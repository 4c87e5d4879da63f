#include "gui/GUIListView.h"

#include <algorithm>

#include "Log/Log.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUITextBox.h"

namespace gui
{
namespace
{
const float SCROLL_BUTTON_WIDTH = 0.2f;
}

GUIListView::GUIListView()
    : _upScrollButton(nullptr), _downScrollButton(nullptr), _numEntriesToDisplay(4), _firstEntryToDisplay(0),
      _hideEntries(false), _entryPadding(0.0f), _fixedSlots(false)
{
    _upScrollButton = GUIElement::make<GUITextBox>("^");
    _downScrollButton = GUIElement::make<GUITextBox>(">");
}

GUIListView::~GUIListView()
{
    for (GUIListViewEntry* entry : _entries)
        entry->destroy();
    _upScrollButton->destroy();
    _downScrollButton->destroy();
}

void GUIListView::invalidate()
{
    GUIElement::invalidate();
    // The buttons are made after the base constructor has laid out.
    if (!_upScrollButton || !_downScrollButton)
        return;
    const int count = static_cast<int>(_entries.size());
    const bool scrolling = count > _numEntriesToDisplay;
    // A list that shrank until it no longer scrolls shows from its top;
    // an old scroll position would leave every slot empty.
    if (!scrolling)
        _firstEntryToDisplay = 0;
    float entryWidth = getWidth() - _paddingLeft - _paddingRight;
    if (scrolling)
        entryWidth -= SCROLL_BUTTON_WIDTH;
    const float contentHeight = getHeight() - _paddingTop - _paddingBottom;
    const int slots = scrolling || _fixedSlots ? _numEntriesToDisplay : count;
    const float entryHeight = slots > 0 ? contentHeight / static_cast<float>(slots) : 0.0f;
    const glm::vec2 centre = getPosition();
    const float x = scrolling ? centre.x - SCROLL_BUTTON_WIDTH / 2.0f : centre.x;
    float y = centre.y + contentHeight / 2.0f - entryHeight / 2.0f;

    layOutScrollButtons(scrolling, SCROLL_BUTTON_WIDTH, contentHeight);
    for (int i = 0; i < count; ++i)
    {
        GUIListViewEntry* entry = _entries[static_cast<size_t>(i)];
        if (i < _firstEntryToDisplay || i >= _firstEntryToDisplay + slots)
        {
            entry->hide();
            continue;
        }
        placeEntry(entry, x, y, entryWidth, entryHeight);
        y -= entryHeight;
    }
}

void GUIListView::placeEntry(GUIListViewEntry* entry, float x, float y, float width, float height)
{
    entry->setWidth(width);
    entry->setHeight(height);
    entry->setPosition(x, y);
    entry->setPadding(_entryPadding);
    if (_hideEntries)
        entry->hide();
    else
        entry->show();
}

void GUIListView::layOutScrollButtons(bool scrolling, float buttonWidth, float contentHeight)
{
    if (!scrolling || _hideEntries)
    {
        _upScrollButton->hide();
        _downScrollButton->hide();
        if (!scrolling)
            return;
    }
    else
    {
        _upScrollButton->show();
        _downScrollButton->show();
    }
    const glm::vec2 centre = getPosition();
    const float x = centre.x + getWidth() / 2.0f - buttonWidth / 2.0f;
    for (GUITextBox* button : {_upScrollButton, _downScrollButton})
    {
        button->setWidth(buttonWidth);
        button->setHeight(contentHeight / 2.0f);
    }
    _upScrollButton->setPosition(x, centre.y + contentHeight / 4.0f);
    _downScrollButton->setPosition(x, centre.y - contentHeight / 4.0f);
}

void GUIListView::onMouseDown(int button, double x, double y)
{
    GUIElement::onMouseDown(button, x, y);
}

void GUIListView::onMouseUp(int button, double x, double y)
{
    GUIElement::onMouseUp(button, x, y);
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    if (_upScrollButton->insideBounds(fx, fy))
    {
        _firstEntryToDisplay = std::max(0, _firstEntryToDisplay - 1);
        invalidate();
    }
    if (_downScrollButton->insideBounds(fx, fy))
    {
        const int last = std::max(0, size() - _numEntriesToDisplay);
        _firstEntryToDisplay = std::min(last, _firstEntryToDisplay + 1);
        invalidate();
    }
}

void GUIListView::addEntry(GUIListViewEntry* entry)
{
    if (!entry)
        return;
    _entries.push_back(entry);
    _firstEntryToDisplay = 0;
    invalidate();
}

void GUIListView::addEntry(const std::string& text)
{
    addEntry(GUIElement::make<GUIListViewEntry>(text));
}

bool GUIListView::validIndex(int index, const char* operation) const
{
    if (index >= 0 && index < size())
        return true;
    Log::file(logERROR) << "(gui::GUIListView::" << operation << ") Index " << index << " is outside the list of "
                        << size() << " entries.";
    return false;
}

void GUIListView::insertEntry(int index, GUIListViewEntry* entry)
{
    if (!entry)
        return;
    if (index != size() && !validIndex(index, "insertEntry"))
        return;
    _entries.insert(_entries.begin() + index, entry);
    invalidate();
}

GUIListViewEntry* GUIListView::getEntry(int index)
{
    return validIndex(index, "getEntry") ? _entries[static_cast<size_t>(index)] : nullptr;
}

std::vector<GUIListViewEntry*>& GUIListView::getEntries()
{
    return _entries;
}

void GUIListView::deleteEntry(int index)
{
    if (!validIndex(index, "deleteEntry"))
        return;
    _entries[static_cast<size_t>(index)]->destroy();
    _entries.erase(_entries.begin() + index);
    invalidate();
}

void GUIListView::deleteEntries()
{
    for (GUIListViewEntry* entry : _entries)
        entry->destroy();
    _entries.clear();
    _firstEntryToDisplay = 0;
    invalidate();
}

void GUIListView::update(const std::vector<std::string>& texts)
{
    const size_t common = std::min(texts.size(), _entries.size());
    for (size_t i = 0; i < common; ++i)
    {
        _entries[i]->setText(texts[i]);
        _entries[i]->clearKey();
    }
    while (_entries.size() > texts.size())
        deleteEntry(size() - 1);
    for (size_t i = common; i < texts.size(); ++i)
        _entries.push_back(GUIElement::make<GUIListViewEntry>(texts[i]));
    _firstEntryToDisplay = 0;
    invalidate();
}

void GUIListView::updateKeyed(const std::vector<std::string>& keys, const std::vector<std::string>& labels)
{
    std::vector<std::string> shown = keys;
    for (size_t i = 0; i < shown.size() && i < labels.size(); ++i)
        shown[i] = labels[i];
    update(shown);
    for (size_t i = 0; i < keys.size() && i < _entries.size(); ++i)
        _entries[i]->setKey(keys[i]);
}

int GUIListView::getEntryIndexAtCoordinates(float x, float y)
{
    if (_entries.empty())
    {
        Log::file(logERROR) << "(gui::GUIListView::getEntryAtCoordinates) Called this method but there are not entries "
                               "in the GUIListView.";
        return -1;
    }
    for (size_t i = 0; i < _entries.size(); ++i)
        if (_entries[i]->insideBounds(x, y))
            return static_cast<int>(i);
    return -1;
}

GUIListViewEntry* GUIListView::getEntryAtCoordinates(float x, float y)
{
    const int index = getEntryIndexAtCoordinates(x, y);
    return index < 0 ? nullptr : _entries[static_cast<size_t>(index)];
}

void GUIListView::setEntryPadding(float padding)
{
    _entryPadding = padding;
}

void GUIListView::hideEntries()
{
    _hideEntries = true;
    invalidate();
}

void GUIListView::showEntries()
{
    _hideEntries = false;
    invalidate();
}

void GUIListView::hide()
{
    GUIElement::hide();
    hideEntries();
    invalidate();
}

void GUIListView::show()
{
    GUIElement::show();
    showEntries();
    invalidate();
}

int GUIListView::size() const
{
    return static_cast<int>(_entries.size());
}

void GUIListView::setFixedSlots(bool fixed)
{
    _fixedSlots = fixed;
    invalidate();
}

void GUIListView::setNumEntriesToDisplay(int count)
{
    _numEntriesToDisplay = std::max(1, count);
    invalidate();
}

bool GUIListView::backOut(bool)
{
    return false;
}

bool GUIListView::scrollBy(int entries)
{
    const int last = std::max(0, size() - _numEntriesToDisplay);
    const int first = std::min(last, std::max(0, _firstEntryToDisplay + entries));
    if (first == _firstEntryToDisplay)
        return false;
    _firstEntryToDisplay = first;
    invalidate();
    return true;
}
}
