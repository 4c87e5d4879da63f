#include "session/WorldState.h"

#include <utility>

#include "Log/Log.h"
#include "combat/CombatView.h"
#include "data/Character.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "graphics/TGCamera.h"
#include "graphics/TGSprite.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"
#include "script/LuaInterface.h"
#include "session/StoryState.h"
#include "session/WorldHost.h"
#include "world/Scene.h"

namespace core
{
WorldState::WorldState(WorldHost& host, StoryState& story) : _host(host), _story(story)
{
}

WorldState::~WorldState()
{
    detachEntities();
}

void WorldState::detachEntities()
{
    for (Scene* scene : {_currentScene.get(), _nextScene.get()})
        if (scene)
            scene->detachEntities();
}

void WorldState::finishFrame()
{
    if (_nextScene && _host.isFightOn())
    {
        // A fighter stepping on a door, or a script starting a fight after
        // asking for a scene, would otherwise carry the fight into another
        // scene, where the enemies it left cannot be reached.
        Log::warn() << "Session::update - " << _nextScene->getId() << " is not entered during a fight" << std::endl;
        setNextScene(std::unique_ptr<Scene>(), 0, 0);
    }
    if (_nextScene)
        attemptEnterScene(std::move(_nextScene), _nextRow, _nextCol);
    if (!_cameraFitted || _cameraFitForFight != _host.isFightOn())
        fitCameraToScene();
}

void WorldState::fitCameraToScene()
{
    _cameraFitted = false;
    Character* avatar = _host.getAvatar();
    tamsygraphics::Sprite* sprite = avatar ? avatar->getSprite() : nullptr;
    if (!_cam || !sprite || sprite->GetCamera() != _cam)
        return;
    // The view stays on the map: no void past its edges. In a fight the
    // result box and the menu cover the window's top and bottom, so the view
    // may run that far past the map's edges, under them, and every square
    // can still be brought out where it can be seen and clicked.
    LevelMap* map = _currentScene ? _currentScene->getLevelMap() : nullptr;
    const glm::vec2 size = map ? map->getWorldSize() : glm::vec2(0.0f, 0.0f);
    const bool fight = _host.isFightOn();
    if (size.x > 0.0f && size.y > 0.0f)
        _cam->SetBounds(size.x, size.y);
    else
        _cam->ClearBounds();
    const CombatView* view = _host.getCombatView();
    _cam->SetCoveredEdges(fight ? view->coveredTopShare() : 0.0f, fight ? view->coveredBottomShare() : 0.0f);
    _cameraFitted = true;
    _cameraFitForFight = fight;
    const glm::vec2 at = sprite->GetCoords();
    _cam->Follow(at.x, at.y);
}

void WorldState::noteDeparted()
{
    if (!_currentScene)
        return;
    for (const auto& entry : _currentScene->getEntities())
    {
        // Party members count too: one who joined the party leaves the scene
        // it was met in; the avatar is never read from a scene file.
        if (entry.second && entry.second->isRemoved())
            _story.noteDeparted(_currentScene->getId(), entry.first);
    }
}

void WorldState::leaveOutDeparted(Scene* scene)
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

bool WorldState::setNextScene(const std::string& sceneId, int row, int column, std::string* why)
{
    std::unique_ptr<Scene> scene = ResourceManager::getScene(sceneId);
    // A scene that cannot be had is refused like a tile that cannot be stood
    // on: the caller hears of it, and an earlier request stays.
    const std::string refusal = scene ? whyNotStandOn(*scene, row, column) : "unknown scene " + sceneId;
    if (!refusal.empty())
    {
        if (why)
            *why = "cannot enter " + refusal;
        else
            Log::warn() << "Session::setNextScene - Cannot enter " << refusal << std::endl;
        // The party stays where it is, the map freed with its characters
        // still known to Lua.
        if (scene)
            scene->detachEntities();
        scene.reset();
        republishCharacters();
        return false;
    }
    setNextScene(std::move(scene), row, column);
    return true;
}

void WorldState::setNextScene(std::unique_ptr<Scene> scene, int row, int column)
{
    // A request that replaces an earlier one in the same frame wins. The
    // earlier scene's characters are already known to Lua and outlive it.
    if (_nextScene)
        _nextScene->detachEntities();
    _nextScene = std::move(scene);
    _nextRow = row;
    _nextCol = column;
}

void WorldState::attemptEnterScene(std::unique_ptr<Scene> entering, int row, int column)
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
    Character* avatar = _host.getAvatar();
    if (avatar)
    {
        scene->insertEntity(avatar, row, column);
        _host.avatarEnteredScene(avatar);
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

void WorldState::showWalkingGrid(bool shown)
{
    _walkingGridShown = shown;
    if (_currentScene)
        _currentScene->showWalkingGrid(shown);
}

void WorldState::reenterScene(std::unique_ptr<Scene> scene)
{
    Character* avatar = _host.getAvatar();
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

// Building a scene publishes its characters as globals under their ids; a
// scene that is then refused must not leave those names pointing at
// characters that no scene shows. The latest built win, as they did.
void WorldState::republishCharacters()
{
    const auto publish = [](EntityMap& entities)
    {
        for (const auto& entry : entities)
            if (entry.second)
                LuaInterface::registerAlias(entry.second->getLuaRef(), entry.second->getId());
    };
    if (Party* party = _host.getCurrentParty())
        publish(party->getMembers());
    if (_currentScene)
        publish(_currentScene->getEntities());
    if (_nextScene)
        publish(_nextScene->getEntities());
}
}
