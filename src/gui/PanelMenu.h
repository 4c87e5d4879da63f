#pragma once

#include <string>

#include "gui/GUIMenu.h"

namespace gui
{
class GUIButton;

// A menu in the middle of the window, opened from the main menu, that reads
// what it lists afresh each time it is shown and closes with its "Close"
// button. Its lines keep one height, so a short list fills from the top.
class PanelMenu : public GUIMenu
{
public:
    explicit PanelMenu(const std::string& title);
    ~PanelMenu() override;

    void hide() override;
    void show() override;
    void invalidate() override;
    bool backOut(bool byEscape) override;

    // Reads the listed things again.
    virtual void refresh() = 0;
    GUIButton* getCloseButton() const { return _closeButton; }

private:
    void placeCloseButton();

    GUIButton* _closeButton;
};
}
