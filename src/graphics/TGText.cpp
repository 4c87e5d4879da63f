#include "graphics/TGText.h"

#include <algorithm>

#include "graphics/TGFont.h"

namespace tamsygraphics
{
Text::Text(const std::string& id)
    : GUIElement(id), _text(" "), _color(0.0f, 0.0f, 0.0f), _font(nullptr), _size(0), _shadow(false)
{
}

int Text::getLength() const
{
    int widest = 0;
    size_t start = 0;
    while (start <= _text.size())
    {
        size_t end = _text.find('\n', start);
        if (end == std::string::npos)
            end = _text.size();
        widest = std::max(widest, measure(_text.substr(start, end - start)));
        start = end + 1;
    }
    return widest;
}

int Text::measure(const std::string& line) const
{
    if (!_font || _size == 0)
        return 0;
    atlas glyphs = _font->getSize(_size);
    int length = 0;
    for (char ch : line)
    {
        unsigned char code = static_cast<unsigned char>(ch);
        if (code < 128)
            length = static_cast<int>(length + glyphs.characters[code].ax);
    }
    return length;
}

int Text::getLineHeight() const
{
    return (_size * 5 + 2) / 4;
}
}
