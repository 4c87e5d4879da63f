#include "gui/EndScreen.h"

#include <algorithm>
#include <utility>

#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"
#include "gui/GUIButton.h"
#include "gui/GUITextBox.h"
#include "util/util.h"

namespace gui
{
namespace
{
const float TEXT_PADDING = 0.05f;
const float TITLE_Y = 0.45f;
const float TITLE_HEIGHT = 0.2f;
const float LINE_Y = 0.1f;
const float LINE_WIDTH = 1.4f;
const float LINE_HEIGHT = 0.3f;
const float BUTTON_Y = -0.4f;
const float BUTTON_X = 0.3f;
const float BUTTON_WIDTH = 0.5f;
const float BUTTON_HEIGHT = 0.15f;

// Texts written straight on the screen's own background.
GUITextBox* bareText(const std::string& text)
{
    GUITextBox* box = GUIElement::make<GUITextBox>(text);
    box->setBackgroundColor(0.0f, 0.0f, 0.0f, 0.0f);
    box->setPadding(TEXT_PADDING);
    return box;
}

float textWidth(const GUITextBox* box, const std::string& text)
{
    const tamsygraphics::Text* graphics = box->getGraphicsText();
    return toScreenWidth(graphics ? graphics->measure(text) : 0) + 2.0f * TEXT_PADDING;
}
}

const char* const EndScreen::TITLE = "The End";
const char* const EndScreen::CLOSING_LINE = "Thank you for playing.";
const char* const EndScreen::PLAY_AGAIN = "Play again";
const char* const EndScreen::QUIT = "Quit";

EndScreen::EndScreen(std::function<void()> playAgain, std::function<void()> quit)
    : _title(nullptr), _closingLine(nullptr), _playAgain(nullptr), _quit(nullptr)
{
    // Opaque: nothing of the world shows through once the story is over.
    // A night-dark backdrop, not a framed panel, even in a themed game.
    setBackgroundColor(0.02f, 0.03f, 0.08f, 1.0f);
    if (_rectangle)
        _rectangle->setPanel(false);
    _title = bareText(TITLE);
    _closingLine = bareText(CLOSING_LINE);
    _closingLine->setWordWrap(true);
    _playAgain = GUIElement::make<GUIButton>(PLAY_AGAIN, std::move(playAgain));
    _quit = GUIElement::make<GUIButton>(QUIT, std::move(quit));
    fullScreen();
    hide();
}

EndScreen::~EndScreen()
{
    _title->destroy();
    _closingLine->destroy();
    _playAgain->destroy();
    _quit->destroy();
}

void EndScreen::invalidate()
{
    GUIElement::invalidate();
    layOut();
}

void EndScreen::layOut()
{
    if (!_quit)
        return;
    const glm::vec2 centre = getPosition();
    // The texts are as wide as they are written (the closing line at most
    // LINE_WIDTH, then it wraps), so that they stand in the middle.
    _title->setWidth(textWidth(_title, TITLE));
    _title->setHeight(TITLE_HEIGHT);
    _title->setPosition(centre.x, centre.y + TITLE_Y);
    _closingLine->setWidth(std::min(LINE_WIDTH, textWidth(_closingLine, CLOSING_LINE)));
    _closingLine->setHeight(LINE_HEIGHT);
    _closingLine->setPosition(centre.x, centre.y + LINE_Y);
    for (GUIButton* button : {_playAgain, _quit})
    {
        button->setWidth(BUTTON_WIDTH);
        button->setHeight(BUTTON_HEIGHT);
    }
    _playAgain->setPosition(centre.x - BUTTON_X, centre.y + BUTTON_Y);
    _quit->setPosition(centre.x + BUTTON_X, centre.y + BUTTON_Y);
}

void EndScreen::show()
{
    // The background first, so that what it holds is raised over it.
    GUIElement::show();
    _title->show();
    _closingLine->show();
    _playAgain->show();
    _quit->show();
}

void EndScreen::hide()
{
    GUIElement::hide();
    if (!_quit)
        return;
    _title->hide();
    _closingLine->hide();
    _playAgain->hide();
    _quit->hide();
}
}
