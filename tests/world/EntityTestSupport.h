#pragma once

#include <memory>
#include <string>

#include "world/Entity.h"
#include "world/Scene.h"
#include "graphics/TGSprite.h"

namespace entitytest
{
// The test binary replaces the C library's rand(): queued values come out
// first, then a fixed pseudo-random sequence, so every run is the same.
void queueRand(std::initializer_list<int> values);
void clearRand();
void seedFallbackRand(unsigned int seed);

// Registers the script-visible classes once, as start-up does, so that
// characters built from XML get their Lua class.
void registerLuaClasses();

// Path of a map under tests/world/data, relative to the repository root.
std::string dataMap(const std::string& name);

// A scene built from one of the small test maps; releases the level map the
// scene itself never frees.
class TestScene
{
public:
    explicit TestScene(const std::string& mapName, const std::string& id = "test");
    ~TestScene();
    core::Scene& operator*() { return *_scene; }
    core::Scene* operator->() { return _scene.get(); }
    core::Scene* get() { return _scene.get(); }

private:
    std::unique_ptr<core::Scene> _scene;
};

// An entity with a sprite and a Lua identity (a table with its id and a
// setIsInWanderRegion method), as characters have in the game.
class TestEntity : public core::Entity
{
public:
    explicit TestEntity(const std::string& id, bool withSprite = true);
    ~TestEntity() override;

private:
};

// Runs five updates: one whole step.
void finishStep(core::Entity& entity);
}
