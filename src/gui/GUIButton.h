#pragma once

#include <functional>
#include <string>

#include "gui/GUITextBox.h"

namespace gui
{
// A text box that runs an action when a click on it is released.
class GUIButton : public GUITextBox
{
public:
    GUIButton(const std::string& text, std::function<void()> action);

    void onMouseUp(int button, double x, double y) override;
    void onHoverEnter(double x, double y) override;
    void onHoverExit(double x, double y) override;

private:
    std::function<void()> _action;
};
}
