#pragma once

#include <glm/glm.hpp>

namespace tamsygraphics
{
class GUIRectangle;
}

#include "gui/GUIElement.h"

namespace gui
{
// A bar that shows how much of something is left (hit points, fatigue): a
// dark track the widget's size with a coloured fill from its left edge.
class StatBar : public GUIElement
{
public:
    explicit StatBar(const glm::vec3& fillColour);
    ~StatBar() override;

    // What share of the track to fill: current over maximum, kept between
    // empty and full; a maximum of zero or less shows an empty bar.
    static float fraction(int current, int maximum);
    void setValue(int current, int maximum);
    float getFraction() const { return _fraction; }
    tamsygraphics::GUIRectangle* getFill() const { return _fill; }

    void hide() override;
    void show() override;
    void invalidate() override;

protected:
    void raise() override;

private:
    tamsygraphics::GUIRectangle* _fill;
    float _fraction;
};
}
