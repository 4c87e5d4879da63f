#include "gui/GUITextBox.h"

#include <algorithm>

#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"
#include "gui/GUIManager.h"
#include "gui/TextWrap.h"
#include "util/util.h"

namespace gui
{
namespace
{
// How far below the baseline the default font reaches, in pixels: a box too
// short for its text lifts the baseline so descenders stay inside.
const int TEXT_DESCENT_PIXELS = 5;
// The baseline sits this far below the top padding.
const float BASELINE_DROP = 0.05f;
}

GUITextBox::GUITextBox(const std::string& text)
    : _text(nullptr), _wordWrap(false), _growToFit(false), _fitTop(0.0f), _fitMinimumHeight(0.0f)
{
    _text = GUIManager::createGraphicsText();
    raise();
    setText(text);
    invalidate();
}

GUITextBox::~GUITextBox()
{
    GUIManager::destroyGraphicsText(_text);
}

std::string GUITextBox::getText() const
{
    return _content;
}

void GUITextBox::setText(const std::string& text)
{
    _content = text;
    // Wrapping depends on the width, so the layout places the new text.
    if (_wordWrap)
        invalidate();
    else if (_text)
        _text->setText(text);
}

void GUITextBox::setWordWrap(bool wrap)
{
    _wordWrap = wrap;
    invalidate();
}

std::string GUITextBox::getShownText() const
{
    return _text ? _text->getText() : _content;
}

void GUITextBox::hide()
{
    GUIElement::hide();
    if (_text)
        _text->hide();
}

void GUITextBox::show()
{
    GUIElement::show();
    if (_text)
        _text->show();
}

void GUITextBox::raise()
{
    GUIElement::raise();
    if (_text)
        _text->setLayer(_layer);
}

void GUITextBox::invalidate()
{
    GUIElement::invalidate();
    putTextInUpperLeft();
}

void GUITextBox::putTextInUpperLeft()
{
    if (!_text)
        return;
    if (_wordWrap)
    {
        const int width = toPixelWidth(getWidth() - _paddingLeft - _paddingRight);
        tamsygraphics::Text* text = _text;
        text->setText(wrapText(_content, width, [text](const std::string& line) { return text->measure(line); }));
    }
    else
    {
        _text->setText(_content);
    }
    if (_growToFit)
        fitHeightToText();
    const glm::vec2 centre = getPosition();
    const float x = centre.x - getWidth() / 2.0f + _paddingLeft;
    float y = centre.y + getHeight() / 2.0f - _paddingTop - BASELINE_DROP;
    const bool oneLine = _text->getText().find('\n') == std::string::npos;
    const float lowest = centre.y - getHeight() / 2.0f + toScreenHeight(TEXT_DESCENT_PIXELS);
    if (oneLine && getHeight() > 0.0f)
        y = std::max(y, lowest);
    _text->setWindowPosition(x, y);
}

void GUITextBox::setGrowToFit(bool grow)
{
    _growToFit = grow;
    _fitTop = getPosition().y + getHeight() / 2.0f;
    _fitMinimumHeight = getHeight();
    invalidate();
}

void GUITextBox::fitHeightToText()
{
    if (!_rectangle)
        return;
    const std::string& shown = _text->getText();
    const int lines = 1 + static_cast<int>(std::count(shown.begin(), shown.end(), '\n'));
    const float needed = _paddingTop + BASELINE_DROP + toScreenHeight((lines - 1) * _text->getLineHeight()) +
                         toScreenHeight(TEXT_DESCENT_PIXELS) + _paddingBottom;
    const float height = std::max(_fitMinimumHeight, needed);
    // Straight on the rectangle: going through setHeight would lay the text
    // out again from inside its own layout.
    _rectangle->setHeight(height);
    _rectangle->setWindowPosition(getPosition().x, _fitTop - getHeight() / 2.0f);
}
}
