#include "gui/ChoiceMenu.h"

#include "graphics/TGText.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUITextBox.h"

namespace gui
{
namespace
{
const float WIDTH = 1.0f;
const float ENTRY_HEIGHT = 0.14f;
const float PADDING = 0.05f;
const float NOTE_HEIGHT = 0.1f;
}

ChoiceMenu::ChoiceMenu(const std::string& title) : GUIMenu(title), _note(nullptr)
{
    _note = GUIElement::make<GUITextBox>("");
    _note->setBackgroundColor(0.0f, 0.0f, 0.0f, 0.0f);
    _note->setPadding(0.02f);
    setPosition(0.0f, 0.0f);
    setWidth(WIDTH);
    setPaddingLeft(PADDING);
    setPaddingRight(PADDING);
    setEntryPadding(PADDING);
    fitToEntries();
    hide();
}

ChoiceMenu::~ChoiceMenu()
{
    _note->destroy();
}

void ChoiceMenu::addChoice(const std::string& text, std::function<void()> action)
{
    addEntry(text);
    _actions.push_back(std::move(action));
    _enabled.push_back(true);
    fitToEntries();
}

void ChoiceMenu::fitToEntries()
{
    const int count = static_cast<int>(_actions.size());
    // The title's band above the entries and the same below, where the note
    // goes; the list centres its entries between the two.
    setPaddingTop(TITLE_BAND + NOTE_HEIGHT / 2.0f);
    setPaddingBottom(TITLE_BAND + NOTE_HEIGHT / 2.0f);
    setHeight(2.0f * TITLE_BAND + NOTE_HEIGHT + ENTRY_HEIGHT * static_cast<float>(count > 0 ? count : 1));
    setNumEntriesToDisplay(count);
}

void ChoiceMenu::setChoiceText(int index, const std::string& text)
{
    GUIListViewEntry* entry = validIndex(index, "setChoiceText") ? _entries[static_cast<size_t>(index)] : nullptr;
    if (entry)
        entry->setText(text);
    greyEntry(index);
}

void ChoiceMenu::setEnabled(int index, bool enabled)
{
    if (index < 0 || index >= static_cast<int>(_enabled.size()))
        return;
    _enabled[static_cast<size_t>(index)] = enabled;
    greyEntry(index);
}

void ChoiceMenu::greyEntry(int index)
{
    if (index < 0 || index >= static_cast<int>(_entries.size()))
        return;
    tamsygraphics::Text* text = _entries[static_cast<size_t>(index)]->getGraphicsText();
    const float shade = isEnabled(index) ? 1.0f : 0.5f;
    if (text)
        text->setColor(shade, shade, shade);
}

bool ChoiceMenu::isEnabled(int index) const
{
    return index >= 0 && index < static_cast<int>(_enabled.size()) && _enabled[static_cast<size_t>(index)];
}

bool ChoiceMenu::choose(int index)
{
    if (!isEnabled(index) || !_actions[static_cast<size_t>(index)])
        return false;
    // A copy: the action may rebuild this menu's entries.
    const std::function<void()> action = _actions[static_cast<size_t>(index)];
    action();
    return true;
}

int ChoiceMenu::indexOf(const std::string& text) const
{
    const std::vector<std::string> texts = getEntryTexts();
    for (size_t i = 0; i < texts.size(); ++i)
    {
        if (texts[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

void ChoiceMenu::setNote(const std::string& note)
{
    _note->setText(note);
    invalidate();
}

void ChoiceMenu::onMouseUp(int button, double x, double y)
{
    GUIMenu::onMouseUp(button, x, y);
    choose(getEntryIndexAtCoordinates(static_cast<float>(x), static_cast<float>(y)));
}

bool ChoiceMenu::backOut(bool byEscape)
{
    const std::function<void()> handler = byEscape ? _onEscape : _onBack;
    if (!handler)
        return false;
    handler();
    return true;
}

void ChoiceMenu::show()
{
    GUIMenu::show();
    if (_note && !_note->getText().empty())
        _note->show();
}

void ChoiceMenu::hide()
{
    GUIMenu::hide();
    if (_note)
        _note->hide();
}

void ChoiceMenu::invalidate()
{
    GUIMenu::invalidate();
    if (!_note)
        return;
    const glm::vec2 centre = getPosition();
    _note->setWidth(getWidth() - 2.0f * PADDING);
    _note->setHeight(NOTE_HEIGHT);
    _note->setPosition(centre.x, centre.y - getHeight() / 2.0f + TITLE_BAND / 2.0f + NOTE_HEIGHT / 2.0f);
}
}
