#include "combat/CombatManager.h"

#include "combat/CombatWording.h"

#include "Log/Log.h"
#include "input/InputContext.h"
#include "input/InputManager.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "data/Party.h"
#include "combat/CombatInputContext.h"
#include "combat/EnemyPlanner.h"
#include "combat/EnemyTurnProcess.h"
#include "map/LevelMap.h"
#include "world/ProcessManager2.h"
#include "world/Scene.h"
#include "combat/CombatHost.h"
#include "sound/SoundHandler.h"
#include "util/GameManifest.h"

namespace core
{
namespace
{
LevelMap* currentLevelMap(CombatHost* session)
{
    if (!session || !session->getCurrentScene())
        return nullptr;
    return session->getCurrentScene()->getLevelMap();
}
}

std::string CombatManager::battleMusic()
{
    return GameManifest::current().soundForCue("battle");
}

CombatManager::CombatManager(CombatHost* session)
    : _display(CombatView::make(this)), _session(session), _combatStage(base), _inCombat(false), _chosenAbility(nullptr),
      _currentCharacter(nullptr), _targeting(_sides, [session] { return currentLevelMap(session); }),
      _enemyTurn(nullptr), _ending(session, _sides, *_display)
{
}

CombatManager::~CombatManager()
{
    stopEnemyTurn();
    if (_combatInputContext)
        application::InputManager::removeContext(_combatInputContext.get());
}

void CombatManager::enterCombat(std::list<Character*>* enemies)
{
    enterCombat(enemies, battleMusic());
}

void CombatManager::enterCombat(std::list<Character*>* enemies, const std::string& music)
{
    if (_inCombat)
        return;
    Log::named("combat") << "Entering Combat" << std::endl;
    _combatInputContext = std::make_unique<CombatInputContext>(this, _session);
    application::InputManager::pushContext(_combatInputContext.get());
    _display->showMenu();

    _currentCharacter = nullptr;
    _combatStage = base;

    Character* avatar = _session ? _session->getAvatar() : nullptr;
    std::list<Character*> members = partyOf(avatar);
    std::list<Character*> standing;
    for (Character* member : members)
        if (member->getHP(false) >= 1)
            standing.push_back(member);
    std::vector<TilePos> enemySquares;
    if (enemies)
        for (const Character* foe : *enemies)
            enemySquares.push_back(CombatSides::squareOf(foe));
    std::list<Character*> leftOut;
    _placement.place(currentScene(), avatar, standing, enemySquares, &leftOut);
    for (Character* member : leftOut)
        members.remove(member);
    _sides.begin(members, enemies);
    _turns.newRound();
    _enemyActing = nullptr;
    // A fight without an avatar still runs, with nobody on the player's side.
    if (avatar)
        Log::named("rules") << "character stats" << avatar->printStats() << std::endl;
    else
        Log::named("rules") << "character stats: no avatar" << std::endl;
    Log::named("rules") << " Num enemies: " << (enemies ? enemies->size() : 0) << std::endl;
    _ending.begin(music);
    setUpBase();
    if (avatar)
        _cursor.place(CombatSides::squareOf(avatar), currentLevelMap(_session), getHighlightedTiles());
    _inCombat = true;
    // A party that is down already has lost before anybody moves; a fight
    // with nobody on either side (a script's test) waits for its menu.
    if (_sides.party().empty() && !_sides.fallen().empty())
        setUpLose();
}

std::list<Character*> CombatManager::partyOf(Character* avatar) const
{
    std::list<Character*> members;
    if (!avatar)
        return members;
    members.push_back(avatar);
    Party* party = avatar->getParty();
    if (!party)
        return members;
    for (const auto& entry : party->getMembers())
    {
        // Recruits count too, though the scene they were met in took them
        // out (kill()) when they joined.
        Character* member = dynamic_cast<Character*>(entry.second);
        if (member && member != avatar)
            members.push_back(member);
    }
    return members;
}

Scene* CombatManager::currentScene() const
{
    return _session ? _session->getCurrentScene() : nullptr;
}

std::vector<CombatTurnList::Entry> CombatManager::getTurnOrder() const
{
    const Character* current = nullptr;
    if (_combatStage == enemy)
        current = _enemyActing;
    else if (_combatStage == move || _combatStage == ability || _combatStage == target)
        current = _currentCharacter;
    return _turns.order(_sides, current);
}

void CombatManager::showTurns()
{
    if (_combatStage == win || _combatStage == lose)
        return;
    _display->showTurnList(CombatTurnList::lines(getTurnOrder()));
}

void CombatManager::acted(Character* fighter)
{
    _turns.markActed(fighter);
    showTurns();
}

void CombatManager::leaveCombat()
{
    if (!_inCombat)
        return;
    Log::named("combat") << "Leaving Combat" << std::endl;
    stopEnemyTurn();
    unHighlightTiles();
    endTimedEffects();
    _cursor.hide(currentLevelMap(_session), {});
    application::InputManager::removeContext(_combatInputContext.get());
    _display->hide();
    _placement.withdraw(currentScene());
    _ending.restoreSceneMusic();
    _inCombat = false;
}

void CombatManager::setUpBase()
{
    std::vector<std::string> options{"pass_turn"};
    if (!_sides.enemiesLeft())
        options.push_back("exit_combat");
    _display->setMenu("choose a character or pass the turn", options);
    showTurns();
}

void CombatManager::setUpMove()
{
    _movement.begin(_currentCharacter);
    _display->setMenu("move character", {"back", "finish"});
    showTurns();
}

void CombatManager::setUpAbility()
{
    std::vector<std::string> options{"back", "none"};
    if (_currentCharacter)
    {
        for (const std::string& name : _currentCharacter->getAllAbilities())
            if (_currentCharacter->isAbilityEnabled(name))
                options.push_back(name);
    }
    _display->setMenu("choose ability", options);
}

void CombatManager::setUpTarget()
{
    _targeting.clearTargets();
    if (_chosenAbility && _currentCharacter)
        _targeting.begin(*_chosenAbility, *_currentCharacter);
    _display->setMenu("choose targets", {"back", "finish"});
}

void CombatManager::setUpEnemy()
{
    // "continue" is offered once every enemy has acted.
    _display->setMenu("enemy turn", {});
    showTurns();
}

void CombatManager::setUpWin()
{
    _combatStage = win;
    stopEnemyTurn();
    _ending.showVictory();
}

void CombatManager::setUpLose()
{
    _combatStage = lose;
    stopEnemyTurn();
    _ending.showDefeat();
}

bool CombatManager::combatMenuClick(const std::string& option)
{
    switch (_combatStage)
    {
    case base:
        return baseOption(option);
    case move:
        return moveOption(option);
    case ability:
        return abilityOption(option);
    case target:
        return targetOption(option);
    case enemy:
        return enemyOption(option);
    case win:
    case lose:
        return outcomeOption(option);
    }
    return false;
}

bool CombatManager::baseOption(const std::string& option)
{
    if (option == "pass_turn")
    {
        // Members who did not act have let their turn go.
        for (Character* member : _sides.party())
            _turns.markActed(member);
        _combatStage = enemy;
        setUpEnemy();
        startEnemyTurn();
    }
    else if (option == "exit_combat" && !_sides.enemiesLeft())
    {
        leaveCombat();
    }
    return true;
}

bool CombatManager::moveOption(const std::string& option)
{
    if (option == "finish")
    {
        _combatStage = ability;
        _movement.finish();
        setUpAbility();
    }
    else if (option == "back")
    {
        _combatStage = base;
        _movement.putBack(_currentCharacter);
        setUpBase();
    }
    return true;
}

bool CombatManager::abilityOption(const std::string& option)
{
    if (option == "back")
    {
        _chosenAbility = nullptr;
        _combatStage = move;
        _movement.putBack(_currentCharacter);
        setUpMove();
    }
    else if (option == "none")
    {
        _combatStage = base;
        _sides.setCanAct(_currentCharacter, false);
        _turns.markActed(_currentCharacter);
        setUpBase();
    }
    else
    {
        Ability* chosen = _currentCharacter ? _currentCharacter->getAbility(option) : nullptr;
        // An option text that names no ability of the character must not
        // lead to aiming nothing.
        if (!chosen)
        {
            Log::named("rules") << "CombatManager::combatMenuClick - No ability " << option << std::endl;
            return true;
        }
        _chosenAbility = chosen;
        _combatStage = target;
        setUpTarget();
    }
    return true;
}

bool CombatManager::targetOption(const std::string& option)
{
    if (option == "back")
    {
        unHighlightTiles();
        _targeting.clearTargets();
        _combatStage = ability;
        setUpAbility();
    }
    else if (option == "finish")
    {
        _combatStage = base;
        finalizeAction();
        _targeting.clearTargets();
        if (_combatStage == base)
            setUpBase();
    }
    return true;
}

bool CombatManager::enemyOption(const std::string& option)
{
    if (option == "continue" && !_enemyTurn)
    {
        _turns.newRound();
        _enemyActing = nullptr;
        _combatStage = base;
        _sides.setPartyCanAct(true);
        setUpBase();
        bool ticked = false;
        const std::list<Character*> members = _sides.party();
        for (Character* member : members)
            ticked = beginTurnOf(member) || ticked;
        // Only what the effects did can have felled anybody here.
        if (ticked)
            settleDeaths();
    }
    return true;
}

bool CombatManager::outcomeOption(const std::string& option)
{
    if (_combatStage == win && option == "exit_combat")
        leaveCombat();
    else if (_combatStage == lose && option == "try_again")
        tryAgain();
    else if (_combatStage == lose && option == LOAD_LAST_SAVE)
        loadLastSave();
    return true;
}

bool CombatManager::keyPress(int key, int action)
{
    if (key == application::KEY_ESC)
        return false;
    if (_combatStage == base || _combatStage == ability || _combatStage == target)
    {
        LevelMap* map = currentLevelMap(_session);
        if (_cursor.keyPress(key, action, map, getHighlightedTiles()) != CombatCursor::CHOSEN)
            return true;
        tileClick(_cursor.at().row, _cursor.at().col);
        // Aiming lights and unlights squares the cursor may stand on.
        _cursor.place(_cursor.at(), map, getHighlightedTiles());
        return true;
    }
    if (_combatStage != move)
        return true;
    return _movement.keyPress(_currentCharacter, key, action);
}

bool CombatManager::tileClick(int row, int col)
{
    Log::named("rules") << "entered choose target" << std::endl;
    Character* clicked = _sides.characterAt({row, col});
    switch (_combatStage)
    {
    case base:
        if (!clicked)
            return false;
        if (_sides.canAct(clicked))
        {
            _currentCharacter = clicked;
            _combatStage = move;
            setUpMove();
        }
        return true;
    case ability:
        // Only the player's own side is the player's to command.
        if (!clicked || !_sides.canAct(clicked))
            return false;
        _currentCharacter = clicked;
        setUpAbility();
        return true;
    case target:
        // Nothing to aim with is not the click's fault: it is taken all the same.
        return !_chosenAbility || !_currentCharacter ||
               _targeting.click(*_chosenAbility, *_currentCharacter, {row, col});
    default:
        return false;
    }
}

const char* CombatManager::stageName(stage value)
{
    static const char* const NAMES[] = {"base", "move", "ability", "target", "enemy", "lose", "win"};
    const int index = static_cast<int>(value);
    return index >= 0 && index <= static_cast<int>(win) ? NAMES[index] : "unknown";
}

void CombatManager::finalizeAction()
{
    resolveAbilities();
    unHighlightTiles();
    _sides.setCanAct(_currentCharacter, false);
    _turns.markActed(_currentCharacter);
}

void CombatManager::resolveAbilities()
{
    if (!_chosenAbility)
        return;
    Log::named("rules") << _chosenAbility->getName() << " " << _chosenAbility->getTargetType() << std::endl;
    resolve(_chosenAbility, _currentCharacter, _targeting.targets(), "");
}

void CombatManager::resolve(Ability* used, Character* user, const std::list<Character*>& targets,
                            const std::string& heading)
{
    std::vector<Ability::Strike> strikes;
    // The rolls, with ids, are for the log; the player reads sentences.
    Log::named("rules") << heading << used->resolveAttack(targets, user, &strikes) << std::endl;
    std::string text = CombatWording::uses(user, *used, targets) + "\n" + CombatWording::strikes(user, *used, strikes);
    removeFallen(text);
    showAbilityResults(text);
    checkForEnd();
}

void CombatManager::removeFallen(std::string& text)
{
    _sides.removeFallen(text);
    _placement.withdrawFallen(_sides.fallen());
}

bool CombatManager::settleDeaths()
{
    std::string text;
    removeFallen(text);
    if (!text.empty())
        showAbilityResults(text);
    return checkForEnd();
}

bool CombatManager::beginTurnOf(Character* fighter)
{
    if (!fighter)
        return false;
    const std::vector<std::string> lines = fighter->tickEffects();
    for (const std::string& line : lines)
        _display->addResultLine(line);
    // Whoever the effects felled is taken out under those lines, so that
    // the box tells why; settling later then finds nobody left to show.
    std::string fallen;
    if (!lines.empty())
        removeFallen(fallen);
    if (!fallen.empty())
        _display->addResultLine(fallen);
    return !lines.empty();
}

void CombatManager::endTimedEffects()
{
    for (Character* member : _sides.party())
        if (member)
            member->endTimedEffects();
    if (Party* party = _session ? _session->getCurrentParty() : nullptr)
        for (const auto& member : party->getMembers())
            if (Character* character = dynamic_cast<Character*>(member.second))
                character->endTimedEffects();
    if (const std::list<Character*>* enemies = _sides.enemies())
        for (Character* foe : *enemies)
            if (foe)
                foe->endTimedEffects();
}

bool CombatManager::checkForEnd()
{
    if (!_inCombat || _combatStage == win || _combatStage == lose)
        return _combatStage == win || _combatStage == lose;
    if (!_sides.enemiesLeft())
    {
        setUpWin();
        return true;
    }
    if (_sides.party().empty())
    {
        setUpLose();
        return true;
    }
    return false;
}

void CombatManager::tryAgain()
{
    leaveCombat();
    _ending.restoreParty();
}

void CombatManager::loadLastSave()
{
    // Saves are not loaded in a fight, so the fight ends first; should the
    // load be refused, the party still stands as the fight found it.
    tryAgain();
    _ending.loadLastSave();
}

// ---- The enemies' turn ----

void CombatManager::startEnemyTurn()
{
    stopEnemyTurn();
    std::vector<Character*> queue;
    if (const std::list<Character*>* enemies = _sides.enemies())
        queue.assign(enemies->begin(), enemies->end());
    if (queue.empty())
    {
        _display->setMenu("enemy turn", {"continue"});
        return;
    }
    auto turn = std::make_unique<EnemyTurnProcess>(this, queue);
    _enemyTurn = turn.get();
    ProcessManager2::getProcessManager2()->addProcess(std::move(turn));
}

void CombatManager::stopEnemyTurn()
{
    if (_enemyTurn)
        _enemyTurn->abandon();
    _enemyTurn = nullptr;
}

void CombatManager::enemyTurnFinished(EnemyTurnProcess* turn)
{
    if (turn != _enemyTurn)
        return;
    _enemyTurn = nullptr;
    _enemyActing = nullptr;
    unHighlightTiles();
    if (_combatStage == enemy)
        _display->setMenu("enemy turn", {"continue"});
}

EnemyPlan CombatManager::planFor(Character* foe)
{
    Scene* scene = _session ? _session->getCurrentScene() : nullptr;
    EnemyPlanner planner(currentLevelMap(_session), scene ? &scene->getEntities() : nullptr);
    _enemyActing = foe;
    showTurns();
    EnemyPlan plan = planner.plan(foe, _sides.party());
    // A badly hurt coward that walks off without striking is running away.
    const bool hurt = foe && foe->getHP(false) * 4 < foe->getHP(true);
    if (hurt && foe->getBehaviour() == "coward" && !plan.ability && !plan.steps.empty())
        sound::SoundHandler::sendCue(FLEE_CUE, 0.0);
    return plan;
}

void CombatManager::enemyAct(Character* foe, const EnemyPlan& plan)
{
    unHighlightTiles();
    if (!canStrike(foe, plan))
    {
        enemyPasses(foe);
        return;
    }
    Log::named("rules") << foe->getId() << " uses " << plan.ability->getName() << std::endl;
    resolve(plan.ability, foe, _targeting.struckBy(plan),
            foe->getName() + " uses " + plan.ability->getName() + " on " + plan.target->getName() + ":\n");
    acted(foe);
}

void CombatManager::enemyPasses(Character* foe)
{
    if (foe)
        showAbilityResults(CombatWording::waits(foe));
    acted(foe);
}
}
