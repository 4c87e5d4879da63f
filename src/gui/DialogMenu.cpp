#include "gui/DialogMenu.h"

#include "dialog/DialogManager.h"
#include "graphics/TGText.h"
#include "gui/GUIManager.h"
#include "gui/TextWrap.h"
#include "sound/SoundHandler.h"
#include "util/util.h"

namespace gui
{
namespace
{
const int PAGE_CHARACTERS = 105;
// The band itself has no padding; its text keeps this distance from the
// window's edge so that its first letters stay readable, and starts a line
// lower than a text box's so the speaker's name above the band stays clear.
const float TEXT_MARGIN = 0.05f;
const float BASELINE_DROP = 0.1f;
const float OPTION_PADDING = 0.05f;
}

DialogMenu::DialogMenu(core::DialogManager* dialogManager, const std::string& title, const std::string& text)
    : DialogMenu(dialogManager, title, text, {})
{
}

DialogMenu::DialogMenu(core::DialogManager* dialogManager, const std::string& title, const std::string& text,
                       const std::vector<std::string>& options)
    : GUIMenu(title), _dialogManager(nullptr), _text(nullptr), _showingText(false), _characterLimit(PAGE_CHARACTERS),
      _nextTextSectionNumber(0)
{
    init(dialogManager, text, options);
}

DialogMenu::~DialogMenu()
{
    GUIManager::destroyGraphicsText(_text);
}

void DialogMenu::init(core::DialogManager* dialogManager, const std::string& text,
                      const std::vector<std::string>& options)
{
    _dialogManager = dialogManager;
    if (!_text)
    {
        _text = GUIManager::createGraphicsText();
        raise();
    }
    _dialogText = text;
    _nextTextSectionNumber = 0;
    _characterLimit = PAGE_CHARACTERS;
    setEntryPadding(OPTION_PADDING);
    update(options);
    attachToBottom();
    _showingText = true;
    hideEntries();
    displayNext();
    invalidate();
}

void DialogMenu::reset(const std::string& text, const std::vector<std::string>& options)
{
    update(options);
    reset(text);
}

void DialogMenu::reset(const std::string& text)
{
    _dialogText = text;
    _nextTextSectionNumber = 0;
    attachToBottom();
    showPageText(true);
    _showingText = true;
    hideEntries();
    displayNext();
    invalidate();
}

void DialogMenu::displayNext()
{
    const size_t start = static_cast<size_t>(_characterLimit) * static_cast<size_t>(_nextTextSectionNumber);
    if (start <= _dialogText.size())
    {
        // Pages are cut at the character count, not at words.
        _page = _dialogText.substr(start, static_cast<size_t>(_characterLimit));
        ++_nextTextSectionNumber;
        putTextInUpperLeft();
        return;
    }
    _page.clear();
    showPageText(false);
    _showingText = false;
    showEntries();
}

void DialogMenu::showPageText(bool shown)
{
    if (!_text)
        return;
    if (shown)
        _text->show();
    else
        _text->hide();
}

void DialogMenu::invalidate()
{
    putTextInUpperLeft();
    GUIMenu::invalidate();
}

void DialogMenu::putTextInUpperLeft()
{
    if (!_text)
        return;
    const glm::vec2 centre = getPosition();
    const float left = centre.x - getWidth() / 2.0f + _paddingLeft + TEXT_MARGIN;
    const float top = centre.y + getHeight() / 2.0f - _paddingTop - BASELINE_DROP;
    const int width = toPixelWidth(getWidth() - _paddingLeft - _paddingRight - 2.0f * TEXT_MARGIN);
    tamsygraphics::Text* text = _text;
    text->setText(wrapText(_page, width, [text](const std::string& line) { return text->measure(line); }));
    text->setWindowPosition(left, top);
}

void DialogMenu::raise()
{
    GUIMenu::raise();
    if (_text)
        _text->setLayer(_layer);
}

void DialogMenu::hide()
{
    GUIMenu::hide();
    showPageText(false);
}

void DialogMenu::onMouseUp(int button, double x, double y)
{
    GUIMenu::onMouseUp(button, x, y);
    if (_showingText)
    {
        displayNext();
        // A node with nothing to answer ends the conversation once its last
        // page has been read; an empty band would wait for ever.
        if (!_showingText && _entries.empty() && _dialogManager)
            _dialogManager->endDialog();
    }
    else if (!_entries.empty())
    {
        const int index = getEntryIndexAtCoordinates(static_cast<float>(x), static_cast<float>(y));
        if (index >= 0 && _dialogManager)
            _dialogManager->optionSelected(index);
    }
    sound::SoundHandler::sendCue("dialogText", 0);
}
}
