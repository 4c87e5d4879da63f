#pragma once

#include <memory>
#include <utility>

#include <glm/glm.hpp>

namespace tamsygraphics
{
class GUIRectangle;
}

namespace gui
{
// A widget: a background rectangle that is also its hit area, with mouse
// state and paddings. Positions and sizes are screen units (the window spans
// -1 to 1 each way) and a position is the widget's centre. Widgets register
// themselves with the GUI manager and are retired with destroy(), never
// deleted directly.
class GUIElement
{
public:
    GUIElement();
    virtual ~GUIElement();
    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    // Makes a widget that the GUI manager owns from the start; whoever made
    // it retires it with destroy() and never deletes it.
    template <typename T, typename... Args>
    static T* make(Args&&... args)
    {
        std::unique_ptr<T> element = std::make_unique<T>(std::forward<Args>(args)...);
        T* made = element.get();
        handOver(std::move(element));
        return made;
    }

    virtual void destroy();
    virtual void onMouseDown(int button, double x, double y);
    virtual void onMouseUp(int button, double x, double y);
    virtual bool isMouseDown() const;
    virtual void onHoverEnter(double x, double y);
    virtual void onHoverExit(double x, double y);
    virtual bool isHovered() const;
    virtual void hide();
    virtual void show();
    virtual bool insideBounds(float x, float y) const;
    virtual glm::vec2 getPosition() const;
    virtual void setPosition(float x, float y);
    virtual float getWidth() const;
    virtual void setWidth(float width);
    virtual float getHeight() const;
    virtual void setHeight(float height);
    virtual void setPadding(float padding);
    virtual void setPaddingTop(float padding);
    virtual void setPaddingRight(float padding);
    virtual void setPaddingBottom(float padding);
    virtual void setPaddingLeft(float padding);
    virtual void setBackgroundColor(float r, float g, float b, float a);
    // A full-width band over the bottom quarter of the window.
    virtual void attachToBottom();
    virtual void fullScreen();
    // Lays out what the widget holds; subclasses place their contents here.
    virtual void invalidate();

    bool isHidden() const { return _hidden; }
    glm::vec4 getBackgroundColor() const;
    float getPaddingTop() const { return _paddingTop; }
    float getPaddingRight() const { return _paddingRight; }
    float getPaddingBottom() const { return _paddingBottom; }
    float getPaddingLeft() const { return _paddingLeft; }
    tamsygraphics::GUIRectangle* getRectangle() const { return _rectangle; }
    // The stacking layer the widget was last raised to.
    int getLayer() const { return _layer; }

private:
    static void handOver(std::unique_ptr<GUIElement> element);

protected:
    // Puts the widget over everything shown before it; subclasses lift the
    // primitives they draw along with the background.
    virtual void raise();

    tamsygraphics::GUIRectangle* _rectangle;
    bool _mouseDown;
    bool _hovered;
    float _paddingTop;
    float _paddingRight;
    float _paddingBottom;
    float _paddingLeft;
    bool _hidden;
    int _layer;
};
}
