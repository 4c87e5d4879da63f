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

    // What the entry stands for when the text shown is a label for the
    // player (a member's id behind a display name, an option id behind its
    // wording); the text itself when no key was given.
    std::string getKey() const { return _hasKey ? _key : getText(); }
    void setKey(const std::string& key);
    void clearKey();

    void onMouseDown(int button, double x, double y) override;
    void onMouseUp(int button, double x, double y) override;
    void onHoverEnter(double x, double y) override;
    void onHoverExit(double x, double y) override;

private:
    void restColour();

    std::string _key;
    bool _hasKey = false;
};
}
