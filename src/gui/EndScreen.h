#pragma once

#include <functional>
#include <string>

#include "gui/GUIElement.h"
#include "session/EndingView.h"

namespace gui
{
class GUIButton;
class GUITextBox;

// The screen a finished story ends on: "The End" over the whole window, a
// closing line, and two choices, play again and quit. What the choices do
// belongs to the application, which hands them in.
class EndScreen : public GUIElement, public core::EndingView
{
public:
    static const char* const TITLE;
    static const char* const CLOSING_LINE;
    static const char* const PLAY_AGAIN;
    static const char* const QUIT;

    EndScreen(std::function<void()> playAgain, std::function<void()> quit);
    ~EndScreen() override;

    void show() override;
    void hide() override;
    void invalidate() override;
    bool isEndingHidden() const override { return isHidden(); }

    GUITextBox* getTitle() const { return _title; }
    GUITextBox* getClosingLine() const { return _closingLine; }
    GUIButton* getPlayAgainButton() const { return _playAgain; }
    GUIButton* getQuitButton() const { return _quit; }

private:
    void layOut();

    GUITextBox* _title;
    GUITextBox* _closingLine;
    GUIButton* _playAgain;
    GUIButton* _quit;
};
}
