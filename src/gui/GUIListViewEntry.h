#pragma once

#include <string>

#include "gui/GUITextBox.h"

namespace gui
{
// One clickable line of a list view; its colour follows the pointer.
class GUIListViewEntry : public GUITextBox
{
public:
    explicit GUIListViewEntry(const std::string& text);

    void onMouseDown(int button, double x, double y) override;
    void onMouseUp(int button, double x, double y) override;
    void onHoverEnter(double x, double y) override;
    void onHoverExit(double x, double y) override;

private:
    void restColour();
};
}
