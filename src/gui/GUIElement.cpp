#include "gui/GUIElement.h"

#include "graphics/TGGUIRectangle.h"
#include "gui/GUIManager.h"

namespace gui
{
GUIElement::GUIElement()
    : _rectangle(nullptr), _mouseDown(false), _hovered(false), _paddingTop(0.0f), _paddingRight(0.0f),
      _paddingBottom(0.0f), _paddingLeft(0.0f), _hidden(false), _layer(0)
{
    GUIManager::addGUIElement(this);
    _rectangle = GUIManager::createGraphicsRectangle();
    raise();
    setBackgroundColor(0.25f, 0.25f, 0.25f, 0.75f);
    if (_rectangle)
        _rectangle->setPanel(true);
    setPadding(0.0f);
}

GUIElement::~GUIElement()
{
    GUIManager::destroyGraphicsRectangle(_rectangle);
}

void GUIElement::handOver(std::unique_ptr<GUIElement> element)
{
    GUIManager::adopt(std::move(element));
}

void GUIElement::destroy()
{
    GUIManager::destroyGUIElement(this);
}

void GUIElement::onMouseDown(int, double, double)
{
    _mouseDown = true;
}

void GUIElement::onMouseUp(int, double, double)
{
    _mouseDown = false;
}

bool GUIElement::isMouseDown() const
{
    return _mouseDown;
}

void GUIElement::onHoverEnter(double, double)
{
    _hovered = true;
}

void GUIElement::onHoverExit(double, double)
{
    // Leaving a widget cancels a press on it: the release will land elsewhere.
    _hovered = false;
    _mouseDown = false;
}

bool GUIElement::isHovered() const
{
    return _hovered;
}

void GUIElement::hide()
{
    _hidden = true;
    if (_rectangle)
        _rectangle->hide();
}

void GUIElement::show()
{
    _hidden = false;
    if (_rectangle)
        _rectangle->show();
    raise();
}

void GUIElement::raise()
{
    _layer = GUIManager::nextLayer();
    if (_rectangle)
        _rectangle->setLayer(_layer);
}

bool GUIElement::insideBounds(float x, float y) const
{
    return _rectangle && _rectangle->checkClick(x, y);
}

glm::vec2 GUIElement::getPosition() const
{
    return _rectangle ? _rectangle->getWindowPosition() : glm::vec2(0.0f, 0.0f);
}

void GUIElement::setPosition(float x, float y)
{
    if (_rectangle)
        _rectangle->setWindowPosition(x, y);
    invalidate();
}

float GUIElement::getWidth() const
{
    return _rectangle ? _rectangle->getWidth() : 0.0f;
}

void GUIElement::setWidth(float width)
{
    if (_rectangle)
        _rectangle->setWidth(width);
    invalidate();
}

float GUIElement::getHeight() const
{
    return _rectangle ? _rectangle->getHeight() : 0.0f;
}

void GUIElement::setHeight(float height)
{
    if (_rectangle)
        _rectangle->setHeight(height);
    invalidate();
}

void GUIElement::setPadding(float padding)
{
    _paddingTop = _paddingRight = _paddingBottom = _paddingLeft = padding;
    invalidate();
}

void GUIElement::setPaddingTop(float padding)
{
    _paddingTop = padding;
    invalidate();
}

void GUIElement::setPaddingRight(float padding)
{
    _paddingRight = padding;
    invalidate();
}

void GUIElement::setPaddingBottom(float padding)
{
    _paddingBottom = padding;
    invalidate();
}

void GUIElement::setPaddingLeft(float padding)
{
    _paddingLeft = padding;
    invalidate();
}

void GUIElement::setBackgroundColor(float r, float g, float b, float a)
{
    if (_rectangle)
        _rectangle->setBackgroundColor(r, g, b, a);
}

glm::vec4 GUIElement::getBackgroundColor() const
{
    return _rectangle ? _rectangle->getBackgroundColor() : glm::vec4(0.0f);
}

void GUIElement::attachToBottom()
{
    setPosition(0.0f, -0.75f);
    setWidth(2.0f);
    setHeight(0.5f);
}

void GUIElement::fullScreen()
{
    setPosition(0.0f, 0.0f);
    setWidth(2.0f);
    setHeight(2.0f);
}

void GUIElement::invalidate()
{
}
}
