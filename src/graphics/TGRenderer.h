#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <GL/glew.h>
#include <ft2build.h>
#include <glm/glm.hpp>
#include FT_FREETYPE_H

#include "graphics/TGCellSides.h"
#include "graphics/TGFrameDescription.h"
#include "graphics/TGImage.h"
#include "graphics/TGLayerCache.h"
#include "graphics/TGLayerMesh.h"
#include "graphics/TGPictureScaler.h"
#include "graphics/TGMap.h"
#include "graphics/TGSprite.h"
#include "graphics/TGSpriteBatch.h"
#include "graphics/TGSurface.h"

namespace tamsygraphics
{
class Camera;
class GUIManager;
class GUIRectangle;
class ResourceManager;
class SceneManager;
class Text;
class Texture;

typedef std::map<std::string, Text*> TextMap;
typedef std::map<std::string, GUIRectangle*> GUIRectangleMap;
// Layers of one pass in drawing order, with the names they were submitted as.
typedef std::vector<std::pair<std::string, const Map*>> LayerList;

// Owns the OpenGL state of the window and draws one frame per Draw():
// floor layers, passability overlay, furniture layers, sprites, other
// layers, GUI rectangles, texts; then swaps the buffers. Within a pass,
// objects are drawn in name order, so a later name covers an earlier one.
class Renderer
{
public:
    // Needs the window's GL context to be current. Without a window the
    // renderer assumes 640 x 480 and draws without presenting (no swap).
    // The graphics log goes to logDirectory/graphicslog.txt, by default the
    // working directory's logs folder (the game passes its state folder).
    Renderer(Surface* window, const std::string& workingDirectory, const std::string& logDirectory = "");
    virtual ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    SceneManager* GetSceneManager() const { return _sceneManager.get(); }
    ResourceManager* GetResourceManager() const { return _resourceManager.get(); }
    GUIManager* GetGUIManager() const { return _guiManager.get(); }

    void SetCamera(Camera* camera) { _camera = camera; }
    Camera* GetCamera() const { return _camera; }
    void GetClientDimenstions(int* width, int* height) const;

    void Submit(const std::string& name, Sprite* sprite);
    void Submit(const std::string& name, Text* text);
    void Submit(const std::string& name, GUIRectangle* rectangle);
    void Submit(const std::string& name, Map* map);
    // Shows the closed sides of `pmap` in the cells of `map` over every
    // layer while the passability overlay is on (a maker's view of why the
    // avatar cannot walk somewhere); a null grid clears them.
    void Submit(const std::string& name, Map* map, const CellSides* pmap);
    // The same with trigger tiles shaded too: a maker's view of where the
    // map can be walked and what fires. No grid (null) takes the view away.
    void Submit(const std::string& name, Map* map, const CellSides* pmap,
                const std::vector<std::pair<int, int>>& triggerCells);
    static constexpr const char* PASSABILITY_SIDES = "passSides";

    void RemoveSprite(const std::string& name);
    void RemoveText(const std::string& name);
    void RemoveRec(const std::string& name);
    void RemoveMap(const std::string& name);

    void EnableWireframe();
    void DisableWireframe();
    void EnableLevelOverlay() { _levelOverlay = true; }
    void DisableLevelOverlay() { _levelOverlay = false; }
    void EnablePassabilityOverlay() { _passabilityOverlay = true; }
    void DisablePassabilityOverlay() { _passabilityOverlay = false; }

    void Draw();

    // Receives a frame's pixels: width x height x 4 bytes (red, green, blue,
    // alpha 255), top row first; empty when it could not be read.
    typedef std::function<void(int width, int height, std::vector<unsigned char>& rgba)> CaptureDone;
    // The next Draw draws even an unchanged frame and reads it back just
    // before showing it, so the picture is exactly what the window shows.
    void CaptureNextFrame(CaptureDone done) { _capture = std::move(done); }

    // Animated tiles show the frame of this time, in milliseconds, from now
    // on; until it is set, a renderer with a window follows the clock and
    // one without shows time 0.
    void SetAnimationTime(long long ms)
    {
        _animationMs = ms;
        _animationFixed = true;
    }
    long long AnimationTime() const;
    // Whether layers with a parallax factor other than 1 move against the
    // camera, as in the editor's view (the default); without, they keep
    // their offset only, as the editor exports a whole map.
    void SetParallaxFollowsCamera(bool follows) { _parallaxFollowsCamera = follows; }
    // Where a layer's offset and parallax put it, in world units.
    glm::vec2 LayerShift(const Map* map) const;

    // Registries as the passes see them (read-only, for inspection).
    const MapMap& GetFloorMaps() const { return _floorMap; }
    const MapMap& GetFurnitureMaps() const { return _furniture; }
    const MapMap& GetOtherMaps() const { return _otherMaps; }
    // Layers of maps drawn in the editor's order, under or over the sprites.
    const MapMap& GetEditorOrderMaps(bool overSprites) const { return overSprites ? _editorOver : _editorUnder; }
    // Object layers whose tile objects are drawn among the sprites.
    const MapMap& GetSpriteLayers() const { return _spriteLayers; }
    const MapMap& GetMaps() const { return _maps; }
    const SpriteMap& GetSprites() const { return _spriteMap; }
    const TextMap& GetTexts() const { return _textMap; }
    const GUIRectangleMap& GetGUIRectangles() const { return _guiRecMap; }
    const LayerCache& GetLayerCache() const { return _layerCache; }
    // False when the last Draw found the window already showing that frame
    // and neither drew nor swapped.
    bool DrewLastFrame() const { return _drewLastFrame; }

    // Every texture is bound to this unit right before the draw call that
    // samples it, so any number of textures and glyph atlases coexist.
    static const int DRAW_TEXTURE_UNIT = 0;
    // Binds a 2D texture for the next draw call and returns the unit to give
    // the sampler uniform.
    static int BindForDraw(GLuint textureId);

private:
    void OpenFileLog(const std::string& logDirectory);
    void InitGlew();
    void LogContextStrings();
    void SetFixedState();
    void LoadDefaultFace(const std::string& workingDirectory);

    // Texture named `name`, else "mopkin" with a message; may be null.
    Texture* TextureOrFallback(const std::string& name);
    // Whether the window already shows the frame described (and so need not
    // be given it again); remembers what it is given otherwise.
    bool ShowingAlready(const FrameDescription& frame, bool complete);
    // Floors, passability overlay and furniture, from the layer cache when
    // nothing they show has changed since the last frame (`cacheable` false:
    // drawn whatever the last frame showed).
    void DrawUnderSprites(const glm::mat4& viewProj, const LayerCache::Key& key, bool cacheable);
    void DrawUnderSpritesDirectly(const glm::mat4& viewProj);
    // What the layers under the sprites depend on; false when something in
    // them must be done every frame (a missing texture is reported every
    // frame) or cannot be told from their state (wireframe mode).
    bool DescribeUnderSprites(const glm::mat4& viewProj, LayerCache::Key& key);
    // Adds the visible layers of a group; clears `complete` on a missing
    // texture.
    void DescribeLayerGroup(const LayerList& group, const glm::mat4& viewProj, std::vector<LayerCache::Layer>& layers,
                            bool& complete);
    // The tiles that the animated tiles the camera can see show, in the
    // mesh's order: a frame changes only when one of these does.
    std::vector<int> VisibleFrames(const Map* map, const LayerMesh& mesh, const glm::mat4& viewProj) const;
    // The quads of a layer to draw: the cells the camera sees, then every
    // tile object.
    std::vector<std::pair<unsigned int, unsigned int>> QuadsToDraw(const Map* map, const LayerMesh& mesh,
                                                                   const glm::mat4& viewProj) const;
    static LayerList InNameOrder(const MapMap& group);
    // By each layer's place in its map, then by name.
    static LayerList InEditorOrder(const MapMap& group);
    // Fills the sprite batch for this frame; false when a sprite's texture
    // is missing.
    bool BatchSprites(FrameDescription& frame);
    void DescribeGUI(FrameDescription& frame);
    void DrawLayerGroup(const LayerList& group, const glm::mat4& viewProj);
    // Gives each shown layer whose animated tiles changed frame its new
    // pictures.
    void AdvanceAnimations();
    LayerMesh BuildLayerMesh(const std::string& name, Map* map);
    // One image per tileset of the layer; a tileset texture not yet
    // registered is loaded from the tileset's image when it has one.
    std::vector<const ImageInfo*> LayerImages(const Map* map);
    const Texture* LoadTilesetTexture(const Tileset& tileset);
    // The quads of a layer that the camera can see, in drawing order.
    std::vector<std::pair<unsigned int, unsigned int>> VisibleQuads(const Map* map, const LayerMesh& mesh,
                                                                    const glm::mat4& viewProj) const;
    void DrawLayerTiles(const Map* map, const LayerMesh& mesh,
                        const std::vector<std::pair<unsigned int, unsigned int>>& quads, GLuint program);
    void DrawHighlights(const Map* map, const glm::mat4& viewProj);
    void DrawPassabilityOverlay(const glm::mat4& viewProj);
    void DrawPassabilitySides(const glm::mat4& viewProj);
    // One of the walking-grid view's meshes, when the view is on.
    void DrawPassabilityMesh(const std::string& mesh, const glm::mat4& viewProj);
    void DrawSprites(const glm::mat4& viewProj);
    // The sprites and the tile objects of the layers that hold them, from
    // the back of the screen (top) to the front (bottom).
    void DrawSpritesAmongObjects(const glm::mat4& viewProj);
    void DrawSpriteRun(const std::vector<const Sprite*>& sprites, const glm::mat4& viewProj);
    void DrawObjectRun(const std::string& name, const Map* map, const std::vector<unsigned int>& quads,
                       const glm::mat4& viewProj);
    void DrawGUI();
    void DeliverCapture(int width, int height);
    // Draws into the picture, which the scaler copies into a bigger window.
    void BeginPicture(int width, int height);
    void DrawGUIRectangles(const std::vector<const GUIRectangle*>& rectangles);
    // The theme's panel picture, null when panels are flat.
    const Texture* PanelTexture();
    void DrawPanel(GLuint program, const GUIRectangle& rectangle, const Texture& picture, unsigned int indices);
    // False, drawing nothing, when the rectangle's picture is not there.
    bool DrawImage(GLuint program, const GUIRectangle& rectangle, unsigned int indices);
    void DrawTexts(const std::vector<const Text*>& texts);
    void PrepareTextBuffers(GLuint program);

    std::unique_ptr<SceneManager> _sceneManager;
    SpriteMap _spriteMap;
    TextMap _textMap;
    MapMap _maps;
    MapMap _floorMap;
    MapMap _furniture;
    MapMap _otherMaps;
    MapMap _editorUnder;
    MapMap _editorOver;
    MapMap _spriteLayers;
    // What each submitted layer needs to draw only what the camera sees
    // (its vertices live in the resource manager).
    std::map<std::string, LayerMesh> _layerMeshes;
    Camera* _camera = nullptr;
    GUIRectangleMap _guiRecMap;
    std::unique_ptr<ResourceManager> _resourceManager;
    std::unique_ptr<GUIManager> _guiManager;
    Surface* _window = nullptr;
    // A window bigger than the picture gets it scaled up whole.
    PictureScaler _scaler;
    bool _levelOverlay = false;
    bool _passabilityOverlay = true;
    unsigned int _passabilitySidesVersion = 0;
    bool _wireframe = false;
    long long _animationMs = 0;
    bool _parallaxFollowsCamera = true;
    bool _animationFixed = false;
    LayerCache _layerCache;
    // What the window shows, when it was drawn from a complete description.
    FrameDescription _presented;
    bool _presentedKnown = false;
    bool _drewLastFrame = false;
    CaptureDone _capture;
    FT_Library _ft = nullptr;
    // The face reads its tables from these bytes for as long as it lives.
    std::string _faceBytes;
    FT_Face _face = nullptr;
    // The sprite pass's quads, rebuilt every frame.
    SpriteBatch _spriteBatch;
    // Vertex array and buffer of the text pass, created on first use.
    GLuint _textVAO = 0;
    GLuint _textVBO = 0;
};
}
