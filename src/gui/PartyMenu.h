#pragma once

#include <string>

#include "gui/GUIMenu.h"

namespace core
{
class Party;
}

namespace gui
{
class CharacterMenu;
class GUITextBox;

// The full-screen party menu: the members on the left, the sheet of the one
// chosen on the right, and a "Close" button. The member list is rebuilt
// from the party every time the menu is shown.
class PartyMenu : public GUIMenu
{
public:
    PartyMenu(const std::string& title, core::Party* party);
    ~PartyMenu() override;

    void onMouseUp(int button, double x, double y) override;
    void hide() override;
    void show() override;
    void invalidate() override;
    bool backOut(bool byEscape) override;

    CharacterMenu* getCharacterSheet() const { return _previewBox; }
    GUITextBox* getCloseButton() const { return _closeButton; }

private:
    std::vector<std::string> memberKeys() const;
    void createSheetFor(const std::string& memberKey);

    core::Party* _party;
    CharacterMenu* _previewBox;
    GUITextBox* _closeButton;
};
}
