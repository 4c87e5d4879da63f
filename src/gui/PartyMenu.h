#pragma once

#include <string>

#include "gui/GUIMenu.h"
#include "session/PartyView.h"

namespace core
{
class Party;
}

namespace gui
{
class CharacterMenu;
class GUITextBox;
class StatBar;
class GUIListViewEntry;

// The full-screen party menu: the members on the left, the sheet of the one
// chosen on the right, and a "Close" button. The member list is rebuilt
// from the party every time the menu is shown.
class PartyMenu : public GUIMenu, public core::PartyView
{
public:
    PartyMenu(const std::string& title, core::Party* party);
    ~PartyMenu() override;

    void onMouseUp(int button, double x, double y) override;
    void hide() override;
    void show() override;
    void showSheetOf(core::Character* member) override;
    void invalidate() override;
    bool backOut(bool byEscape) override;

    CharacterMenu* getCharacterSheet() const { return _previewBox; }
    GUITextBox* getCloseButton() const { return _closeButton; }
    // Hit points and fatigue of the member listed at `index`, under its name.
    StatBar* getHPBar(int index) const;
    StatBar* getFatigueBar(int index) const;

private:
    std::vector<std::string> memberKeys() const;
    // What the player reads for each member: the display name.
    std::vector<std::string> memberNames(const std::vector<std::string>& keys) const;
    void createSheetFor(const std::string& memberKey);
    void rebuildBars(const std::vector<std::string>& keys);
    void destroyBars();
    void layOutBars(GUIListViewEntry* entry, size_t index);

    core::Party* _party;
    CharacterMenu* _previewBox;
    GUITextBox* _closeButton;
    // Two per member, hit points then fatigue; owned through the GUI manager.
    std::vector<StatBar*> _bars;
};
}
