#include "graphics/TGSceneManager.h"

#include "Log/Log.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGText.h"

namespace tamsygraphics
{
namespace
{
const float CAMERA_FOV = 45.0f;
const float CAMERA_NEAR = 0.5f;
const float CAMERA_FAR = 100.0f;
}

SceneManager::SceneManager(Renderer* renderer) : _renderer(renderer)
{
}

Map* SceneManager::CreateMap(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::CreateMap) Creating a new map (" << name << ")";
    auto map = std::make_unique<Map>();
    map->name = name;
    return _maps.put(name, std::move(map), "(SceneManager::CreateMap) Overwriting previously created map");
}

void SceneManager::SubmitMap(const std::string& name, std::unique_ptr<Map> map)
{
    Log::file(logINFO) << "(SceneManager::SubmitMap) Submitting Map (" << name << ")";
    if (!map)
    {
        Log::file(logERROR) << "(SceneManager::SubmitMap) Submitted NULL map as (" << name << ")";
        return;
    }
    Map* submitted = map.get();
    _layerTilesets[name] = submitted->tileset;
    _maps.put(name, std::move(map), "(SceneManager::SubmitMap) Overwriting previously created map");
    _renderer->Submit(name, submitted);
}

void SceneManager::SubmitMap(const std::string& name, Map* map)
{
    SubmitMap(name, std::unique_ptr<Map>(map));
}

void SceneManager::DestroyMap(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::DestroyMap) Destroying Map (" << name << ")";
    // Callers often pass the layer's own name: the layer dies last.
    std::unique_ptr<Map> map = _maps.take(name, "(SceneManager::DestroyMap) Destroying map that doesnt exist");
    if (map)
    {
        _renderer->RemoveMap(name);
        _layerTilesets.erase(name);
    }
}

void SceneManager::SubmitPassabilityMap(const std::string& name, const CellSides* pmap)
{
    Log::file(logINFO) << "(SceneManager::SubmitPassabilityMap) Submitting PassabilityMap (" << name << ")";
    Map* map = _maps.get(name);
    if (!map)
    {
        Log::file(logERROR) << "(SceneManager::SubmitPassabilityMap) Submitting Passability Map that doesnt exist ("
                            << name << ")";
        return;
    }
    _renderer->Submit(name, map, pmap);
}

void SceneManager::SubmitWalkingGrid(const std::string& name, const CellSides* pmap,
                                     const std::vector<std::pair<int, int>>& triggerCells)
{
    Map* map = _maps.get(name);
    if (!map)
    {
        FILE_LOG(logERROR) << "(SceneManager::SubmitWalkingGrid) No layer (" << name << ") to show the grid over";
        return;
    }
    _renderer->Submit(name, map, pmap, triggerCells);
}

Map* SceneManager::GetMap(const std::string& name) const
{
    return _maps.get(name);
}

Tileset* SceneManager::CreateTileset(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::CreateTileset) Creating tileset (" << name << ")";
    auto tileset = std::make_unique<Tileset>();
    tileset->name = name;
    _layerTilesets.erase(name);
    return _tilesets.put(name, std::move(tileset), nullptr);
}

Tileset* SceneManager::GetTileset(const std::string& name) const
{
    Log::file(logINFO) << "(SceneManager::GetTileset) Get tileset(" << name << ")";
    auto borrowed = _layerTilesets.find(name);
    return borrowed != _layerTilesets.end() ? borrowed->second : _tilesets.get(name);
}

bool SceneManager::SubmitSprite(const std::string& name, Sprite* sprite)
{
    Log::file(logINFO) << "(SceneManager::SubmitSprite) Submitting sprite (" << name << ")";
    if (!sprite)
    {
        Log::file(logERROR) << "(SceneManager::SubmitSprite) Submitted NULL sprite (" << name << ")";
        return false;
    }
    _sprites.put(name, std::unique_ptr<Sprite>(sprite),
                 "(SceneManager::SubmitSprite) Overwriting already created sprite");
    _renderer->Submit(name, sprite);
    return true;
}

template <class T>
T* SceneManager::createDrawn(NamedRegistry<T>& registry, const std::string& name, const char* replacedMessage)
{
    T* object = registry.put(name, std::make_unique<T>(name), replacedMessage);
    _renderer->Submit(name, object);
    return object;
}

Sprite* SceneManager::CreateSprite(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::CreateSprite) Creating sprite (" << name << ")";
    return createDrawn(_sprites, name, "(SceneManager::CreateSprite) Overwriting already created sprite");
}

Sprite* SceneManager::GetSprite(const std::string& name) const
{
    return _sprites.find(name, "(SceneManager::GetSprite) Attempting to retrieve sprite that doesnt exist", logINFO);
}

void SceneManager::DestroySprite(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::DestroySprite) Destroying sprite (" << name << ")";
    // The name may belong to the object itself: it dies last.
    if (auto gone = _sprites.take(name, "(SceneManager::DestroySprite) Destroying sprite that doesnt exist"))
        _renderer->RemoveSprite(name);
}

Sprite* SceneManager::WithdrawSprite(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::WithdrawSprite) Withdrawing sprite (" << name << ")";
    std::unique_ptr<Sprite> sprite =
        _sprites.take(name, "(SceneManager::WithdrawSprite) Withdrawing sprite that doesnt exist");
    if (sprite)
        _renderer->RemoveSprite(name);
    // Back to the caller, who drew it before and will submit it again.
    return sprite.release();
}

Camera* SceneManager::CreateCamera(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::CreateCamera) Creating camera (" << name << ")";
    int width = 0;
    int height = 0;
    _renderer->GetClientDimenstions(&width, &height);
    auto camera = std::make_unique<Camera>(name, width, height, CAMERA_FOV, CAMERA_NEAR, CAMERA_FAR);
    return _cameras.put(name, std::move(camera), "(SceneManager::CreateCamera) Overwriting already created camera");
}

Camera* SceneManager::GetCamera(const std::string& name) const
{
    return _cameras.find(name, "(SceneManager::GetCamera) Attempting to retrieve camera that doesnt exist", logINFO);
}

void SceneManager::DestroyCamera(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::DestroyCamera) destroying camera (" << name << ")";
    Camera* camera = _cameras.get(name);
    if (!camera)
    {
        Log::file(logERROR) << "(SceneManager::DestroyCamera) Attempting to destroy camera that doesnt exists";
        return;
    }
    if (camera == _activeCamera)
    {
        Log::file(logERROR) << "(SceneManager::DestroyCamera) Attempting to destroy active camera";
        return;
    }
    // A sprite still carrying the camera would move freed memory on its
    // next MoveTo.
    for (const auto& sprite : _sprites.items())
    {
        if (sprite.second && sprite.second->GetCamera() == camera)
            sprite.second->DetachCamera();
    }
    _cameras.take(name, nullptr);
}

void SceneManager::SetActiveCamera(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::SetActiveCamera) Setting active camera (" << name << ")";
    Camera* camera = _cameras.find(
        name, "(SceneManager::SetActiveCamera) Trying to set active camera to camera that doesnt exists", logERROR);
    if (!camera)
        return;
    _activeCamera = camera;
    _renderer->SetCamera(camera);
}

Text* SceneManager::CreateText(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::CreateText) Creating Text (" << name << ")";
    return createDrawn(_texts, name, "(SceneManager::CreateText) Overwriting already created text");
}

void SceneManager::DestroyText(const std::string& name)
{
    Log::file(logINFO) << "(SceneManager::DestroyText) Destroying text (" << name << ")";
    // The name may belong to the object itself: it dies last.
    if (auto gone = _texts.take(name, "(SceneManager::DestroyText) Destroying text that doesn't exist"))
        _renderer->RemoveText(name);
}
}
