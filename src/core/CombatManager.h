#pragma once

#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "core/CombatSnapshot.h"
#include "core/TilePos.h"

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
class EnemyTurnProcess;
class Entity;
class Session;
struct EnemyPlan;

// Turn-based combat on the current scene's grid. The player picks a
// character, walks it, picks an ability, aims it and confirms; then the
// enemies take their turn by themselves. The combat menu along the bottom
// offers the options of each stage and a text box at the top shows what
// happened. The fight is won when the last enemy falls and lost when the
// whole party has; a lost fight can be tried again from where it began.
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

    // The music a fight plays unless its caller names another.
    static const char* const BATTLE_MUSIC;
    // Offered beside "try_again" after a lost fight once the game has saves.
    static const char* const LOAD_LAST_SAVE;

    explicit CombatManager(Session* session);
    virtual ~CombatManager();
    CombatManager(const CombatManager&) = delete;
    CombatManager& operator=(const CombatManager&) = delete;

    // The list is the caller's and must outlive the fight: the dead are
    // removed from it.
    void enterCombat(std::list<Character*>* enemies);
    void enterCombat(std::list<Character*>* enemies, const std::string& music);
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

    // Whether the entity is on either side of the running fight.
    bool isTakingPart(const Entity* entity) const;

    // The enemies' turn, played by EnemyTurnProcess through these.
    bool isFighting(const Character* character) const;
    EnemyPlan planFor(Character* foe);
    bool canStrike(const Character* foe, const EnemyPlan& plan) const;
    void markTarget(const EnemyPlan& plan);
    void enemyAct(Character* foe, const EnemyPlan& plan);
    void enemyPasses(Character* foe);
    // Takes out whoever has fallen; true when that ended the fight.
    bool settleDeaths();
    void enemyTurnFinished(EnemyTurnProcess* turn);

    bool isInCombat() const { return _inCombat; }
    stage getStage() const { return _combatStage; }
    Character* getCurrentCharacter() const { return _currentCharacter; }
    Ability* getChosenAbility() const { return _chosenAbility; }
    int getRemainingMovement() const { return remainingMovement; }
    const std::list<Character*>& getParty() const { return _party; }
    const std::list<Character*>* getEnemies() const { return _enemies; }
    const std::list<Character*>& getTargets() const { return _targets; }
    const std::vector<TilePos>& getHighlightedTiles() const { return _highlightedTiles; }
    bool canAct(Character* character) const;
    CombatInputContext* getCombatInputContext() const { return _combatInputContext.get(); }
    gui::CombatMenu* getCombatMenu() const { return _combatMenu; }
    gui::GUITextBox* getTextDisplay() const { return _textDisplay; }
    bool isEnemyTurnRunning() const { return _enemyTurn != nullptr; }

private:
    void setUpBase();
    void setUpMove();
    void setUpAbility();
    void setUpTarget();
    void setUpEnemy();
    void setUpWin();
    void setUpLose();
    void finalizeAction();
    void resolveAbilities();
    // One use of an ability, its deaths, and the outcome on screen.
    void resolve(Ability* used, Character* user, const std::list<Character*>& targets, const std::string& heading);

    bool baseOption(const std::string& option);
    bool moveOption(const std::string& option);
    bool abilityOption(const std::string& option);
    bool targetOption(const std::string& option);
    bool enemyOption(const std::string& option);
    bool targetClick(int row, int col, Character* clicked);
    bool clickSingleTarget(Character* clicked, int radius);
    bool clickAlly(Character* clicked);
    bool clickBurst(int row, int col, int radius);
    bool clickLine(int row, int col, int range, int radius);
    Character* characterAt(int row, int col) const;
    // Everybody in the fight whose square lies within `radius` of the centre.
    std::list<Character*> charactersNear(int row, int col, int radius) const;
    void returnToStartSquare();
    void startEnemyTurn();
    void stopEnemyTurn();
    void removeFallen(std::string& text);
    void removeDeadEnemies(std::string& text);
    // Wins or loses the fight when one side has nobody left; true if so.
    bool checkForEnd();
    void tryAgain();
    void loadLastSave();
    void restoreSceneMusic();
    void setMenu(const std::string& title, const std::vector<std::string>& options);
    void setCanAct(Character* character, bool canAct);
    static TilePos gridPosition(const Character* character);

    // Created here, owned by the GUI manager; destroyed through it.
    gui::CombatMenu* _combatMenu;
    gui::GUITextBox* _textDisplay;
    Session* _session;
    stage _combatStage;
    bool _inCombat;
    // Borrowed: abilities belong to the resource manager, characters to Lua.
    Ability* _chosenAbility;
    Character* _currentCharacter;
    std::list<Character*> _targets;
    int remainingMovement;
    int characterRow;
    int characterCol;
    std::list<Character*> _party;
    // The session's opponent list, which outlives the fight.
    std::list<Character*>* _enemies;
    std::map<std::string, bool> _canAct;
    std::vector<TilePos> _highlightedTiles;
    std::unique_ptr<CombatInputContext> _combatInputContext;
    // Owned by the process manager; this only keeps track of it.
    EnemyTurnProcess* _enemyTurn;
    CombatSnapshot _snapshot;
    std::string _sceneMusic;
    bool _battleMusicPlaying;
};
}
