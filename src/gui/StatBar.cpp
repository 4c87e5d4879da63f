#include "gui/StatBar.h"

#include <algorithm>

#include "graphics/TGGUIRectangle.h"
#include "gui/GUIManager.h"

namespace gui
{
StatBar::StatBar(const glm::vec3& fillColour) : _fill(nullptr), _fraction(0.0f)
{
    // The track is a plain dark strip even in a themed GUI: a frame cut in
    // nine would swallow a bar a few pixels high.
    if (_rectangle)
        _rectangle->setPanel(false);
    setBackgroundColor(0.05f, 0.05f, 0.05f, 0.9f);
    _fill = GUIManager::createGraphicsRectangle();
    if (_fill)
        _fill->setBackgroundColor(fillColour.r, fillColour.g, fillColour.b, 1.0f);
    raise();
    invalidate();
}

StatBar::~StatBar()
{
    GUIManager::destroyGraphicsRectangle(_fill);
}

float StatBar::fraction(int current, int maximum)
{
    if (maximum <= 0)
        return 0.0f;
    const float share = static_cast<float>(current) / static_cast<float>(maximum);
    return std::min(1.0f, std::max(0.0f, share));
}

void StatBar::setValue(int current, int maximum)
{
    _fraction = fraction(current, maximum);
    invalidate();
}

void StatBar::invalidate()
{
    GUIElement::invalidate();
    if (!_fill)
        return;
    const glm::vec2 centre = getPosition();
    const float width = getWidth() * _fraction;
    _fill->setWidth(width);
    _fill->setHeight(getHeight());
    _fill->setWindowPosition(centre.x - getWidth() / 2.0f + width / 2.0f, centre.y);
    // An empty bar shows its track alone, not a sliver of fill.
    if (isHidden() || _fill->getWidthInPixels() <= 0)
        _fill->hide();
    else
        _fill->show();
}

void StatBar::hide()
{
    GUIElement::hide();
    if (_fill)
        _fill->hide();
}

void StatBar::show()
{
    GUIElement::show();
    invalidate();
}

void StatBar::raise()
{
    GUIElement::raise();
    // Its own layer above the track's: within one layer rectangles are
    // drawn in name order, which need not be the order they were made in.
    if (_fill)
        _fill->setLayer(GUIManager::nextLayer());
}
}
