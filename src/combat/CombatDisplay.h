#pragma once

#include <string>
#include <vector>

namespace gui
{
class CombatMenu;
class GUITextBox;
}

namespace core
{
class CombatManager;
class FighterBars;

// What a fight shows: the combat menu along the bottom with the options of
// each stage, and the box at the top that tells what the last blow did.
class CombatDisplay
{
public:
    // The menu hands the options clicked to `combatManager`.
    explicit CombatDisplay(CombatManager* combatManager);
    ~CombatDisplay();
    CombatDisplay(const CombatDisplay&) = delete;
    CombatDisplay& operator=(const CombatDisplay&) = delete;

    // Shares of the window's height that the result box (at its smallest)
    // and the menu cover over the map during a fight.
    static float coveredTopShare();
    static float coveredBottomShare();

    void showMenu();
    void hide();
    void setMenu(const std::string& title, const std::vector<std::string>& options);
    void showResults(const std::string& text);
    // Adds a closing line under what the box already says.
    void addResultLine(const std::string& line);
    // The round's turn order, one fighter a line, beside the map.
    void showTurnList(const std::vector<std::string>& lines);

    gui::CombatMenu* menu() const { return _combatMenu; }
    gui::GUITextBox* results() const { return _textDisplay; }
    gui::GUITextBox* turnList() const { return _turnList; }
    FighterBars* fighterBars() const { return _fighterBars; }

private:
    // Created here, owned by the GUI manager; destroyed through it.
    gui::CombatMenu* _combatMenu;
    gui::GUITextBox* _textDisplay;
    gui::GUITextBox* _turnList;
    // Owned by the process manager, which runs it every frame.
    FighterBars* _fighterBars;
};
}
