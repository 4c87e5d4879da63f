#pragma once

#include <string>

#include <glm/glm.hpp>

#include "graphics/TGGUIElement.h"

namespace tamsygraphics
{
class Font;

// A line of text drawn by the renderer from its font's glyph atlas.
class Text : public GUIElement
{
public:
    explicit Text(const std::string& id);

    const std::string& getText() const { return _text; }
    void setText(const std::string& text) { _text = text; }

    glm::vec3 getColor() const { return _color; }
    void setColor(float r, float g, float b) { _color = glm::vec3(r, g, b); }

    Font* getFont() const { return _font; }
    void setFont(Font* font) { _font = font; }

    int getSize() const { return _size; }
    void setSize(int size) { _size = size; }

    // Width in pixels at the text's font and size, of the widest line when
    // the text holds line breaks; 0 without a font or size.
    int getLength() const;
    // Width in pixels of one line of any text at this text's font and size.
    int measure(const std::string& line) const;
    // Distance in pixels from one baseline to the next.
    int getLineHeight() const;

    // A dark copy one pixel down and right, so that the text stays readable
    // over a busy picture.
    bool hasShadow() const { return _shadow; }
    void setShadow(bool shadow) { _shadow = shadow; }

private:
    std::string _text;
    glm::vec3 _color;
    Font* _font;
    int _size;
    bool _shadow;
};
}
