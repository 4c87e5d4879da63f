#include "gui/DialogMenu.h"

#include "dialog/DialogManager.h"
#include "graphics/TGGUIRectangle.h"
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
// The face: 96 pixels square, 12 pixels in from the band's left edge.
const float FACE_WIDTH = 96.0f / 320.0f;
const float FACE_HEIGHT = 96.0f / 240.0f;
const float FACE_INSET = 12.0f / 320.0f;
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
    if (_face)
        _face->destroy();
}

void DialogMenu::setFace(const std::string& texture, const glm::ivec4& pixels)
{
    if (!_face)
    {
        _face = GUIElement::make<GUIElement>();
        if (_face->getRectangle())
            _face->getRectangle()->setPanel(false);
        _face->setWidth(FACE_WIDTH);
        _face->setHeight(FACE_HEIGHT);
    }
    if (_face->getRectangle())
        _face->getRectangle()->setImage(texture, pixels);
    // Where the picture cannot be drawn, a dark square still keeps the
    // text clear of the place.
    _face->setBackgroundColor(0.0f, 0.0f, 0.0f, 0.5f);
    _hasFace = true;
    invalidate();
    showPageText(_showingText && !isHidden());
}

void DialogMenu::clearFace()
{
    _hasFace = false;
    if (_face)
        _face->hide();
    invalidate();
}

void DialogMenu::placeFace()
{
    if (!_face)
        return;
    const glm::vec2 centre = getPosition();
    _face->setPosition(centre.x - getWidth() / 2.0f + FACE_INSET + FACE_WIDTH / 2.0f, centre.y);
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
    // The face goes with the spoken text: the options below take the band.
    if (_face)
    {
        if (shown && _hasFace)
            _face->show();
        else
            _face->hide();
    }
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
    placeFace();
    const float faceRoom = _hasFace ? FACE_INSET + FACE_WIDTH : 0.0f;
    const float left = centre.x - getWidth() / 2.0f + _paddingLeft + TEXT_MARGIN + faceRoom;
    const float top = centre.y + getHeight() / 2.0f - _paddingTop - BASELINE_DROP;
    const int width = toPixelWidth(getWidth() - _paddingLeft - _paddingRight - 2.0f * TEXT_MARGIN - faceRoom);
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
