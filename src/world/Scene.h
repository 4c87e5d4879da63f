#pragma once

#include <memory>
#include <string>

#include <tinyxml2.h>

#include "world/Entity.h"

class LevelMap;

namespace tamsygraphics
{
class SceneManager;
}

namespace core
{
class Effect;

// One playable place: a level map and the entities standing on it, keyed by
// id. While active it has handed its layers and sprites to the scene manager.
// It owns its level map; its entities belong to the CharacterStore.
class Scene
{
public:
    Scene(const std::string& fileName, const std::string& id);
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The scene element and the "character" elements that follow it.
    static std::unique_ptr<Scene> buildFromXMLElement(tinyxml2::XMLElement* sceneElement);

    void activate(tamsygraphics::SceneManager* sm);
    void deactivate();
    void show();
    void hide();

    void insertEntity(Entity* entity, int row, int column);
    void removeEntity(const std::string& id);
    Entity* getEntity(const std::string& id) const;
    EntityMap& getEntities();

    void insertEntitiesFromXMLElement(tinyxml2::XMLElement* first);
    void insertEntitiesFromXMLFile(const std::string& fileName);
    void insertEffect(Effect* effect);
    void cull();

    const std::string& getId() const;
    std::string getName() const;
    LevelMap* getLevelMap() const;
    // The map it replaces is freed.
    void setLevelMap(std::unique_ptr<LevelMap> map);
    // Entities outlive scenes (the store holds them): before a scene is freed,
    // those still pointing at it are told they stand nowhere.
    void detachEntities();
    bool isValid() const;
    bool isVisible() const;
    void printMap() const;

private:
    void setLayersVisible(bool visible);
    std::string layerKey(const std::string& layerName) const;

    std::string _id;
    std::string _charactersFilename;
    bool _isValid;
    tamsygraphics::SceneManager* _sm;
    std::string name;
    std::unique_ptr<LevelMap> _map;
    EntityMap _entities;
};
}
