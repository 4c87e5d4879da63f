#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "script/LuaBound.h"
#include "animation/TAAnimationRunner.h"
#include "map/Direction.h"
#include "world/TilePos.h"

namespace tamsygraphics
{
class Sprite;
}

namespace core
{
class Entity;
class Scene;
class ScriptInstance;

// Entities by id, in byte-wise id order: the order scenes and parties visit them.
typedef std::map<std::string, Entity*> EntityMap;

// Anything standing on a scene's tile grid. Moves one tile per step; a step
// takes five updates, the sprite gliding between tile centres meanwhile.
class Entity : public LuaBound
{
public:
    Entity();
    ~Entity() override;
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;

    virtual std::string getName();

    int getNumber() const;
    std::string getType() const;
    void setType(const std::string& type);
    const std::string& getId() const;
    void setId(const std::string& id);

    tamsygraphics::Sprite* getSprite() const;
    // The entity owns its sprite; a new one frees the one before (nothing
    // else may still draw it).
    void setSprite(std::unique_ptr<tamsygraphics::Sprite> sprite);
    // Whether a shown scene has lent the sprite to the scene manager, which
    // then frees it: an entity freed meanwhile leaves it to the manager.
    void setSpriteLent(bool lent) { _spriteLent = lent; }
    tamsyAnimation::AnimationRunner& getRunner();

    void setLuaRef(int luaRef) override;
    int getLuaRef() const override;

    Scene* getScene() const;
    void setScene(Scene* scene);

    glm::vec2 getPosition() const;
    glm::vec2 getOffset() const;
    glm::vec2 getVelocity() const;
    Direction getFaceDirection() const;
    // Turns without stepping: the walk cycle of that direction, at rest
    // (restoring a saved game, putting a fighter back).
    void setFacing(Direction direction);
    bool isMoving() const;
    // While held, placing the entity fires no trigger: putting the avatar
    // back where it stood on a reloaded map is not a step.
    void holdTriggers(bool held) { _triggersHeld = held; }

    // Placing fires the trigger of the tile placed on.
    void setPosition(int row, int column);
    void setPosition(const glm::vec2& position);

    // Starts one step. False only without a scene, for a direction that is
    // not one of the four, or when another entity stands on the target.
    bool attemptMoveDirection(Direction direction, bool interactOnCollision);
    // A step the player asked for (walking keys, a fighter's move): starts it
    // as attemptMoveDirection does, then checks the trigger of the tile still
    // stood on, whether the step started or was refused. True when started
    // or under way, as attemptMoveDirection answers.
    bool takeStep(Direction direction);
    // Whether a step that way would be let through: the same rule as the
    // step itself, so a walker choosing by it never pushes against a wall.
    bool canMoveDirection(Direction direction) const;
    void updatePosition();
    void snapToGrid();
    void updateSpritePosition();
    // Told where the sprite was just put (world units), so that what is
    // drawn over the entity can follow it.
    virtual void spriteMoved(const glm::vec2&) {}

    bool checkTriggers();
    bool checkTriggers(int row, int column);

    bool overlaps(const Entity* other) const;
    bool isFacing(const Entity* other) const;
    void wander(int chance);

    void kill();
    bool isRemoved() const;
    // Undoes kill(): a recruit taken out of the scene it was met in stands
    // in a fight with the party.
    void revive();
    void setIsInWanderRegion(bool isInWanderRegion);
    bool isInWanderRegion() const;

    bool isAvatar() const;
    void setIsAvatar(bool isAvatar);

    // The entity owns its scripts: setting one releases the previous one.
    ScriptInstance* getInteractScript() const;
    // The entity takes ownership of the scripts it is given.
    void setInteractScript(std::unique_ptr<ScriptInstance> script);
    ScriptInstance* getThinkScript() const;
    void setThinkScript(std::unique_ptr<ScriptInstance> script);

protected:
    int number;
    int _luaRef;
    // The entity's own sprite, lent to the scene manager while its scene is
    // shown and withdrawn when the scene goes.
    std::unique_ptr<tamsygraphics::Sprite> _sprite;
    bool _spriteLent = false;
    tamsyAnimation::AnimationRunner _runner;
    std::string _type;
    // Borrowed: scenes belong to the resource manager.
    Scene* _currentScene;
    glm::vec2 _position;
    glm::vec2 _offset;
    glm::vec2 _vel;
    Direction _faceDirection;
    bool _moving;
    bool _triggersHeld = false;
    bool _isInWanderRegion;
    bool _removeThis;
    std::string _id;
    std::unique_ptr<ScriptInstance> _interactScript;
    std::unique_ptr<ScriptInstance> _thinkScript;
    bool _isAvatar;

private:
    // Tiles whose trigger is running for this entity, outermost first.
    std::vector<TilePos> _firingTriggers;

    static bool isValidDirection(int direction);
    TilePos currentTile() const { return TilePos::of(_position); }
    void startStepAnimation(Direction direction);
    bool isStepAllowed(Direction direction, const TilePos& target) const;
    // The cue a step sounds with on the current map.
    std::string stepCue() const;
    Entity* findEntityAt(const glm::vec2& tile) const;
    bool holdsTile(const glm::vec2& tile) const;
    void interactWith(Entity* other);
};
}
