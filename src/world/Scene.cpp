#include "world/Scene.h"

#include <iostream>
#include <utility>

#include "Log/Log.h"
#include "world/ShownEffect.h"
#include "graphics/TGMap.h"
#include "graphics/TGSceneManager.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "map/TriggerMap.h"
#include "util/GameFiles.h"
#include "util/NamedXMLDocument.h"
#include "util/XMLNumbers.h"
#include "util/util.h"
#include "world/LevelMapDrawing.h"

namespace core
{
Scene::Scene(const std::string& fileName, const std::string& id)
    : _id(id), _isValid(false), _sm(nullptr), name(fileName)
{
    _map = LevelMapLoader::loadLevelMap(fileName);
    if (!_map)
    {
        Log::error() << "Scene::Scene - Failed to load file " << fileName << std::endl;
        return;
    }
    Log::named("Scene") << "Loaded file " << fileName << std::endl;
    hide();
    _isValid = true;
}

// The entities are not touched: they may be gone already. An owner whose
// scene's entities live on calls detachEntities() first. A scene freed while
// shown leaves its drawn layers to the scene manager.
Scene::~Scene()
{
    if (_map)
        _map->setHighlightListener(nullptr);
}

void Scene::detachEntities()
{
    for (const auto& entry : _entities)
        if (entry.second && entry.second->getScene() == this)
            entry.second->setScene(nullptr);
}

namespace
{
Scene::CharacterMaker characterMaker = nullptr;
}

void Scene::setCharacterMaker(CharacterMaker maker)
{
    characterMaker = maker;
}

std::unique_ptr<Scene> Scene::buildFromXMLElement(tinyxml2::XMLElement* sceneElement)
{
    if (!sceneElement)
    {
        Log::error() << "Scene::buildFromXMLElement - Unable to build scene from NULL XML Element" << std::endl;
        return nullptr;
    }
    const std::string fileName = nullToEmpty(sceneElement->Attribute("filename"));
    const std::string id = nullToEmpty(sceneElement->Attribute("id"));
    auto scene = std::make_unique<Scene>(fileName, id);
    if (!scene->isValid())
    {
        Log::error() << "Scene::buildFromXMLElement - Failed to parse scene " << id << std::endl;
        return nullptr;
    }
    scene->insertEntitiesFromXMLElement(sceneElement);
    return scene;
}

void Scene::activate(tamsygraphics::SceneManager* sm)
{
    if (!sm)
        return;
    _sm = sm;
    for (const auto& entry : _entities)
    {
        Entity* entity = entry.second;
        if (!entity || !entity->getSprite())
            continue;
        Log::named("Session") << "Submitting sprite " << entry.first << std::endl;
        lendSprite(entry.first, entity);
    }
    if (!_map)
        return;
    // The scene manager owns the drawn layers while the scene is shown; the
    // drawing keeps their tilesets until the scene is left.
    _drawing = std::make_unique<LevelMapDrawing>(*_map);
    _drawnLayers = _drawing->handOverLayers();
    for (tamsygraphics::Map* layer : _drawnLayers)
    {
        layer->SetVisible(_layersShown);
        _sm->SubmitMap(layerKey(layer->name), layer);
    }
    showHighlights();
}

// Combat marks cells on the level map; they are drawn over the topmost layer,
// so that they stay visible.
void Scene::showHighlights()
{
    if (_drawnLayers.empty())
        return;
    tamsygraphics::Map* top = _drawnLayers.back();
    for (const auto& cell : _map->getHighlightedTiles())
        top->HighlightTile(cell.first, cell.second);
    _map->setHighlightListener(
        [top](int row, int column, bool marked)
        {
            if (marked)
                top->HighlightTile(row, column);
            else
                top->UnhiglightTile(row, column);
        });
}

void Scene::deactivate()
{
    if (_sm)
    {
        for (const auto& entry : _entities)
        {
            Entity* entity = entry.second;
            if (!entity)
                continue;
            entity->setScene(nullptr);
            if (entity->getSprite())
            {
                Log::named("Session") << "Destroying sprite " << entry.first << std::endl;
                // Without this the characters of the scene just left would
                // still be drawn over the next scene's map. The entity keeps
                // its sprite; a scene entered later submits it again.
                takeSpriteBack(entry.first, entity);
            }
        }
        if (_map)
        {
            // The scene manager owned the layers since activate and frees
            // them now; the level map must not keep pointing at them.
            _map->setHighlightListener(nullptr);
            // The next scene's map must not show this one's walls.
            showWalkingGrid(false);
            for (tamsygraphics::Map* layer : _drawnLayers)
                _sm->DestroyMap(layerKey(layer->name));
            _drawnLayers.clear();
            _drawing.reset();
        }
    }
    _sm = nullptr;
}

std::string Scene::layerKey(const std::string& layerName) const
{
    return _id + layerName;
}

void Scene::showWalkingGrid(bool shown)
{
    if (!_sm || !_map || _drawnLayers.empty() || (!shown && !_walkingGridShown))
        return;
    _walkingGridShown = shown;
    const std::string grid = layerKey(_drawnLayers.front()->name);
    std::vector<std::pair<int, int>> triggers;
    const TriggerMap* triggerMap = _map->getTriggerMap();
    for (int row = 0; shown && triggerMap && row < triggerMap->getNumberOfRows(); ++row)
        for (int column = 0; column < triggerMap->getNumberOfColumns(); ++column)
            if (triggerMap->isTrigger(row, column))
                triggers.emplace_back(row, column);
    _sm->SubmitWalkingGrid(grid, shown ? _map->getPassabilityMap() : nullptr, triggers);
    Log::named("Scene") << (shown ? "Showing" : "Hiding") << " the walking grid of " << _id << std::endl;
}

void Scene::show()
{
    Log::named("Scene") << "SHOW LEVELS" << std::endl << _id << std::endl;
    setLayersVisible(true);
}

void Scene::hide()
{
    Log::named("Scene") << "HIDE LEVELS" << std::endl << _id << std::endl;
    setLayersVisible(false);
}

void Scene::setLayersVisible(bool visible)
{
    _layersShown = visible;
    for (tamsygraphics::Map* layer : _drawnLayers)
        layer->SetVisible(visible);
}

void Scene::insertEntity(Entity* entity, int row, int column)
{
    if (!entity)
    {
        Log::error() << "Scene::insertEntity - Unable to insert NULL entity" << std::endl;
        return;
    }
    Log::named("Scene") << _id << std::endl;
    if (_entities.count(entity->getId()))
    {
        Log::named("Scene") << "Scene::insertEntity - " << entity->getId() << " is already in scene " << _id
                            << std::endl;
        return;
    }
    Log::named("Scene") << "Inserting Entity at " << row << " " << column << std::endl;
    _entities[entity->getId()] = entity;
    entity->setScene(this);
    entity->setPosition(row, column);
    // The scene manager owns what it is handed, so a sprite it already
    // holds is not handed over twice.
    if (_sm && entity->getSprite() && _sm->GetSprite(entity->getId()) != entity->getSprite())
        lendSprite(entity->getId(), entity);
}

void Scene::removeEntity(const std::string& id)
{
    _entities.erase(id);
}

void Scene::withdrawEntity(const std::string& id)
{
    auto found = _entities.find(id);
    if (found == _entities.end())
        return;
    Entity* entity = found->second;
    _entities.erase(found);
    if (!entity)
        return;
    if (entity->getScene() == this)
        entity->setScene(nullptr);
    if (_sm && entity->getSprite())
        takeSpriteBack(id, entity);
}

Entity* Scene::getEntity(const std::string& id) const
{
    auto found = _entities.find(id);
    return found == _entities.end() ? nullptr : found->second;
}

EntityMap& Scene::getEntities()
{
    return _entities;
}

void Scene::insertEntitiesFromXMLElement(tinyxml2::XMLElement* first)
{
    for (tinyxml2::XMLElement* element = first; element; element = element->NextSiblingElement())
    {
        if (std::string(element->Name()) != "character")
            continue;
        const int column = readIntAttribute(element, "col");
        const int row = readIntAttribute(element, "row");
        const std::string id = nullToEmpty(element->Attribute("id"));
        if (_entities.count(id))
        {
            // Refused before it is built: a character never inserted would
            // stay in the store for good.
            Log::named("Scene") << "Scene::insertEntity - " << id << " is already in scene " << _id << std::endl;
            continue;
        }
        if (_map && !_map->isOnMap(row, column))
        {
            Log::error() << "Scene::insertEntitiesFromXML - " << NamedXMLDocument::fileOf(element) << ", line "
                         << element->GetLineNum() << ": character \"" << id << "\" at row " << row << ", column "
                         << column << " is outside the map; skipped" << std::endl;
            continue;
        }
        if (!characterMaker)
        {
            Log::error() << "Scene::insertEntitiesFromXML - " << NamedXMLDocument::fileOf(element) << ", line "
                         << element->GetLineNum() << ": no maker of characters was set; \"" << id << "\" skipped"
                         << std::endl;
            continue;
        }
        Entity* character = characterMaker(element);
        if (!character)
            continue;
        insertEntity(character, row, column);
    }
}

void Scene::insertEntitiesFromXMLFile(const std::string& fileName)
{
    NamedXMLDocument document(fileName);
    const std::string path = WORKING_DIRECTORY + "/" + fileName;
    if (GameFiles::loadXML(document, path) != tinyxml2::XML_SUCCESS)
    {
        Log::error() << "Scene::insertEntitiesFromXML - Failed to load or parse file " << fileName << std::endl;
        return;
    }
    insertEntitiesFromXMLElement(document.FirstChildElement());
}

void Scene::lendSprite(const std::string& id, Entity* entity)
{
    // While shown, the sprite is the scene manager's, which frees what it
    // holds when it goes; the entity must not free it as well.
    if (_sm->SubmitSprite(id, entity->getSprite()))
        entity->setSpriteLent(true);
}

void Scene::takeSpriteBack(const std::string& id, Entity* entity)
{
    if (_sm->GetSprite(id) != entity->getSprite())
        return;
    static_cast<void>(_sm->WithdrawSprite(id)); // the entity's own sprite
    entity->setSpriteLent(false);
}

void Scene::insertEffect(ShownEffect* effect)
{
    // An effect without a sprite has nothing to show.
    if (!_sm || !effect || !effect->getSprite())
        return;
    if (_sm->SubmitSprite(effect->getUniqueId(), effect->getSprite()))
        effect->setSpriteLent();
}

bool Scene::removeEffect(ShownEffect* effect)
{
    if (!_sm || !effect || !effect->getSprite() || _sm->GetSprite(effect->getUniqueId()) != effect->getSprite())
        return false;
    _sm->DestroySprite(effect->getUniqueId());
    return true;
}

void Scene::cull()
{
    for (auto it = _entities.begin(); it != _entities.end();)
    {
        Entity* entity = it->second;
        if (entity && entity->isRemoved())
        {
            // A removed entity no longer stands here, so it must not keep
            // colliding or firing this scene's triggers, nor be drawn.
            if (entity->getScene() == this)
                entity->setScene(nullptr);
            if (_sm && entity->getSprite())
                takeSpriteBack(it->first, entity);
            it = _entities.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

const std::string& Scene::getId() const
{
    return _id;
}

std::string Scene::getName() const
{
    return name;
}

LevelMap* Scene::getLevelMap() const
{
    return _map.get();
}

void Scene::setLevelMap(std::unique_ptr<LevelMap> map)
{
    _map = std::move(map);
}

bool Scene::isValid() const
{
    return _isValid;
}

bool Scene::isVisible() const
{
    return _sm != nullptr;
}

void Scene::printMap() const
{
    Log::plain() << "I'm a map!" << std::endl;
}
}
