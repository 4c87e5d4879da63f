#pragma once

#include <string>

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

    // A picture instead of a colour: the part of the named texture at
    // (x, y) of size (z, w) in the picture's pixels, the whole picture when
    // the size is 0. A texture that cannot be found leaves the colour.
    void setImage(const std::string& texture, const glm::ivec4& pixels)
    {
        _imageTexture = texture;
        _imagePixels = pixels;
    }
    void clearImage() { _imageTexture.clear(); }
    const std::string& getImageTexture() const { return _imageTexture; }
    glm::ivec4 getImagePixels() const { return _imagePixels; }

private:
    glm::vec4 _bgColor;
    bool _panel = false;
    std::string _imageTexture;
    glm::ivec4 _imagePixels = glm::ivec4(0);
};
}
