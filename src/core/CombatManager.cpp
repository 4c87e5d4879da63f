#include "core/CombatManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "Log/Log.h"
#include "application/InputContext.h"
#include "application/InputManager.h"
#include "core/Ability.h"
#include "core/Character.h"
#include "core/CombatInputContext.h"
#include "core/EnemyPlanner.h"
#include "core/EnemyTurnProcess.h"
#include "core/LevelMap/LevelMap.h"
#include "core/LuaInterface.h"
#include "core/ProcessManager2.h"
#include "core/SaveGameManager.h"
#include "core/Scene.h"
#include "core/ScriptInstance.h"
#include "core/Session.h"
#include "gui/CombatMenu.h"
#include "gui/GUITextBox.h"
#include "sound/SoundHandler.h"

namespace core
{
namespace
{
// The result box is written in from its edges like every other box.
const float RESULT_PADDING = 0.05f;

LevelMap* currentLevelMap(Session* session)
{
    if (!session || !session->getCurrentScene())
        return nullptr;
    return session->getCurrentScene()->getLevelMap();
}

bool moveDirectionOf(int key, Direction& direction)
{
    switch (key)
    {
    case application::KEY_W:
        direction = UP;
        return true;
    case application::KEY_A:
        direction = LEFT;
        return true;
    case application::KEY_S:
        direction = DOWN;
        return true;
    case application::KEY_D:
        direction = RIGHT;
        return true;
    default:
        return false;
    }
}
}

const char* const CombatManager::BATTLE_MUSIC = "themeBattle";
const char* const CombatManager::LOAD_LAST_SAVE = "load last save";

CombatManager::CombatManager(Session* session)
    : _combatMenu(nullptr), _textDisplay(nullptr), _session(session), _combatStage(base), _inCombat(false),
      _chosenAbility(nullptr), _currentCharacter(nullptr), remainingMovement(0), characterRow(0), characterCol(0),
      _enemies(nullptr), _enemyTurn(nullptr), _battleMusicPlaying(false)
{
    _combatMenu = new gui::CombatMenu("COMBAT", this);
    _combatMenu->setHeight(0.5f);
    _combatMenu->hide();
    _textDisplay = new gui::GUITextBox("");
    _textDisplay->setWordWrap(true);
    _textDisplay->setPadding(RESULT_PADDING);
    _textDisplay->setPosition(0.0f, 0.875f);
    _textDisplay->setWidth(2.0f);
    _textDisplay->setHeight(0.25f);
    // A blow and its consequences can run to several lines.
    _textDisplay->setGrowToFit(true);
    _textDisplay->hide();
}

CombatManager::~CombatManager()
{
    stopEnemyTurn();
    _combatMenu->destroy();
    _textDisplay->destroy();
    if (_combatInputContext)
        application::InputManager::removeContext(_combatInputContext.get());
}

void CombatManager::enterCombat(std::list<Character*>* enemies)
{
    enterCombat(enemies, BATTLE_MUSIC);
}

void CombatManager::enterCombat(std::list<Character*>* enemies, const std::string& music)
{
    if (_inCombat)
        return;
    Log::named("tibbet") << "Entering Combat" << std::endl;
    _combatInputContext.reset(new CombatInputContext(this, _session));
    application::InputManager::pushContext(_combatInputContext.get());
    _combatMenu->show();

    _currentCharacter = nullptr;
    _combatStage = base;

    _party.clear();
    Character* avatar = _session ? _session->getAvatar() : nullptr;
    if (avatar)
    {
        _party.push_back(avatar);
        setCanAct(avatar, true);
        Log::named("oskel") << "character stats" << avatar->printStats() << std::endl;
    }
    else
    {
        // A fight without an avatar still runs, with nobody on the player's side.
        Log::named("oskel") << "character stats: no avatar" << std::endl;
    }
    _snapshot.take(_party);

    _enemies = enemies;
    Log::named("oskel") << " Num enemies: " << (_enemies ? _enemies->size() : 0) << std::endl;
    // The scene's own music comes back when the fight is over.
    _sceneMusic = sound::SoundHandler::getLastMusicRequest();
    _battleMusicPlaying = !music.empty();
    if (_battleMusicPlaying)
        sound::SoundHandler::sendRequest(music, 0.0);
    setUpBase();
    _inCombat = true;
}

void CombatManager::leaveCombat()
{
    if (!_inCombat)
        return;
    Log::named("tibbet") << "Leaving Combat" << std::endl;
    stopEnemyTurn();
    unHighlightTiles();
    application::InputManager::removeContext(_combatInputContext.get());
    _combatMenu->hide();
    _textDisplay->hide();
    restoreSceneMusic();
    _inCombat = false;
}

void CombatManager::restoreSceneMusic()
{
    if (_battleMusicPlaying && !_sceneMusic.empty())
        sound::SoundHandler::sendRequest(_sceneMusic, 0.0);
    _battleMusicPlaying = false;
}

void CombatManager::setMenu(const std::string& title, const std::vector<std::string>& options)
{
    _combatMenu->update(options, title);
}

void CombatManager::setUpBase()
{
    std::vector<std::string> options{"pass_turn"};
    if (!_enemies || _enemies->empty())
        options.push_back("exit_combat");
    setMenu("choose a character or pass the turn", options);
}

void CombatManager::setUpMove()
{
    const TilePos start = gridPosition(_currentCharacter);
    characterRow = start.row;
    characterCol = start.col;
    remainingMovement = _currentCharacter ? _currentCharacter->getMove() : 0;
    setMenu("move character", {"back", "finish"});
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
    setMenu("choose ability", options);
}

void CombatManager::setUpTarget()
{
    _targets.clear();
    setMenu("choose targets", {"back", "finish"});
}

void CombatManager::setUpEnemy()
{
    // "continue" is offered once every enemy has acted.
    setMenu("enemy turn", {});
}

void CombatManager::setUpWin()
{
    _combatStage = win;
    stopEnemyTurn();
    setMenu("victory", {"exit_combat"});
    showAbilityResults(_textDisplay->getText() + "\nVictory! Every enemy is beaten.");
    restoreSceneMusic();
}

void CombatManager::setUpLose()
{
    _combatStage = lose;
    stopEnemyTurn();
    std::vector<std::string> options{"try_again"};
    if (SaveGameManager* saves = _session ? _session->getSaveGames() : nullptr)
        if (saves->hasSaves())
            options.push_back(LOAD_LAST_SAVE);
    setMenu("defeat", options);
    showAbilityResults(_textDisplay->getText() +
                       "\nDefeat! Nobody is left standing. Try again from where the fight began.");
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
        if (option == "exit_combat")
            leaveCombat();
        return true;
    case lose:
        if (option == "try_again")
            tryAgain();
        else if (option == LOAD_LAST_SAVE)
            loadLastSave();
        return true;
    }
    return false;
}

bool CombatManager::baseOption(const std::string& option)
{
    if (option == "pass_turn")
    {
        _combatStage = enemy;
        setUpEnemy();
        startEnemyTurn();
    }
    else if (option == "exit_combat" && (!_enemies || _enemies->empty()))
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
        remainingMovement = 0;
        setUpAbility();
    }
    else if (option == "back")
    {
        _combatStage = base;
        returnToStartSquare();
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
        returnToStartSquare();
        setUpMove();
    }
    else if (option == "none")
    {
        _combatStage = base;
        setUpBase();
        setCanAct(_currentCharacter, false);
    }
    else
    {
        Ability* chosen = _currentCharacter ? _currentCharacter->getAbility(option) : nullptr;
        // An option text that names no ability of the character must not
        // lead to aiming nothing.
        if (!chosen)
        {
            Log::named("oskel") << "CombatManager::combatMenuClick - No ability " << option << std::endl;
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
        _targets.clear();
        _combatStage = ability;
        setUpAbility();
    }
    else if (option == "finish")
    {
        _combatStage = base;
        finalizeAction();
        _targets.clear();
        if (_combatStage == base)
            setUpBase();
    }
    return true;
}

bool CombatManager::enemyOption(const std::string& option)
{
    if (option == "continue" && !_enemyTurn)
    {
        _combatStage = base;
        for (Character* member : _party)
            setCanAct(member, true);
        setUpBase();
    }
    return true;
}

void CombatManager::returnToStartSquare()
{
    if (_currentCharacter)
        _currentCharacter->setPosition(characterRow, characterCol);
}

bool CombatManager::keyPress(int key, int action)
{
    if (key == application::KEY_ESC)
        return false;
    if (_combatStage != move)
        return true;
    Direction direction = UP;
    if (!moveDirectionOf(key, direction))
        return false;
    if (remainingMovement > 0 && action == application::KEYHIT && _currentCharacter)
    {
        // A step into a wall still costs its point.
        _currentCharacter->attemptMoveDirection(direction, false);
        _currentCharacter->checkTriggers();
        --remainingMovement;
    }
    return true;
}

Character* CombatManager::characterAt(int row, int col) const
{
    Character* found = nullptr;
    const TilePos square{row, col};
    for (Character* member : _party)
        if (member && gridPosition(member) == square)
            found = member;
    if (_enemies)
        for (Character* foe : *_enemies)
            if (foe && gridPosition(foe) == square)
                found = foe;
    return found;
}

bool CombatManager::tileClick(int row, int col)
{
    Log::named("oskel") << "entered choose target" << std::endl;
    Character* clicked = characterAt(row, col);
    switch (_combatStage)
    {
    case base:
        if (!clicked)
            return false;
        if (canAct(clicked))
        {
            _currentCharacter = clicked;
            _combatStage = move;
            setUpMove();
        }
        return true;
    case ability:
        // Only the player's own side is the player's to command.
        if (!clicked || !canAct(clicked))
            return false;
        _currentCharacter = clicked;
        setUpAbility();
        return true;
    case target:
        return targetClick(row, col, clicked);
    default:
        return false;
    }
}

bool CombatManager::targetClick(int row, int col, Character* clicked)
{
    if (!_chosenAbility || !_currentCharacter)
        return true;
    const TilePos user = gridPosition(_currentCharacter);
    const int range = _chosenAbility->getRange();
    const int radius = _chosenAbility->getRadius();
    const int dist = getCombatDistance(row, col, user.row, user.col);
    const std::string& type = _chosenAbility->getTargetType();

    if (type == "target" && dist < range)
        return clickSingleTarget(clicked, radius);
    if (type == "ally" && dist < range)
        return clickAlly(clicked);
    if (type == "self")
    {
        Log::named("oskel") << "self" << std::endl;
        return true;
    }
    if (type == "burst" && dist < range)
        return clickBurst(row, col, radius);
    if (type == "line")
        return clickLine(row, col, range, radius);
    Log::named("oskel") << "ability target type not recognized" << std::endl;
    return true;
}

bool CombatManager::clickSingleTarget(Character* clicked, int radius)
{
    Log::named("oskel") << "entered target" << std::endl;
    if (!clicked)
        return false;
    if (static_cast<int>(_targets.size()) < radius)
    {
        _targets.push_back(clicked);
        const TilePos square = gridPosition(clicked);
        highlightTile(square.row, square.col);
    }
    return true;
}

bool CombatManager::clickAlly(Character* clicked)
{
    Log::named("oskel") << "ally" << std::endl;
    if (!clicked)
        return false;
    const TilePos square = gridPosition(clicked);
    for (Character* member : _party)
    {
        if (member && member->getId() == clicked->getId())
        {
            _targets.push_back(clicked);
            highlightTile(square.row, square.col);
        }
    }
    return true;
}

std::list<Character*> CombatManager::charactersNear(int row, int col, int radius) const
{
    std::list<Character*> near;
    auto collect = [&](const std::list<Character*>& side)
    {
        for (Character* c : side)
        {
            const TilePos at = gridPosition(c);
            if (c && getCombatDistance(at.row, at.col, row, col) < radius)
                near.push_back(c);
        }
    };
    collect(_party);
    if (_enemies)
        collect(*_enemies);
    return near;
}

bool CombatManager::clickBurst(int row, int col, int radius)
{
    Log::named("oskel") << "entered burst" << std::endl;
    if (!_highlightedTiles.empty())
        return false;
    const std::list<Character*> near = charactersNear(row, col, radius);
    _targets.insert(_targets.end(), near.begin(), near.end());
    for (int i = -radius; i <= radius; ++i)
        for (int j = -radius; j <= radius; ++j)
            if (getCombatDistance(row + i, col + j, row, col) <= radius)
                highlightTile(row + i, col + j);
    return true;
}

bool CombatManager::clickLine(int row, int col, int range, int radius)
{
    if (!_highlightedTiles.empty())
        return false;
    const TilePos user = gridPosition(_currentCharacter);
    if (user.row == row && user.col == col)
        return true;
    const int dr = std::abs(user.row - row);
    const int dc = std::abs(user.col - col);
    const int sr = user.row > row ? -1 : 1;
    const int sc = user.col > col ? -1 : 1;
    const double length = std::sqrt(static_cast<double>(dr * dr + dc * dc));
    const double halfWidth = 0.5 + radius / 2.0;
    for (int i = 0; i < radius + range; ++i)
    {
        for (int j = 0; j < radius + range; ++j)
        {
            if (i == 0 && j == 0)
                continue;
            if (std::abs(dc * i - dr * j) / length <= halfWidth)
                highlightTile(user.row + sr * i, user.col + sc * j);
        }
    }
    return true;
}

const char* CombatManager::stageName(stage value)
{
    static const char* const NAMES[] = {"base", "move", "ability", "target", "enemy", "lose", "win"};
    const int index = static_cast<int>(value);
    return index >= 0 && index <= static_cast<int>(win) ? NAMES[index] : "unknown";
}

int CombatManager::getCombatDistance(int row1, int col1, int row2, int col2)
{
    const int dr = std::abs(row1 - row2);
    const int dc = std::abs(col1 - col2);
    return dr + dc - std::min(dr, dc) / 2;
}

int CombatManager::getCombatDistance(const Character* character1, const Character* character2)
{
    const TilePos a = gridPosition(character1);
    const TilePos b = gridPosition(character2);
    return getCombatDistance(a.row, a.col, b.row, b.col);
}

TilePos CombatManager::gridPosition(const Character* character)
{
    if (!character)
        return TilePos{-1, -1};
    return TilePos::of(character->getPosition());
}

void CombatManager::highlightTile(int row, int col)
{
    const TilePos square{row, col};
    if (std::find(_highlightedTiles.begin(), _highlightedTiles.end(), square) != _highlightedTiles.end())
        return;
    _highlightedTiles.push_back(square);
    if (LevelMap* map = currentLevelMap(_session))
        map->highlightTile(row, col);
}

void CombatManager::unHighlightTiles()
{
    Log::named("oskel") << "num highlighted tiles: " << _highlightedTiles.size() << std::endl;
    LevelMap* map = currentLevelMap(_session);
    for (const TilePos& square : _highlightedTiles)
    {
        Log::named("oskel") << "unhighlighting tile: " << square.row << " " << square.col << std::endl;
        if (map)
            map->unHighlightTile(square.row, square.col);
    }
    _highlightedTiles.clear();
}

void CombatManager::finalizeAction()
{
    resolveAbilities();
    unHighlightTiles();
    setCanAct(_currentCharacter, false);
}

void CombatManager::resolveAbilities()
{
    if (!_chosenAbility)
        return;
    Log::named("oskel") << _chosenAbility->getName() << " " << _chosenAbility->getTargetType() << std::endl;
    resolve(_chosenAbility, _currentCharacter, _targets, "");
}

void CombatManager::resolve(Ability* used, Character* user, const std::list<Character*>& targets,
                            const std::string& heading)
{
    std::string text = heading + used->resolveAttack(targets, user);
    Log::named("oskel") << "set output" << std::endl;
    Log::named("oskel") << "shown output" << std::endl;
    removeFallen(text);
    removeDeadEnemies(text);
    showAbilityResults(text);
    checkForEnd();
}

void CombatManager::removeFallen(std::string& text)
{
    for (auto it = _party.begin(); it != _party.end();)
    {
        Character* member = *it;
        if (member && member->getHP(false) < 1)
        {
            // The player's side falls but is not killed: the avatar must
            // still stand in the scene when the fight is tried again.
            text += "Character " + member->getName() + " has fallen!";
            setCanAct(member, false);
            it = _party.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

void CombatManager::removeDeadEnemies(std::string& text)
{
    if (!_enemies)
        return;
    std::vector<Character*> dead;
    for (auto it = _enemies->begin(); it != _enemies->end();)
    {
        Character* foe = *it;
        if (foe && foe->getHP(false) < 1)
        {
            text += "Character " + foe->getName() + "died!";
            foe->kill();
            dead.push_back(foe);
            it = _enemies->erase(it);
        }
        else
        {
            ++it;
        }
    }
    // Defeat scripts run once each, after the lists are settled, so that a
    // script may look at the fight as it now stands.
    for (Character* foe : dead)
    {
        if (!foe->getDefeatScript())
            continue;
        LuaInterface::registerAlias(foe->getLuaRef(), "obj");
        foe->getDefeatScript()->run();
        LuaInterface::clearAlias("obj");
    }
}

bool CombatManager::settleDeaths()
{
    std::string text;
    removeFallen(text);
    removeDeadEnemies(text);
    if (!text.empty())
        showAbilityResults(text);
    return checkForEnd();
}

bool CombatManager::checkForEnd()
{
    if (!_inCombat || _combatStage == win || _combatStage == lose)
        return _combatStage == win || _combatStage == lose;
    if (!_enemies || _enemies->empty())
    {
        setUpWin();
        return true;
    }
    if (_party.empty())
    {
        setUpLose();
        return true;
    }
    return false;
}

void CombatManager::tryAgain()
{
    leaveCombat();
    _snapshot.restore();
    // A fallen party member can act again in the next fight.
    for (Character* member : _party)
        setCanAct(member, true);
    if (Character* avatar = _session ? _session->getAvatar() : nullptr)
        setCanAct(avatar, true);
}

void CombatManager::loadLastSave()
{
    // Saves are not loaded in a fight, so the fight ends first; should the
    // load be refused, the party still stands as the fight found it.
    tryAgain();
    if (SaveGameManager* saves = _session ? _session->getSaveGames() : nullptr)
        saves->loadLatest();
}

void CombatManager::showAbilityResults(const std::string& text)
{
    _textDisplay->show();
    _textDisplay->setText(text);
}

bool CombatManager::canAct(Character* character) const
{
    if (!character)
        return false;
    auto found = _canAct.find(character->getName());
    return found != _canAct.end() && found->second;
}

void CombatManager::setCanAct(Character* character, bool canAct)
{
    if (character)
        _canAct[character->getName()] = canAct;
}

// ---- The enemies' turn ----

void CombatManager::startEnemyTurn()
{
    stopEnemyTurn();
    std::vector<Character*> queue;
    if (_enemies)
        queue.assign(_enemies->begin(), _enemies->end());
    if (queue.empty())
    {
        setMenu("enemy turn", {"continue"});
        return;
    }
    _enemyTurn = new EnemyTurnProcess(this, queue);
    ProcessManager2::getProcessManager2()->addProcess(_enemyTurn);
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
    unHighlightTiles();
    if (_combatStage == enemy)
        setMenu("enemy turn", {"continue"});
}

bool CombatManager::isTakingPart(const Entity* entity) const
{
    if (!_inCombat || !entity)
        return false;
    const auto same = [entity](const Character* c) { return static_cast<const Entity*>(c) == entity; };
    return std::any_of(_party.begin(), _party.end(), same) ||
           (_enemies && std::any_of(_enemies->begin(), _enemies->end(), same));
}

bool CombatManager::isFighting(const Character* character) const
{
    return character && _enemies && std::find(_enemies->begin(), _enemies->end(), character) != _enemies->end() &&
           character->getHP(false) >= 1;
}

EnemyPlan CombatManager::planFor(Character* foe)
{
    Scene* scene = _session ? _session->getCurrentScene() : nullptr;
    EnemyPlanner planner(currentLevelMap(_session), scene ? &scene->getEntities() : nullptr);
    return planner.plan(foe, _party);
}

bool CombatManager::canStrike(const Character* foe, const EnemyPlan& plan) const
{
    if (!foe || !plan.ability || !plan.target || std::find(_party.begin(), _party.end(), plan.target) == _party.end())
        return false;
    return EnemyPlanner::reaches(*plan.ability, TilePos::of(foe->getPosition()),
                                 TilePos::of(plan.target->getPosition()));
}

void CombatManager::markTarget(const EnemyPlan& plan)
{
    unHighlightTiles();
    if (!plan.ability || !plan.target)
        return;
    const TilePos centre = gridPosition(plan.target);
    const int radius = plan.ability->getTargetType() == "burst" ? plan.ability->getRadius() : 0;
    for (int i = -radius; i <= radius; ++i)
        for (int j = -radius; j <= radius; ++j)
            if (getCombatDistance(centre.row + i, centre.col + j, centre.row, centre.col) <= radius)
                highlightTile(centre.row + i, centre.col + j);
}

void CombatManager::enemyAct(Character* foe, const EnemyPlan& plan)
{
    unHighlightTiles();
    if (!canStrike(foe, plan))
    {
        enemyPasses(foe);
        return;
    }
    const TilePos centre = gridPosition(plan.target);
    const std::list<Character*> targets = plan.ability->getTargetType() == "burst"
                                              ? charactersNear(centre.row, centre.col, plan.ability->getRadius())
                                              : std::list<Character*>{plan.target};
    Log::named("oskel") << foe->getId() << " uses " << plan.ability->getName() << std::endl;
    resolve(plan.ability, foe, targets,
            foe->getName() + " uses " + plan.ability->getName() + " on " + plan.target->getName() + ":\n");
}

void CombatManager::enemyPasses(Character* foe)
{
    if (foe)
        showAbilityResults(foe->getName() + " waits.");
}
}
