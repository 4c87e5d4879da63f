#pragma once

#include <map>
#include <memory>
#include <string>

#include "graphics/TGCamera.h"
#include "graphics/TGCellSides.h"
#include "graphics/TGMap.h"
#include "graphics/TGSprite.h"
#include "util/NamedRegistry.h"

namespace tamsygraphics
{
class Renderer;
class Text;

typedef std::map<std::string, Text*> TextMap;

// Game code's entry to the drawable world: owns layers, tilesets, sprites,
// cameras and world texts by name and hands the drawable ones to the
// renderer. Objects are owned from creation or submission on; destroying
// deletes them, withdrawing hands them back. A name registered again keeps
// the replaced object alive until the scene manager goes.
class SceneManager
{
public:
    explicit SceneManager(Renderer* renderer);
    virtual ~SceneManager() = default;

    Map* CreateMap(const std::string& name);
    // Takes ownership of the layer (a scene's level map hands its layers
    // over while the scene is shown).
    void SubmitMap(const std::string& name, std::unique_ptr<Map> map);
    // Takes the map over, as the one above.
    void SubmitMap(const std::string& name, Map* map);
    void DestroyMap(const std::string& name);
    void SubmitPassabilityMap(const std::string& name, const CellSides* pmap);
    // The maker's view of the walking grid over the layer `name`: closed
    // sides and trigger tiles; a null grid takes it away.
    void SubmitWalkingGrid(const std::string& name, const CellSides* pmap,
                           const std::vector<std::pair<int, int>>& triggerCells);
    Map* GetMap(const std::string& name) const;

    Tileset* CreateTileset(const std::string& name);
    Tileset* GetTileset(const std::string& name) const;

    // Takes ownership of the sprite until it is withdrawn.
    bool SubmitSprite(const std::string& name, Sprite* sprite);
    Sprite* CreateSprite(const std::string& name);
    Sprite* GetSprite(const std::string& name) const;
    void DestroySprite(const std::string& name);
    // Stops drawing a sprite and hands ownership back to the caller (a scene
    // taking its entities' sprites back when it is left); null if unknown.
    Sprite* WithdrawSprite(const std::string& name);

    Camera* CreateCamera(const std::string& name);
    Camera* GetCamera(const std::string& name) const;
    void DestroyCamera(const std::string& name);
    void SetActiveCamera(const std::string& name);
    Camera* GetActiveCamera() const { return _activeCamera; }

    Text* CreateText(const std::string& name);
    void DestroyText(const std::string& name);

private:
    // A new object of the registry's kind under the name, handed to the renderer.
    template <class T>
    T* createDrawn(NamedRegistry<T>& registry, const std::string& name, const char* replacedMessage);

    Renderer* _renderer;
    NamedRegistry<Sprite> _sprites;
    NamedRegistry<Camera> _cameras;
    NamedRegistry<Map> _maps;
    NamedRegistry<Tileset> _tilesets;
    // The tileset each submitted layer draws with; the layer's level map
    // owns it.
    std::map<std::string, Tileset*> _layerTilesets;
    NamedRegistry<Text> _texts;
    Camera* _activeCamera = nullptr;
};
}
