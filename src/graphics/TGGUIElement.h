#pragma once

#include <string>

#include <glm/glm.hpp>

namespace tamsygraphics
{
// A flat element of the user interface placed in normalised window
// coordinates (centre position, -1..1 each way) with a size in pixels.
class GUIElement
{
public:
    explicit GUIElement(const std::string& id);
    virtual ~GUIElement() = default;

    const std::string& getId() const { return _id; }

    void hide() { _hidden = true; }
    void show() { _hidden = false; }
    bool isHidden() const { return _hidden; }

    int getLayer() const { return _layer; }
    void setLayer(int layer) { _layer = layer; }

    int getWidthInPixels() const { return _widthInPixels; }
    void setWidthInPixels(int width) { _widthInPixels = width; }
    int getHeightInPixels() const { return _heightInPixels; }
    void setHeightInPixels(int height) { _heightInPixels = height; }

    // The same sizes in screen units; the pixel value is the one stored.
    float getWidth() const;
    void setWidth(float width);
    float getHeight() const;
    void setHeight(float height);

    glm::vec2 getWindowPosition() const { return _windowPosition; }
    void setWindowPosition(float x, float y) { _windowPosition = glm::vec2(x, y); }

    // Whether a point in normalised window coordinates lies on the element
    // (edges included); hidden elements are never hit.
    bool checkClick(float x, float y) const;

protected:
    std::string _id;
    bool _hidden;
    int _layer;
    int _widthInPixels;
    int _heightInPixels;
    glm::vec2 _windowPosition;
};
}
