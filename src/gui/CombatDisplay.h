#pragma once

#include <string>
#include <vector>

#include "combat/CombatView.h"

namespace gui
{
class CombatMenu;
class FighterBars;
class GUITextBox;

// What a fight shows: the combat menu along the bottom with the options of
// each stage, the box at the top that tells what the last blow did, the
// turn list beside the map and the bars over the fighters.
class CombatDisplay : public core::CombatView
{
public:
    // The menu hands the options clicked to `combatManager`.
    explicit CombatDisplay(core::CombatManager* combatManager);
    ~CombatDisplay() override;
    CombatDisplay(const CombatDisplay&) = delete;
    CombatDisplay& operator=(const CombatDisplay&) = delete;

    // Every fight from now on is shown with one of these.
    static void useForEveryFight();

    // The result box at its smallest and the menu.
    float coveredTopShare() const override;
    float coveredBottomShare() const override;

    void showMenu() override;
    void hide() override;
    void setMenu(const std::string& title, const std::vector<std::string>& options) override;
    void showResults(const std::string& text) override;
    void addResultLine(const std::string& line) override;
    void showTurnList(const std::vector<std::string>& lines) override;

    CombatMenu* menu() const { return _combatMenu; }
    GUITextBox* results() const { return _textDisplay; }
    GUITextBox* turnList() const { return _turnList; }
    FighterBars* fighterBars() const { return _fighterBars; }
    // The turn list stands on the half of the window the avatar is not on
    // (`avatarX` in the GUI's units, -1 left to 1 right).
    void keepTurnListClearOf(float avatarX);
    bool isTurnListOnTheLeft() const { return _turnListOnTheLeft; }

private:
    void placeTurnList();

    // Created here, owned by the GUI manager; destroyed through it.
    CombatMenu* _combatMenu;
    GUITextBox* _textDisplay;
    GUITextBox* _turnList;
    // Owned by the process manager, which runs it every frame.
    FighterBars* _fighterBars;
    bool _turnListOnTheLeft = false;
};
}
