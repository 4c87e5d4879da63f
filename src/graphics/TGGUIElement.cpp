#include "graphics/TGGUIElement.h"

#include "util/util.h"

namespace tamsygraphics
{
GUIElement::GUIElement(const std::string& id)
    : _id(id), _hidden(false), _layer(0), _widthInPixels(100), _heightInPixels(100), _windowPosition(0.5f, 0.0f)
{
}

float GUIElement::getWidth() const
{
    return toScreenWidth(_widthInPixels);
}
void GUIElement::setWidth(float width)
{
    _widthInPixels = toPixelWidth(width);
}
float GUIElement::getHeight() const
{
    return toScreenHeight(_heightInPixels);
}
void GUIElement::setHeight(float height)
{
    _heightInPixels = toPixelHeight(height);
}

bool GUIElement::checkClick(float x, float y) const
{
    if (_hidden)
        return false;
    // The window spans 2 units each way, so half a size in pixels is
    // size / WINDOW_WIDTH units across.
    float hw = static_cast<float>(_widthInPixels / WINDOW_WIDTH);
    float hh = static_cast<float>(_heightInPixels / WINDOW_HEIGHT);
    return _windowPosition.x - hw <= x && x <= _windowPosition.x + hw && _windowPosition.y - hh <= y &&
           y <= _windowPosition.y + hh;
}
}
