#include "graphics/TGText.h"

#include "graphics/TGFont.h"

namespace tamsygraphics
{
Text::Text(const std::string& id)
    : GUIElement(id), _text(" "), _color(0.0f, 0.0f, 0.0f), _font(nullptr), _size(0)
{
}

int Text::getLength() const
{
    if (!_font || _size == 0)
        return 0;
    atlas glyphs = _font->getSize(_size);
    int length = 0;
    for (char ch : _text)
    {
        unsigned char code = static_cast<unsigned char>(ch);
        if (code < 128)
            length = static_cast<int>(length + glyphs.characters[code].ax);
    }
    return length;
}
}
