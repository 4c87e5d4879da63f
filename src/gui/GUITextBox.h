#pragma once

#include <string>

#include "gui/GUIElement.h"

namespace tamsygraphics
{
class Text;
}

namespace gui
{
// A background rectangle with a text in its upper-left corner.
class GUITextBox : public GUIElement
{
public:
    explicit GUITextBox(const std::string& text);
    ~GUITextBox() override;

    std::string getText() const;
    void setText(const std::string& text);
    void hide() override;
    void show() override;
    void invalidate() override;
    virtual void putTextInUpperLeft();

    // Long texts break into lines that fit the box's width (off by default:
    // list entries keep one line each).
    void setWordWrap(bool wrap);
    // The box grows downwards from its top edge as far as its text needs,
    // and shrinks back to its present size, never less (off by default).
    void setGrowToFit(bool grow);
    // The text as drawn, line breaks included.
    std::string getShownText() const;
    tamsygraphics::Text* getGraphicsText() const { return _text; }

protected:
    void raise() override;
    void fitHeightToText();

    tamsygraphics::Text* _text;
    std::string _content;
    bool _wordWrap;
    bool _growToFit;
    float _fitTop;
    float _fitMinimumHeight;
};
}
