#pragma once

#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "world/Entity.h"

class LevelMap;
class LevelMapDrawing;

namespace tamsygraphics
{
class Map;
class SceneManager;
}

namespace core
{
class ShownEffect;

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

    // Builds the entity a "character" element describes, or null (having
    // said why). Characters are game data, above the world, so the game
    // hands the world its maker at start-up; until then such elements are
    // skipped with an error.
    using CharacterMaker = Entity* (*)(tinyxml2::XMLElement* element);
    static void setCharacterMaker(CharacterMaker maker);

    void activate(tamsygraphics::SceneManager* sm);
    void deactivate();
    void show();
    void hide();

    // An entity inserted while the scene is shown is drawn at once.
    void insertEntity(Entity* entity, int row, int column);
    void removeEntity(const std::string& id);
    // Takes the entity off this scene and out of sight, without killing it:
    // it may stand in a scene again later.
    void withdrawEntity(const std::string& id);
    Entity* getEntity(const std::string& id) const;
    EntityMap& getEntities();

    void insertEntitiesFromXMLElement(tinyxml2::XMLElement* first);
    void insertEntitiesFromXMLFile(const std::string& fileName);
    // Lends the effect's sprite to the scene's sprite manager to draw.
    void insertEffect(ShownEffect* effect);
    // Takes an ended effect's sprite off the scene and destroys it; false
    // when this scene was not showing it.
    bool removeEffect(ShownEffect* effect);
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
    // A maker's view over the map while the scene is active: the closed
    // sides of its cells and its trigger tiles (or, false, none).
    void showWalkingGrid(bool shown);
    // Whether the map's layers are to be drawn (show) or not (hide).
    bool layersShown() const { return _layersShown; }
    // The layers the scene manager draws while the scene is active, in the
    // map's order; none otherwise.
    const std::vector<tamsygraphics::Map*>& getDrawnLayers() const { return _drawnLayers; }
    void printMap() const;

private:
    // Hands an entity's sprite to the scene manager to draw, and takes it
    // back; only the entity's own sprite under its id is taken back.
    void lendSprite(const std::string& id, Entity* entity);
    void takeSpriteBack(const std::string& id, Entity* entity);
    void setLayersVisible(bool visible);
    void showHighlights();
    std::string layerKey(const std::string& layerName) const;

    std::string _id;
    std::string _charactersFilename;
    bool _isValid;
    tamsygraphics::SceneManager* _sm;
    std::string name;
    std::unique_ptr<LevelMap> _map;
    std::unique_ptr<LevelMapDrawing> _drawing;
    std::vector<tamsygraphics::Map*> _drawnLayers;
    bool _layersShown = false;
    bool _walkingGridShown = false;
    EntityMap _entities;
};
}
