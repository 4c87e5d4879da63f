#include "graphics/TGGUIRectangle.h"

namespace tamsygraphics
{
GUIRectangle::GUIRectangle(const std::string& id) : GUIElement(id), _bgColor(0.25f, 0.25f, 0.25f, 0.75f)
{
}
}
