#include "gui/GUIButton.h"

#include <utility>

namespace gui
{
namespace
{
const float PADDING = 0.05f;
}

GUIButton::GUIButton(const std::string& text, std::function<void()> action)
    : GUITextBox(text), _action(std::move(action))
{
    setPadding(PADDING);
}

void GUIButton::onMouseUp(int button, double x, double y)
{
    GUITextBox::onMouseUp(button, x, y);
    if (_action)
        _action();
}

void GUIButton::onHoverEnter(double x, double y)
{
    GUITextBox::onHoverEnter(x, y);
    setBackgroundColor(0.35f, 0.35f, 0.35f, 0.85f);
}

void GUIButton::onHoverExit(double x, double y)
{
    GUITextBox::onHoverExit(x, y);
    setBackgroundColor(0.25f, 0.25f, 0.25f, 0.75f);
}
}
