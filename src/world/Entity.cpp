#include "world/Entity.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Log/Log.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"
#include "map/TriggerMap.h"
#include "script/LuaInterface.h"
#include "world/Scene.h"
#include "script/ScriptInstance.h"
#include "graphics/TGSprite.h"
#include "sound/SoundHandler.h"
#include "util/RandomText.h"
#include "util/SafeNumbers.h"

namespace core
{
namespace
{
// A step covers one tile in five updates.
const float STEP_SPEED = 0.2f;
const double WALK_FRAME_TIME = 0.05;
const int NO_LUA_REFERENCE = -2;

const char* walkAnimationName(Direction direction)
{
    switch (direction)
    {
    case UP:
        return "moveUp";
    case RIGHT:
        return "moveRight";
    case DOWN:
        return "moveDown";
    case LEFT:
        return "moveLeft";
    }
    return "";
}
}

Entity::Entity()
    : number(0), _luaRef(NO_LUA_REFERENCE), _type("base"), _currentScene(nullptr),
      _position(0.0f, 0.0f), _offset(0.0f, 0.0f), _vel(0.0f, 0.0f), _faceDirection(RIGHT), _moving(false),
      _isInWanderRegion(true), _removeThis(false), _isAvatar(false)
{
}

Entity::~Entity()
{
    // Scripts may hold the entity's table for longer than it lives.
    LuaInterface::releaseObject(_luaRef);
    if (_spriteLent)
        static_cast<void>(_sprite.release()); // the scene manager frees it
}

std::string Entity::getName()
{
    return "";
}

int Entity::getNumber() const
{
    return number;
}

std::string Entity::getType() const
{
    return _type;
}

void Entity::setType(const std::string& type)
{
    _type = type;
}

const std::string& Entity::getId() const
{
    return _id;
}

void Entity::setId(const std::string& id)
{
    _id = id;
}

tamsygraphics::Sprite* Entity::getSprite() const
{
    return _sprite.get();
}

void Entity::setSprite(std::unique_ptr<tamsygraphics::Sprite> sprite)
{
    _sprite = std::move(sprite);
}

tamsyAnimation::AnimationRunner& Entity::getRunner()
{
    return _runner;
}

void Entity::setLuaRef(int luaRef)
{
    _luaRef = luaRef;
}

int Entity::getLuaRef() const
{
    return _luaRef;
}

Scene* Entity::getScene() const
{
    return _currentScene;
}

void Entity::setScene(Scene* scene)
{
    _currentScene = scene;
}

glm::vec2 Entity::getPosition() const
{
    return _position;
}

glm::vec2 Entity::getOffset() const
{
    return _offset;
}

glm::vec2 Entity::getVelocity() const
{
    return _vel;
}

Direction Entity::getFaceDirection() const
{
    return _faceDirection;
}

bool Entity::isMoving() const
{
    return _moving;
}

void Entity::setPosition(int row, int column)
{
    setPosition(glm::vec2(static_cast<float>(row), static_cast<float>(column)));
}

void Entity::setPosition(const glm::vec2& position)
{
    _position = position;
    snapToGrid();
    updateSpritePosition();
}

bool Entity::isValidDirection(int direction)
{
    return direction >= UP && direction <= LEFT;
}

bool Entity::attemptMoveDirection(Direction direction, bool interactOnCollision)
{
    if (!_currentScene)
        return false;
    if (_moving)
        return true;
    // Scripts pass plain numbers; anything but the four directions would
    // leave the entity half turned, so it is refused outright.
    if (!isValidDirection(direction))
    {
        Log::error() << "Entity::attemptMoveDirection - Invalid direction " << static_cast<int>(direction)
                     << " for entity " << _id << std::endl;
        return false;
    }

    const TilePos here = currentTile();
    glm::vec2 target = _position;
    switch (direction)
    {
    case UP:
        _vel.x = -STEP_SPEED;
        target.x -= 1.0f;
        break;
    case RIGHT:
        _vel.y = STEP_SPEED;
        target.y += 1.0f;
        break;
    case DOWN:
        _vel.x = STEP_SPEED;
        target.x += 1.0f;
        break;
    case LEFT:
        _vel.y = -STEP_SPEED;
        target.y -= 1.0f;
        break;
    }
    startStepAnimation(direction);

    if (isStepAllowed(direction, TilePos::of(target)))
    {
        _moving = true;
        // Every other tile of a checkerboard sounds, which reads as a walking rhythm.
        if (((here.row ^ here.col) & 1) != 0)
            sound::SoundHandler::sendCue(stepCue(), 0.0);
    }
    else
    {
        snapToGrid();
    }

    Entity* other = findEntityAt(target);
    if (!other)
        return true;
    snapToGrid();
    if (interactOnCollision)
        interactWith(other);
    return false;
}

std::string Entity::stepCue() const
{
    const LevelMap* levelMap = _currentScene ? _currentScene->getLevelMap() : nullptr;
    return levelMap && !levelMap->getStepCue().empty() ? levelMap->getStepCue() : "step";
}

bool Entity::takeStep(Direction direction)
{
    const bool answer = attemptMoveDirection(direction, false);
    checkTriggers();
    return answer;
}

void Entity::setFacing(Direction direction)
{
    if (!isValidDirection(direction))
        return;
    startStepAnimation(direction);
    _runner.setSpeed(0.0);
}

void Entity::startStepAnimation(Direction direction)
{
    _faceDirection = direction;
    _runner.setLoopingAnim(walkAnimationName(direction), WALK_FRAME_TIME);
}

bool Entity::isStepAllowed(Direction direction, const TilePos& target) const
{
    LevelMap* levelMap = _currentScene ? _currentScene->getLevelMap() : nullptr;
    // A scene whose map lacks a passability grid cannot say what is open,
    // so nothing is.
    if (!levelMap || !levelMap->getPassabilityMap())
        return false;
    if (!levelMap->isOnMap(target.row, target.col))
        return false;
    const TilePos here = currentTile();
    return levelMap->getPassabilityMap()->isPassable(direction, here.row, here.col);
}

Entity* Entity::findEntityAt(const glm::vec2& tile) const
{
    // A trigger fired by a refused step may have taken the entity out of its scene.
    if (!_currentScene)
        return nullptr;
    for (const auto& entry : _currentScene->getEntities())
    {
        Entity* other = entry.second;
        if (other && other->_id != _id && other->holdsTile(tile))
            return other;
    }
    return nullptr;
}

bool Entity::holdsTile(const glm::vec2& tile) const
{
    if (_position == tile)
        return true;
    // A step under way has already claimed the tile it ends on: two walkers
    // heading for one free tile would otherwise both arrive and stand on
    // each other, and the avatar would overlap whoever it met.
    if (!_moving)
        return false;
    const auto ahead = [](float velocity) { return static_cast<float>((velocity > 0.0f) - (velocity < 0.0f)); };
    return _position + glm::vec2(ahead(_vel.x), ahead(_vel.y)) == tile;
}

void Entity::interactWith(Entity* other)
{
    // Walking into the avatar is the NPC's own doing, so its own script runs.
    Entity* owner = other->_isAvatar ? this : other;
    if (!owner->_interactScript)
        return;
    LuaInterface::registerAlias(owner->_luaRef, "obj");
    owner->_interactScript->run();
    LuaInterface::clearAlias("obj");
}

bool Entity::canMoveDirection(Direction direction) const
{
    if (!isValidDirection(direction))
        return false;
    return isStepAllowed(direction, currentTile().neighbour(direction));
}

void Entity::updatePosition()
{
    if (!_sprite || !_currentScene)
        return;
    _offset += _vel;
    if (std::fabs(_offset.x) >= 1.0f || std::fabs(_offset.y) >= 1.0f)
    {
        _position += _offset;
        snapToGrid();
    }
    updateSpritePosition();
}

void Entity::snapToGrid()
{
    _position.x = std::floor(_position.x + 0.5f);
    _position.y = std::floor(_position.y + 0.5f);
    _offset = glm::vec2(0.0f, 0.0f);
    _vel = glm::vec2(0.0f, 0.0f);
    _moving = false;
    _runner.setSpeed(0.0);
    checkTriggers();
}

void Entity::updateSpritePosition()
{
    if (!_sprite || !_currentScene || !_currentScene->getLevelMap())
        return;
    const glm::vec2 world = _currentScene->getLevelMap()->getPosition(static_cast<double>(_position.x) + _offset.x,
                                                                      static_cast<double>(_position.y) + _offset.y);
    _sprite->MoveTo(world.x, world.y);
    spriteMoved(world);
}

bool Entity::checkTriggers()
{
    if (_triggersHeld)
        return false;
    const TilePos here = currentTile();
    return checkTriggers(here.row, here.col);
}

bool Entity::checkTriggers(int row, int column)
{
    LevelMap* levelMap = _currentScene ? _currentScene->getLevelMap() : nullptr;
    TriggerMap* triggerMap = levelMap ? levelMap->getTriggerMap() : nullptr;
    if (!triggerMap || !triggerMap->isValidTrigger(row, column, _isAvatar))
        return false;
    // A script that places its entity back on the tile being fired (or on a
    // tile whose script sends it back here) would otherwise fire it again
    // without end; a trigger runs at most once at a time for an entity.
    const TilePos tile{row, column};
    if (std::find(_firingTriggers.begin(), _firingTriggers.end(), tile) != _firingTriggers.end())
    {
        Log::warn() << "Entity::checkTriggers - The trigger at " << row << " " << column
                    << " is already running for entity " << _id << "; not fired again" << std::endl;
        return false;
    }
    _firingTriggers.push_back(tile);
    triggerMap->triggerEvents(row, column);
    _firingTriggers.pop_back();
    return true;
}

bool Entity::overlaps(const Entity* other) const
{
    return other && _currentScene && _currentScene == other->_currentScene && _position == other->_position;
}

bool Entity::isFacing(const Entity* other) const
{
    if (!other || !_currentScene || _currentScene != other->_currentScene)
        return false;
    // Only the one neighbour in front counts; comparing a single component
    // would let an entity "face" anything on the same row or column.
    return other->currentTile() == currentTile().neighbour(_faceDirection);
}

void Entity::wander(int chance)
{
    if (gameRand() % 100 >= chance)
        return;
    const Direction direction = static_cast<Direction>(gameRand() % 4);
    const TilePos next = currentTile().neighbour(direction);
    // A wander-region cell re-admits the entity through its script.
    checkTriggers(next.row, next.col);
    if (_isInWanderRegion)
        attemptMoveDirection(direction, false);
    _isInWanderRegion = false;
}

void Entity::kill()
{
    _removeThis = true;
}

bool Entity::isRemoved() const
{
    return _removeThis;
}

void Entity::revive()
{
    _removeThis = false;
}

void Entity::setIsInWanderRegion(bool isInWanderRegion)
{
    _isInWanderRegion = isInWanderRegion;
}

bool Entity::isInWanderRegion() const
{
    return _isInWanderRegion;
}

bool Entity::isAvatar() const
{
    return _isAvatar;
}

void Entity::setIsAvatar(bool isAvatar)
{
    _isAvatar = isAvatar;
}

ScriptInstance* Entity::getInteractScript() const
{
    return _interactScript.get();
}

void Entity::setInteractScript(std::unique_ptr<ScriptInstance> script)
{
    _interactScript = std::move(script);
}

ScriptInstance* Entity::getThinkScript() const
{
    return _thinkScript.get();
}

void Entity::setThinkScript(std::unique_ptr<ScriptInstance> script)
{
    _thinkScript = std::move(script);
}
}
