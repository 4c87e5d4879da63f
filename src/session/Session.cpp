#include "session/Session.h"

#include <utility>

#include "Log/Log.h"
#include "animation/TAAnimationManager.h"
#include "input/InputManager.h"
#include "data/Character.h"
#include "dialog/DialogManager.h"
#include "session/LevelInputContext.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"
#include "script/LuaInterface.h"
#include "data/Party.h"
#include "session/EndingView.h"
#include "session/Quest.h"
#include "session/QuestManager.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "script/ScriptInstance.h"
#include "event/EventManager.h"
#include "graphics/TGCamera.h"
#include "graphics/TGSprite.h"
#include "util/NamedXMLDocument.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace core
{
namespace
{
const double ANIMATION_STEP_SECONDS = 0.01666;
}

Session::Session()
    : _sm(nullptr), _cam(nullptr), _nextRow(0), _nextCol(0), _party(*this), _console(*this), _combatManager(this),
      _dialogManager(std::make_unique<DialogManager>(this)),
      _levelInputContext(std::make_unique<LevelInputContext>(this)), _luaRef(LUA_NOREF)
{
    application::InputManager::pushContext(_levelInputContext.get());
}

Session::~Session()
{
    // Scripts may still hold "s": their calls now fail with an error line.
    LuaInterface::releaseObject(_luaRef);
    for (Scene* scene : {_currentScene.get(), _nextScene.get()})
        if (scene)
            scene->detachEntities();
    application::InputManager::removeContext(_levelInputContext.get());
    _console.getScreenStack().clearScreens();
}

std::unique_ptr<Session> Session::buildFromXMLFile(const std::string& fileName)
{
    NamedXMLDocument document(fileName);
    const std::string path = WORKING_DIRECTORY + "/" + fileName;
    if (GameFiles::loadXML(document, path) != tinyxml2::XML_SUCCESS)
    {
        Log::error() << "Session::buildFromXMLFile - Failed to load or parse file " << fileName << std::endl;
        return nullptr;
    }
    std::unique_ptr<Session> session = std::make_unique<Session>();
    LuaInterface::pushObjectOfClass("Session", session.get());
    session->setLuaRef(LuaInterface::getReference());
    LuaInterface::registerAlias(session->getLuaRef(), "s");
    session->readSessionElements(document.FirstChildElement());
    return session;
}

void Session::readSessionElements(tinyxml2::XMLElement* first)
{
    for (tinyxml2::XMLElement* element = first; element; element = element->NextSiblingElement())
    {
        if (std::string(element->Name()) != "party")
            continue;
        std::unique_ptr<Party> party = Party::buildFromXMLElement(element);
        if (!party)
            continue;
        // The last party is the session's. The list of an earlier one goes;
        // its characters stay in the store, known to scripts by their ids.
        setCurrentParty(std::move(party));
    }
}

void Session::input()
{
}

void Session::update()
{
    input();
    if (_console.isOpen())
        prompt();
    if (_currentScene)
    {
        updateEntities();
        tamsyAnimation::AnimationManager::getInstance()->update(ANIMATION_STEP_SECONDS);
        noteDeparted();
        _currentScene->cull();
    }
    if (_nextScene && _combatManager.isInCombat())
    {
        // A fighter stepping on a door, or a script starting a fight after
        // asking for a scene, would otherwise carry the fight into another
        // scene, where the enemies it left cannot be reached.
        Log::warn() << "Session::update - " << _nextScene->getId() << " is not entered during a fight" << std::endl;
        setNextScene(std::unique_ptr<Scene>(), 0, 0);
    }
    if (_nextScene)
        attemptEnterScene(std::move(_nextScene), _nextRow, _nextCol);
    if (!_cameraFitted || _cameraFitForFight != _combatManager.isInCombat())
        fitCameraToScene();
    showEndingWhenFree();
}

void Session::fitCameraToScene()
{
    _cameraFitted = false;
    Character* avatar = getAvatar();
    tamsygraphics::Sprite* sprite = avatar ? avatar->getSprite() : nullptr;
    if (!_cam || !sprite || sprite->GetCamera() != _cam)
        return;
    // The view stays on the map: no void past its edges. In a fight the
    // result box and the menu cover the window's top and bottom, so the view
    // may run that far past the map's edges, under them, and every square
    // can still be brought out where it can be seen and clicked.
    LevelMap* map = _currentScene ? _currentScene->getLevelMap() : nullptr;
    const glm::vec2 size = map ? map->getWorldSize() : glm::vec2(0.0f, 0.0f);
    const bool fight = _combatManager.isInCombat();
    if (size.x > 0.0f && size.y > 0.0f)
        _cam->SetBounds(size.x, size.y);
    else
        _cam->ClearBounds();
    const CombatView* view = _combatManager.getView();
    _cam->SetCoveredEdges(fight ? view->coveredTopShare() : 0.0f, fight ? view->coveredBottomShare() : 0.0f);
    _cameraFitted = true;
    _cameraFitForFight = fight;
    const glm::vec2 at = sprite->GetCoords();
    _cam->Follow(at.x, at.y);
}

void Session::updateEntities()
{
    // Scripts may add or remove entities while the scene is walked, so walk
    // a copy taken in id order.
    std::vector<Entity*> entities;
    for (const auto& entry : _currentScene->getEntities())
        entities.push_back(entry.second);
    Character* avatar = getAvatar();
    for (Entity* entity : entities)
    {
        if (!entity)
            continue;
        entity->updatePosition();
        if (avatar && entity->getId() != avatar->getId())
            runEntityScripts(entity, avatar);
    }
}

void Session::noteDeparted()
{
    for (const auto& entry : _currentScene->getEntities())
    {
        // Party members count too: one who joined the party leaves the scene
        // it was met in; the avatar is never read from a scene file.
        if (entry.second && entry.second->isRemoved())
            _story.noteDeparted(_currentScene->getId(), entry.first);
    }
}

void Session::leaveOutDeparted(Scene* scene)
{
    auto departed = _story.getDeparted().find(scene->getId());
    if (departed == _story.getDeparted().end())
        return;
    for (const std::string& id : departed->second)
    {
        if (scene->getEntity(id))
            scene->removeEntity(id);
    }
}

void Session::runEntityScripts(Entity* entity, Character* avatar)
{
    LuaInterface::registerAlias(entity->getLuaRef(), "obj");
    if (entity->getInteractScript() && avatar->overlaps(entity))
        entity->getInteractScript()->run();
    // Somebody fighting stands where the fight puts them: no wandering off.
    if (entity->getThinkScript() && !_combatManager.isTakingPart(entity))
        entity->getThinkScript()->run();
    LuaInterface::clearAlias("obj");
}

void Session::setSceneManager(tamsygraphics::SceneManager* sm)
{
    _sm = sm;
}

tamsygraphics::SceneManager* Session::getSceneManager() const
{
    return _sm;
}

void Session::setCamera(tamsygraphics::Camera* cam)
{
    _cam = cam;
}

tamsygraphics::Camera* Session::getCamera() const
{
    return _cam;
}

namespace
{
// Why the party cannot be put on this tile of the scene; empty when it can.
std::string whyNotStandOn(const Scene& scene, int row, int column)
{
    const LevelMap* map = scene.getLevelMap();
    if (!map)
        return std::string();
    const std::string tile = scene.getId() + " (" + std::to_string(row) + ", " + std::to_string(column) + ")";
    if (!map->isOnMap(row, column))
        return tile + " is off the map of " + std::to_string(map->getNumberOfRows()) + " rows and " +
               std::to_string(map->getNumberOfColumns()) + " columns";
    const PassabilityMap* passability = map->getPassabilityMap();
    const PassabilityTile* cell = passability ? passability->getTile(row, column) : nullptr;
    if (passability && (!cell || !(cell->isPassableTop() || cell->isPassableRight() || cell->isPassableBottom() ||
                                   cell->isPassableLeft())))
        return tile + " is closed on every side";
    return std::string();
}
}

bool Session::setNextScene(const std::string& sceneId, int row, int column, std::string* why)
{
    std::unique_ptr<Scene> scene = ResourceManager::getScene(sceneId);
    const std::string refusal = scene ? whyNotStandOn(*scene, row, column) : std::string();
    if (!refusal.empty())
    {
        if (why)
            *why = "cannot enter " + refusal;
        else
            Log::warn() << "Session::setNextScene - Cannot enter " << refusal << std::endl;
        // The party stays where it is, the map freed with its characters
        // still known to Lua.
        scene->detachEntities();
        scene.reset();
        republishCharacters();
        return false;
    }
    setNextScene(std::move(scene), row, column);
    return true;
}

void Session::setNextScene(std::unique_ptr<Scene> scene, int row, int column)
{
    // A request that replaces an earlier one in the same frame wins. The
    // earlier scene's characters are already known to Lua and outlive it.
    if (_nextScene)
        _nextScene->detachEntities();
    _nextScene = std::move(scene);
    _nextRow = row;
    _nextCol = column;
}

Scene* Session::getNextScene() const
{
    return _nextScene.get();
}

void Session::attemptEnterScene(std::unique_ptr<Scene> entering, int row, int column)
{
    if (!entering)
    {
        Log::named("Session") << "Unable to enter NULL scene" << std::endl;
        return;
    }
    // Freed when this returns: every scene entered is built anew from its
    // files, so one left behind would only hold memory for good.
    std::unique_ptr<Scene> left = std::move(_currentScene);
    if (left)
    {
        left->deactivate();
        left->detachEntities();
    }
    Scene* scene = entering.get();
    Log::named("Session") << "Entering Scene " << scene->getId() << std::endl;
    leaveOutDeparted(scene);
    _currentScene = std::move(entering);
    scene->show();
    Character* avatar = getAvatar();
    if (avatar)
    {
        scene->insertEntity(avatar, row, column);
        _dialogManager->initializePlayer(avatar);
        Log::named("Session") << "Camera " << _cam << std::endl;
        if (_cam && avatar->getSprite())
        {
            avatar->getSprite()->AttachCamera(_cam);
            fitCameraToScene();
        }
    }
    else
    {
        Log::named("Session") << "Entering a scene with a NULL avatar" << std::endl;
    }
    scene->activate(_sm);
    if (_walkingGridShown)
        scene->showWalkingGrid(true);
}

void Session::showWalkingGrid(bool shown)
{
    _walkingGridShown = shown;
    if (_currentScene)
        _currentScene->showWalkingGrid(shown);
}

void Session::reenterScene(std::unique_ptr<Scene> scene)
{
    Character* avatar = getAvatar();
    if (!avatar)
    {
        attemptEnterScene(std::move(scene), 0, 0);
        return;
    }
    const glm::vec2 tile = avatar->getPosition();
    const Direction facing = avatar->getFaceDirection();
    avatar->holdTriggers(true);
    attemptEnterScene(std::move(scene), static_cast<int>(tile.x), static_cast<int>(tile.y));
    avatar->holdTriggers(false);
    avatar->setFacing(facing);
}

Scene* Session::getCurrentScene() const
{
    return _currentScene.get();
}

Party* Session::getCurrentParty() const
{
    return _party.getParty();
}

void Session::setCurrentParty(std::unique_ptr<Party> party)
{
    _party.setParty(std::move(party));
}

CharacterList& Session::getCurrentOpponents()
{
    return _currentOpponents;
}

CombatManager& Session::getCombatManager()
{
    return _combatManager;
}

DialogManager* Session::getDialogManager() const
{
    return _dialogManager.get();
}

LevelInputContext* Session::getLevelInputContext() const
{
    return _levelInputContext.get();
}

Character* Session::getAvatar() const
{
    return _party.getAvatar();
}

Entity* Session::getEntity(const std::string& id) const
{
    if (Entity* member = _party.getMember(id))
        return member;
    return _currentScene ? _currentScene->getEntity(id) : nullptr;
}

void Session::moveAvatar(Direction direction)
{
    if (Character* avatar = getAvatar())
        avatar->attemptMoveDirection(direction, false);
}

void Session::tryInteract()
{
    Character* avatar = getAvatar();
    if (!_currentScene || !avatar)
        return;
    std::vector<Entity*> entities;
    for (const auto& entry : _currentScene->getEntities())
        entities.push_back(entry.second);
    for (Entity* entity : entities)
    {
        if (!entity || entity->getId() == avatar->getId())
            continue;
        LuaInterface::registerAlias(entity->getLuaRef(), "obj");
        if (entity->getInteractScript() && avatar->isFacing(entity))
            entity->getInteractScript()->run();
        LuaInterface::clearAlias("obj");
    }
}

void Session::setInputIsEnabled(bool enabled)
{
    _levelInputContext->setIsEnabled(enabled);
}

std::vector<std::string> Session::parseOpponentIds(const std::string& list)
{
    std::vector<std::string> ids;
    size_t start = 0;
    while (start <= list.size())
    {
        const size_t end = list.find(';', start);
        const std::string id = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (id.empty())
            break;
        ids.push_back(id);
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return ids;
}

// Building a scene publishes its characters as globals under their ids; a
// scene that is then refused must not leave those names pointing at
// characters that no scene shows. The latest built win, as they did.
void Session::republishCharacters()
{
    const auto publish = [](EntityMap& entities)
    {
        for (const auto& entry : entities)
            if (entry.second)
                LuaInterface::registerAlias(entry.second->getLuaRef(), entry.second->getId());
    };
    if (Party* party = _party.getParty())
        publish(party->getMembers());
    if (_currentScene)
        publish(_currentScene->getEntities());
    if (_nextScene)
        publish(_nextScene->getEntities());
}

std::string Session::partyMemberAmong(const std::string& opponentList) const
{
    Party* party = _party.getParty();
    if (!party)
        return std::string();
    for (const std::string& id : parseOpponentIds(opponentList))
        if (party->getMembers().count(id))
            return id;
    return std::string();
}

void Session::attemptEnterCombat(const std::string& opponentList, const std::string& music)
{
    const std::string member = partyMemberAmong(opponentList);
    if (!member.empty())
    {
        Log::warn() << "Session::attemptEnterCombat - " << member << " is in the party and cannot be fought"
                    << std::endl;
        return;
    }
    // The running fight holds on to the list it was given.
    if (_combatManager.isInCombat())
    {
        Log::named("combat") << "Session::attemptEnterCombat - Already in combat" << std::endl;
        return;
    }
    CharacterList opponents;
    for (const std::string& id : parseOpponentIds(opponentList))
    {
        Entity* entity = _currentScene ? _currentScene->getEntity(id) : nullptr;
        Character* opponent = dynamic_cast<Character*>(entity);
        if (!opponent || opponent->isRemoved())
        {
            Log::named("combat") << "Session::attemptEnterCombat - No character " << id << " in the current scene"
                                 << std::endl;
            continue;
        }
        Log::named("combat") << opponent->getId() << std::endl;
        opponents.push_back(opponent);
    }
    _combatOpponents = opponents;
    _combatManager.enterCombat(&_combatOpponents, music);
}

void Session::attemptExitCombat()
{
    Log::named("combat") << "Exiting combat" << std::endl;
    // The console's own screen stays: without it the console could never
    // prompt again.
    ScreenStack& screens = _console.getScreenStack();
    if (screens.stack.size() > 1)
        screens.popScreen();
    _combatManager.leaveCombat();
}

bool Session::setFlag(const std::string& name, int value)
{
    return _story.setFlag(name, value);
}

int Session::getFlag(const std::string& name)
{
    return _story.getFlag(name);
}

bool Session::hasFlag(const std::string& name) const
{
    return _story.hasFlag(name);
}

void Session::setLuaRef(int luaRef)
{
    _luaRef = luaRef;
}

int Session::getLuaRef() const
{
    return _luaRef;
}

bool Session::theEnd()
{
    if (!_endingView)
    {
        Log::named("Session") << "Session::theEnd - No ending screen to show" << std::endl;
        return false;
    }
    _endingRequested = true;
    showEndingWhenFree();
    return true;
}

void Session::showEndingWhenFree()
{
    if (!_endingRequested || !_endingView || !_endingView->isEndingHidden())
        return;
    if (getFlag("flag_isDialogOpen") != 0 || _combatManager.isInCombat())
        return;
    setInputIsEnabled(false);
    _endingView->show();
}
}
