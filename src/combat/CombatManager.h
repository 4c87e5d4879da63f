#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "combat/CombatCursor.h"
#include "combat/CombatDistance.h"
#include "combat/CombatEnding.h"
#include "combat/CombatMovement.h"
#include "combat/CombatPlacement.h"
#include "combat/CombatSides.h"
#include "combat/CombatTargeting.h"
#include "combat/CombatTurnList.h"
#include "combat/CombatView.h"
#include "world/TilePos.h"

namespace core
{
class Ability;
class Character;
class CombatInputContext;
class EnemyTurnProcess;
class Entity;
class Scene;
class CombatHost;
struct EnemyPlan;

// Turn-based combat on the current scene's grid. The player picks a
// character, walks it, picks an ability, aims it and confirms; then the
// enemies take their turn by themselves. The combat menu along the bottom
// offers the options of each stage and a text box at the top shows what
// happened. The fight is won when the last enemy falls and lost when the
// whole party has; a lost fight can be tried again from where it began.
//
// This class keeps the stages and their menus and hands the rest on: who
// fights and falls to CombatSides, aiming to CombatTargeting, walking to
// CombatMovement, the end of the fight to CombatEnding, what the player sees
// to a CombatView, and the enemies' moves to EnemyTurnProcess.
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

    // The music a fight plays unless its caller names another: the sound
    // the game's manifest cues for "battle", empty (no music) when none.
    static std::string battleMusic();
    // Offered beside "try_again" after a lost fight once the game has saves.
    static constexpr const char* LOAD_LAST_SAVE = CombatEnding::LOAD_LAST_SAVE;
    // The sound of an enemy running from the fight.
    static constexpr const char* FLEE_CUE = "flee";

    explicit CombatManager(CombatHost* session);
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
    // The keyboard's square (W/A/S/D, then Z or Space), while a square is
    // to be chosen; shown on the avatar when the fight begins.
    const CombatCursor& getCursor() const { return _cursor; }

    // "base", "move", "ability", "target", "enemy", "lose" or "win".
    static const char* stageName(stage value);

    static int getCombatDistance(int row1, int col1, int row2, int col2)
    {
        return combatDistance({row1, col1}, {row2, col2});
    }
    static int getCombatDistance(const Character* character1, const Character* character2)
    {
        return combatDistance(CombatSides::squareOf(character1), CombatSides::squareOf(character2));
    }

    void highlightTile(int row, int col) { _targeting.highlightTile({row, col}); }
    void unHighlightTiles() { _targeting.unHighlightTiles(); }
    void showAbilityResults(const std::string& text) { _display->showResults(text); }

    // Whether the entity is on either side of the running fight.
    bool isTakingPart(const Entity* entity) const { return _inCombat && _sides.isTakingPart(entity); }

    // The enemies' turn, played by EnemyTurnProcess through these.
    bool isFighting(const Character* character) const { return _sides.isStandingEnemy(character); }
    EnemyPlan planFor(Character* foe);
    bool canStrike(const Character* foe, const EnemyPlan& plan) const { return _targeting.canStrike(foe, plan); }
    void markTarget(const EnemyPlan& plan) { _targeting.markBlow(plan); }
    void enemyAct(Character* foe, const EnemyPlan& plan);
    void enemyPasses(Character* foe);
    // Takes out whoever has fallen; true when that ended the fight.
    bool settleDeaths();
    // Takes the fallen off both sides and the placed fallen off the field.
    void removeFallen(std::string& text);
    // The start of a fighter's turn: its effects tick, and what they did
    // is added to the result box; true when they did anything. The caller
    // settles deaths after.
    bool beginTurnOf(Character* fighter);
    void enemyTurnFinished(EnemyTurnProcess* turn);

    bool isInCombat() const { return _inCombat; }
    stage getStage() const { return _combatStage; }
    Character* getCurrentCharacter() const { return _currentCharacter; }
    Ability* getChosenAbility() const { return _chosenAbility; }
    int getRemainingMovement() const { return _movement.remaining(); }
    // The members still standing; the fallen are in getFallen().
    const std::list<Character*>& getParty() const { return _sides.party(); }
    const std::list<Character*>& getFallen() const { return _sides.fallen(); }
    // The round's order: the party, then the enemies, and who has acted.
    std::vector<CombatTurnList::Entry> getTurnOrder() const;
    // Members the fight put on the map beside the avatar.
    const std::vector<Character*>& getPlacedMembers() const { return _placement.placed(); }
    CombatHost* getSession() const { return _session; }
    const std::list<Character*>* getEnemies() const { return _sides.enemies(); }
    const std::list<Character*>& getTargets() const { return _targeting.targets(); }
    const std::vector<TilePos>& getHighlightedTiles() const { return _targeting.highlightedTiles(); }
    bool canAct(Character* character) const { return _sides.canAct(character); }
    CombatInputContext* getCombatInputContext() const { return _combatInputContext.get(); }
    // What the player sees of this fight (never null).
    CombatView* getView() const { return _display.get(); }
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

    // The avatar first, then the rest of its party in id order.
    std::list<Character*> partyOf(Character* avatar) const;
    Scene* currentScene() const;
    void showTurns();
    // The fighter has had its turn this round.
    void acted(Character* fighter);

    bool baseOption(const std::string& option);
    bool moveOption(const std::string& option);
    bool abilityOption(const std::string& option);
    bool targetOption(const std::string& option);
    bool enemyOption(const std::string& option);
    bool outcomeOption(const std::string& option);
    void startEnemyTurn();
    void stopEnemyTurn();
    // Wins or loses the fight when one side has nobody left; true if so.
    bool checkForEnd();
    void tryAgain();
    // Timed effects last only while the fight does.
    void endTimedEffects();
    void loadLastSave();

    std::unique_ptr<CombatView> _display;
    CombatHost* _session;
    stage _combatStage;
    bool _inCombat;
    // Borrowed: abilities belong to the resource manager, characters to Lua.
    Ability* _chosenAbility;
    Character* _currentCharacter;
    CombatMovement _movement;
    CombatSides _sides;
    CombatPlacement _placement;
    CombatTurnList _turns;
    // The enemy whose turn is being played, while the enemies act.
    Character* _enemyActing = nullptr;
    // Holds on to _sides, so it comes after it; _ending likewise to _display.
    CombatCursor _cursor;
    CombatTargeting _targeting;
    std::unique_ptr<CombatInputContext> _combatInputContext;
    // Owned by the process manager; this only keeps track of it.
    EnemyTurnProcess* _enemyTurn;
    CombatEnding _ending;
};
}
