#include "graphics/TGSceneManager.h"

#include "Log/FileLog.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGText.h"

namespace tamsygraphics
{
namespace
{
const float CAMERA_FOV = 45.0f;
const float CAMERA_NEAR = 0.5f;
const float CAMERA_FAR = 100.0f;

template <typename M>
typename M::mapped_type Find(const M& registry, const std::string& name)
{
    auto it = registry.find(name);
    return it == registry.end() ? nullptr : it->second;
}
}

SceneManager::SceneManager(Renderer* renderer) : _renderer(renderer)
{
}

Map* SceneManager::CreateMap(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::CreateMap) Creating a new map (" << name << ")";
    if (_maps.count(name))
        FILE_LOG(logERROR) << "(SceneManager::CreateMap) Overwriting previously created map (" << name << ")";
    Map* map = new Map();
    map->name = name;
    _maps[name] = map;
    return map;
}

void SceneManager::SubmitMap(const std::string& name, Map* map)
{
    FILE_LOG(logINFO) << "(SceneManager::SubmitMap) Submitting Map (" << name << ")";
    if (!map)
    {
        FILE_LOG(logERROR) << "(SceneManager::SubmitMap) Submitted NULL map as (" << name << ")";
        return;
    }
    if (_maps.count(name))
        FILE_LOG(logERROR) << "(SceneManager::SubmitMap) Overwriting previously created map (" << name << ")";
    _tilesets[name] = map->tileset;
    _maps[name] = map;
    _renderer->Submit(name, map);
}

void SceneManager::DestroyMap(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::DestroyMap) Destroying Map (" << name << ")";
    auto it = _maps.find(name);
    if (it == _maps.end())
    {
        FILE_LOG(logERROR) << "(SceneManager::DestroyMap) Destroying map that doesnt exist (" << name << ")";
        return;
    }
    _renderer->RemoveMap(name);
    delete it->second;
    _maps.erase(it);
}

void SceneManager::SubmitPassabilityMap(const std::string& name, core::PassabilityMap* pmap)
{
    FILE_LOG(logINFO) << "(SceneManager::SubmitPassabilityMap) Submitting PassabilityMap (" << name << ")";
    auto it = _maps.find(name);
    if (it == _maps.end())
    {
        FILE_LOG(logERROR) << "(SceneManager::SubmitPassabilityMap) Submitting Passability Map that doesnt exist ("
                           << name << ")";
        return;
    }
    _renderer->Submit(name, it->second, pmap);
}

Map* SceneManager::GetMap(const std::string& name) const
{
    return Find(_maps, name);
}

Tileset* SceneManager::CreateTileset(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::CreateTileset) Creating tileset (" << name << ")";
    Tileset* tileset = new Tileset();
    tileset->name = name;
    _tilesets[name] = tileset;
    return tileset;
}

Tileset* SceneManager::GetTileset(const std::string& name) const
{
    FILE_LOG(logINFO) << "(SceneManager::GetTileset) Get tileset(" << name << ")";
    return Find(_tilesets, name);
}

bool SceneManager::SubmitSprite(const std::string& name, Sprite* sprite)
{
    FILE_LOG(logINFO) << "(SceneManager::SubmitSprite) Submitting sprite (" << name << ")";
    if (!sprite)
    {
        FILE_LOG(logERROR) << "(SceneManager::SubmitSprite) Submitted NULL sprite (" << name << ")";
        return false;
    }
    if (_sprites.count(name))
        FILE_LOG(logERROR) << "(SceneManager::SubmitSprite) Overwriting already created sprite (" << name << ")";
    _sprites[name] = sprite;
    _renderer->Submit(name, sprite);
    return true;
}

Sprite* SceneManager::CreateSprite(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::CreateSprite) Creating sprite (" << name << ")";
    if (_sprites.count(name))
        FILE_LOG(logERROR) << "(SceneManager::CreateSprite) Overwriting already created sprite (" << name << ")";
    Sprite* sprite = new Sprite(name);
    _sprites[name] = sprite;
    _renderer->Submit(name, sprite);
    return sprite;
}

Sprite* SceneManager::GetSprite(const std::string& name) const
{
    Sprite* sprite = Find(_sprites, name);
    if (!sprite)
        FILE_LOG(logINFO) << "(SceneManager::GetSprite) Attempting to retrieve sprite that doesnt exist (" << name
                          << ")";
    return sprite;
}

void SceneManager::DestroySprite(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::DestroySprite) Destroying sprite (" << name << ")";
    auto it = _sprites.find(name);
    if (it == _sprites.end())
    {
        FILE_LOG(logERROR) << "(SceneManager::DestroySprite) Destroying sprite that doesnt exist (" << name << ")";
        return;
    }
    _renderer->RemoveSprite(name);
    delete it->second;
    _sprites.erase(it);
}

Sprite* SceneManager::WithdrawSprite(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::WithdrawSprite) Withdrawing sprite (" << name << ")";
    auto it = _sprites.find(name);
    if (it == _sprites.end())
    {
        FILE_LOG(logERROR) << "(SceneManager::WithdrawSprite) Withdrawing sprite that doesnt exist (" << name << ")";
        return nullptr;
    }
    Sprite* sprite = it->second;
    _renderer->RemoveSprite(name);
    _sprites.erase(it);
    return sprite;
}

Camera* SceneManager::CreateCamera(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::CreateCamera) Creating camera (" << name << ")";
    if (_cameras.count(name))
        FILE_LOG(logERROR) << "(SceneManager::CreateCamera) Overwriting already created camera (" << name << ")";
    int width = 0;
    int height = 0;
    _renderer->GetClientDimenstions(&width, &height);
    Camera* camera = new Camera(name, width, height, CAMERA_FOV, CAMERA_NEAR, CAMERA_FAR);
    _cameras[name] = camera;
    return camera;
}

Camera* SceneManager::GetCamera(const std::string& name) const
{
    Camera* camera = Find(_cameras, name);
    if (!camera)
        FILE_LOG(logINFO) << "(SceneManager::GetCamera) Attempting to retrieve camera that doesnt exist (" << name
                          << ")";
    return camera;
}

void SceneManager::DestroyCamera(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::DestroyCamera) destroying camera (" << name << ")";
    auto it = _cameras.find(name);
    if (it == _cameras.end())
    {
        FILE_LOG(logERROR) << "(SceneManager::DestroyCamera) Attempting to destroy camera that doesnt exists";
        return;
    }
    if (it->second == _activeCamera)
    {
        FILE_LOG(logERROR) << "(SceneManager::DestroyCamera) Attempting to destroy active camera";
        return;
    }
    // A sprite still carrying the camera would move freed memory on its
    // next MoveTo.
    for (auto& sprite : _sprites)
    {
        if (sprite.second && sprite.second->GetCamera() == it->second)
            sprite.second->DetachCamera();
    }
    delete it->second;
    _cameras.erase(it);
}

void SceneManager::SetActiveCamera(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::SetActiveCamera) Setting active camera (" << name << ")";
    Camera* camera = Find(_cameras, name);
    if (!camera)
    {
        FILE_LOG(logERROR)
            << "(SceneManager::SetActiveCamera) Trying to set active camera to camera that doesnt exists (" << name
            << ")";
        return;
    }
    _activeCamera = camera;
    _renderer->SetCamera(camera);
}

Text* SceneManager::CreateText(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::CreateText) Creating Text (" << name << ")";
    if (_texts.count(name))
        FILE_LOG(logERROR) << "(SceneManager::CreateText) Overwriting already created text (" << name << ")";
    Text* text = new Text(name);
    _texts[name] = text;
    _renderer->Submit(name, text);
    return text;
}

void SceneManager::DestroyText(const std::string& name)
{
    FILE_LOG(logINFO) << "(SceneManager::DestroyText) Destroying text (" << name << ")";
    auto it = _texts.find(name);
    if (it == _texts.end())
    {
        FILE_LOG(logERROR) << "(SceneManager::DestroyText) Destroying text that doesn't exist (" << name << ")";
        return;
    }
    _renderer->RemoveText(name);
    delete it->second;
    _texts.erase(it);
}
}
