#pragma once

#include <glm/glm.hpp>

#include "graphics/TGGUIElement.h"

namespace tamsygraphics
{
// A flat coloured rectangle drawn in screen space over the scene.
class GUIRectangle : public GUIElement
{
public:
    explicit GUIRectangle(const std::string& id);

    glm::vec4 getBackgroundColor() const { return _bgColor; }
    void setBackgroundColor(float r, float g, float b, float a) { _bgColor = glm::vec4(r, g, b, a); }

    // A panel takes the theme's picture when there is one; other
    // rectangles (highlights, bars) stay flat.
    bool isPanel() const { return _panel; }
    void setPanel(bool panel) { _panel = panel; }

private:
    glm::vec4 _bgColor;
    bool _panel = false;
};
}
