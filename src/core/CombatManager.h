#pragma once

#include <list>
#include <map>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace gui
{
class CombatMenu;
class GUITextBox;
}

namespace core
{
class Ability;
class Character;
class CombatInputContext;
class Session;

// Turn-based combat on the current scene's grid. The player picks a
// character, walks it, picks an ability, aims it and confirms; the enemies'
// turn waits for "continue". The combat menu along the bottom offers the
// options of each stage and a text box at the top shows what happened.
class CombatManager
{
public:
    enum stage
    {
        base = 0,
        move = 1,
        ability = 2,
        target = 3,
        enemy = 4,
        lose = 5,
        win = 6
    };

    explicit CombatManager(Session* session);
    virtual ~CombatManager();
    CombatManager(const CombatManager&) = delete;
    CombatManager& operator=(const CombatManager&) = delete;

    // The list is the caller's and must outlive the fight: the dead are
    // removed from it.
    void enterCombat(std::list<Character*>* enemies);
    void leaveCombat();

    bool combatMenuClick(const std::string& option);
    bool tileClick(int row, int col);
    bool keyPress(int key, int action);

    // "base", "move", "ability", "target", "enemy", "lose" or "win".
    static const char* stageName(stage value);

    static int getCombatDistance(int row1, int col1, int row2, int col2);
    static int getCombatDistance(const Character* character1, const Character* character2);

    void highlightTile(int row, int col);
    void unHighlightTiles();
    void showAbilityResults(const std::string& text);

    bool isInCombat() const { return _inCombat; }
    stage getStage() const { return _combatStage; }
    Character* getCurrentCharacter() const { return _currentCharacter; }
    Ability* getChosenAbility() const { return _chosenAbility; }
    int getRemainingMovement() const { return remainingMovement; }
    const std::list<Character*>* getParty() const { return _party; }
    const std::list<Character*>* getEnemies() const { return _enemies; }
    const std::list<Character*>* getTargets() const { return _targets; }
    const std::vector<glm::vec2>& getHighlightedTiles() const { return *_highlightedTiles; }
    bool canAct(Character* character) const;
    CombatInputContext* getCombatInputContext() const { return _combatInputContext; }

    gui::CombatMenu* getCombatMenu() const { return _combatMenu; }
    gui::GUITextBox* getTextDisplay() const { return _textDisplay; }

private:
    void setUpBase();
    void setUpMove();
    void setUpAbility();
    void setUpTarget();
    void setUpEnemy();
    void finalizeAction();
    void resolveAbilities();

    bool baseOption(const std::string& option);
    bool moveOption(const std::string& option);
    bool abilityOption(const std::string& option);
    bool targetOption(const std::string& option);
    bool enemyOption(const std::string& option);
    bool targetClick(int row, int col, Character* clicked);
    bool clickSingleTarget(Character* clicked, int dist, int range, int radius);
    bool clickAlly(Character* clicked, int dist, int range);
    bool clickBurst(int row, int col, int dist, int range, int radius);
    bool clickLine(int row, int col, int range, int radius);
    Character* characterAt(int row, int col) const;
    void returnToStartSquare();
    void dropTargets();
    void removeDead(std::list<Character*>* side, std::string& text);
    void setMenu(const std::string& title, const std::vector<std::string>& options);
    void setCanAct(Character* character, bool canAct);
    static glm::ivec2 gridPosition(const Character* character);

    gui::CombatMenu* _combatMenu;
    gui::GUITextBox* _textDisplay;
    Session* _session;
    stage _combatStage;
    bool _inCombat;
    Ability* _chosenAbility;
    Character* _currentCharacter;
    std::list<Character*>* _targets;
    int remainingMovement;
    int characterRow;
    int characterCol;
    std::list<Character*>* _party;
    std::list<Character*>* _enemies;
    std::map<std::string, bool>* _canAct;
    std::vector<glm::vec2>* _highlightedTiles;
    CombatInputContext* _combatInputContext;
};
}
