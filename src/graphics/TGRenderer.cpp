#include "graphics/TGRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include <sys/stat.h>

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "Log/FileLog.h"
#include "Log/Log.h"
#include "graphics/TGCamera.h"
#include "graphics/TGFont.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGImageLoader.h"
#include "graphics/TGNineSlice.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "graphics/TGText.h"
#include "util/GameFiles.h"
#include "util/Owner.h"
#include "util/util.h"

namespace tamsygraphics
{
namespace
{

void SetInt(GLuint program, const char* name, int value)
{
    glUniform1i(glGetUniformLocation(program, name), value);
}

void SetMat4(GLuint program, const char* name, const glm::mat4& value)
{
    glUniformMatrix4fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(value));
}

void SetMat2(GLuint program, const char* name, const glm::mat2& value)
{
    glUniformMatrix2fv(glGetUniformLocation(program, name), 1, GL_FALSE, glm::value_ptr(value));
}

void SetVec2(GLuint program, const char* name, const glm::vec2& value)
{
    glUniform2fv(glGetUniformLocation(program, name), 1, glm::value_ptr(value));
}

const char* GLString(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "";
}

void DrawIndexed(GLenum mode, unsigned int count)
{
    if (count > 0)
        glDrawElements(mode, static_cast<GLsizei>(count), GL_UNSIGNED_INT, nullptr);
}

// `count` indices from index `first` of the bound element buffer.
void DrawIndexRange(GLenum mode, unsigned int first, unsigned int count)
{
    if (count > 0)
        glDrawElements(mode, static_cast<GLsizei>(count), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(static_cast<std::size_t>(first) * sizeof(GLuint)));
}
}

Renderer::Renderer(Surface* window, const std::string& workingDirectory, const std::string& logDirectory)
    : _window(window)
{
    _levelOverlay = false;
    _passabilityOverlay = true;
    OpenFileLog(logDirectory.empty() ? workingDirectory + "/logs" : logDirectory);
    Log::plain() << "Renderer Loading" << std::endl;
    InitGlew();
    LogContextStrings();

    _sceneManager = std::make_unique<SceneManager>(this);
    _resourceManager = std::make_unique<ResourceManager>(workingDirectory);
    _guiManager = std::make_unique<GUIManager>(this);

    int width = 0;
    int height = 0;
    GetClientDimenstions(&width, &height);
    glViewport(0, 0, width, height);
    SetFixedState();
    LoadDefaultFace(workingDirectory);
    EnableLevelOverlay();
}

Renderer::~Renderer()
{
    // The GUI manager unregisters its elements from this renderer.
    _guiManager.reset();
    _resourceManager.reset();
    _sceneManager.reset();
    if (_face)
        FT_Done_Face(_face);
    if (_ft)
        FT_Done_FreeType(_ft);
}

void Renderer::OpenFileLog(const std::string& logDirectory)
{
    FILELog::ReportingLevel() = logDEBUG3;
    // A fresh checkout has no log folder; without it the graphics log
    // would be silently lost for the whole run.
    std::error_code error;
    std::filesystem::create_directories(logDirectory, error);
    const std::string path = logDirectory + "/graphicslog.txt";
    // Never closed: anything may log until the process ends.
    const gsl::owner<FILE*> file = std::fopen(path.c_str(), "w");
    if (!file)
        Log::plainError() << "(Renderer::Renderer) Cannot open graphics log " << path << std::endl;
    Output2FILE::Stream() = file;
}

void Renderer::InitGlew()
{
    glewExperimental = GL_TRUE;
    GLenum result = glewInit();
    // GLEW loads the GL entry points first and only then asks for a GLX
    // display, which an EGL context drawing off-screen does not have.
#ifdef GLEW_ERROR_NO_GLX_DISPLAY
    if (result == GLEW_ERROR_NO_GLX_DISPLAY && glGetString(GL_VERSION))
        result = GLEW_OK;
#endif
    if (result != GLEW_OK)
    {
        Log::plain() << "GLEW Initialization failed. Exiting." << std::endl;
        Log::plain() << reinterpret_cast<const char*>(glewGetErrorString(result)) << std::endl;
        Log::file(logERROR) << "GLEW initialization failed. Exiting.";
        std::exit(EXIT_FAILURE);
    }
    // Loading core-profile entry points may leave a harmless error behind.
    while (glGetError() != GL_NO_ERROR)
    {
    }
}

void Renderer::LogContextStrings()
{
    Log::file(logINFO) << "Vendor: " << GLString(GL_VENDOR);
    Log::file(logINFO) << "Renderer: " << GLString(GL_RENDERER);
    Log::file(logINFO) << GLString(GL_VERSION);
    Log::file(logINFO) << "GLSL: " << GLString(GL_SHADING_LANGUAGE_VERSION);
    Log::plain() << "Vendor:   " << GLString(GL_VENDOR) << "\n";
    Log::plain() << "Renderer: " << GLString(GL_RENDERER) << "\n";
    Log::plain() << "Version:  " << GLString(GL_VERSION) << "\n";
    Log::plain() << "GLSL:     " << GLString(GL_SHADING_LANGUAGE_VERSION) << std::endl;
}

void Renderer::SetFixedState()
{
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glDisable(GL_DITHER);
#ifndef __EMSCRIPTEN__
    // WebGL has no such switch: its canvas is made without multisampling.
    glDisable(GL_MULTISAMPLE);
#endif
    glDisable(GL_DEPTH_TEST);
    Log::file(logINFO) << "(Renderer::Renderer) Depth Test: Disabled";
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    Log::file(logINFO) << "(Renderer::Renderer) Blend Mode: Enabled";
}

void Renderer::LoadDefaultFace(const std::string& workingDirectory)
{
    if (FT_Init_FreeType(&_ft) != 0)
    {
        _ft = nullptr;
        Log::file(logERROR) << "(Renderer::Renderer) FreeType Init Failed";
        return;
    }
    const std::string path = workingDirectory + "/assets/fonts/Eadui.ttf";
    if (!GameFiles::read(path, _faceBytes) ||
        FT_New_Memory_Face(_ft, reinterpret_cast<const FT_Byte*>(_faceBytes.data()),
                           static_cast<FT_Long>(_faceBytes.size()), 0, &_face) != 0)
    {
        _face = nullptr;
        Log::file(logERROR) << "(Renderer::Renderer) FreeType Font Load Failed";
        return;
    }
    if (FT_Set_Pixel_Sizes(_face, 0, 72) != 0)
        Log::file(logERROR) << "(Renderer::Renderer) FreeType Font Size Failure";
}

void Renderer::GetClientDimenstions(int* width, int* height) const
{
    int w = static_cast<int>(WINDOW_WIDTH);
    int h = static_cast<int>(WINDOW_HEIGHT);
    if (_window)
        _window->GetDimensions(&w, &h);
    if (width)
        *width = w;
    if (height)
        *height = h;
}

void Renderer::Submit(const std::string& name, Sprite* sprite)
{
    _spriteMap[name] = sprite;
}

void Renderer::Submit(const std::string& name, Text* text)
{
    _textMap[name] = text;
}

void Renderer::Submit(const std::string& name, GUIRectangle* rectangle)
{
    _guiRecMap[name] = rectangle;
}

const Texture* Renderer::LoadTilesetTexture(const Tileset& tileset)
{
    const Texture* texture = _resourceManager->GetTexture(tileset.imageName);
    // The game's start-up tileset texture is never loaded behind its back.
    if (texture || tileset.imagePath.empty() || tileset.imageName == "tileset")
        return texture;
    std::unique_ptr<Image> image(ImageLoader().LoadImage(tileset.imagePath));
    if (!image->data)
        return nullptr;
    ImageLoader::ApplyColourKey(*image, tileset.transparentColour);
    return _resourceManager->BindTexture(tileset.imageName, image.get());
}

std::vector<const ImageInfo*> Renderer::LayerImages(const Map* map)
{
    std::vector<const ImageInfo*> images;
    std::vector<Tileset*> tilesets = map->tilesets;
    if (tilesets.empty())
        tilesets.push_back(map->tileset);
    for (const Tileset* tileset : tilesets)
    {
        const Texture* texture = tileset ? LoadTilesetTexture(*tileset) : nullptr;
        images.push_back(texture ? &texture->info : nullptr);
    }
    return images;
}

void Renderer::Submit(const std::string& name, Map* map)
{
    if (!map)
        return;
    LayerMesh mesh = BuildLayerMesh(name, map);
    _resourceManager->CreateGeometry(name, mesh.geometry);
    mesh.geometry = Geometry();

    RemoveMap(name);
    _layerMeshes[name] = std::move(mesh);
    if (map->holdsSprites)
        _spriteLayers[name] = map;
    else if (map->editorOrder)
        (map->overSprites ? _editorOver : _editorUnder)[name] = map;
    else if (name.find("Floor") != std::string::npos)
        _floorMap[name] = map;
    else if (name.find("Furniture") != std::string::npos)
        _furniture[name] = map;
    else
        _otherMaps[name] = map;
    _maps[name] = map;
}

LayerMesh Renderer::BuildLayerMesh(const std::string&, Map* map)
{
    return _resourceManager->GetGeometryFactory().GenerateLayerMesh(map, LayerImages(map), AnimationTime());
}

long long Renderer::AnimationTime() const
{
    if (_animationFixed || !_window)
        return _animationMs;
    return static_cast<long long>(glfwGetTime() * 1000.0);
}

glm::vec2 Renderer::LayerShift(const Map* map) const
{
    if (!map->tileset || map->tileset->tileWidth <= 0 || map->tileset->tileHeight <= 0)
        return glm::vec2(0.0f, 0.0f);
    const float sx = static_cast<float>(map->tileset->renderedTileWidth) / map->tileset->tileWidth;
    const float sy = static_cast<float>(map->tileset->renderedTileHeight) / map->tileset->tileHeight;
    float x = map->offsetX;
    float y = map->offsetY;
    if (_parallaxFollowsCamera && _camera && (map->parallaxX != 1.0f || map->parallaxY != 1.0f))
    {
        // The view's centre in map pixels from the map's top-left.
        const glm::vec3 centre = _camera->GetPosition();
        const float viewX = (centre.x + map->GetMapWidth() / 2.0f) / sx;
        const float viewY = (map->GetMapHeight() / 2.0f - centre.y) / sy;
        x += (1.0f - map->parallaxX) * (viewX - map->parallaxOriginX);
        y += (1.0f - map->parallaxY) * (viewY - map->parallaxOriginY);
    }
    return glm::vec2(x * sx, -y * sy);
}

void Renderer::AdvanceAnimations()
{
    const long long now = AnimationTime();
    for (auto& entry : _layerMeshes)
    {
        LayerMesh& mesh = entry.second;
        const auto map = _maps.find(entry.first);
        if (mesh.animatedTiles.empty() || map == _maps.end() || !map->second || map->second->hide)
            continue;
        if (GeometryFactory::ShownFrames(map->second, mesh, now) == mesh.shownFrames)
            continue;
        LayerMesh fresh = BuildLayerMesh(entry.first, map->second);
        if (fresh.quads != mesh.quads || !_resourceManager->UpdateVertices(entry.first, fresh.geometry.vertices))
            _resourceManager->CreateGeometry(entry.first, fresh.geometry);
        fresh.geometry = Geometry();
        mesh = std::move(fresh);
    }
}

void Renderer::Submit(const std::string& name, Map* map, const CellSides* pmap)
{
    Submit(name, map, pmap, {});
}

void Renderer::Submit(const std::string&, Map* map, const CellSides* pmap,
                      const std::vector<std::pair<int, int>>& triggerCells)
{
    // Built once from the grid as it is now: a tool or debug view submits
    // again after the grid changes.
    const bool nothing = !map || (!pmap && triggerCells.empty());
    if (nothing && _resourceManager->GetVAO(PASSABILITY_SIDES).first == 0)
        return;
    // GL may hand the new mesh the old one's name: a window showing the old
    // sides must still be given the new ones.
    ++_passabilitySidesVersion;
    const GeometryFactory& factory = _resourceManager->GetGeometryFactory();
    Geometry sides = factory.GeneratePassabilitySides(map, pmap);
    factory.AppendTriggerCells(sides, map, triggerCells);
    _resourceManager->CreateGeometry(PASSABILITY_SIDES, sides);
}

void Renderer::RemoveSprite(const std::string& name)
{
    _spriteMap.erase(name);
}

void Renderer::RemoveText(const std::string& name)
{
    _textMap.erase(name);
}

void Renderer::RemoveRec(const std::string& name)
{
    _guiRecMap.erase(name);
}

void Renderer::RemoveMap(const std::string& name)
{
    _layerMeshes.erase(name);
    _maps.erase(name);
    _floorMap.erase(name);
    _otherMaps.erase(name);
    _furniture.erase(name);
    _editorUnder.erase(name);
    _editorOver.erase(name);
    _spriteLayers.erase(name);
}

LayerList Renderer::InNameOrder(const MapMap& group)
{
    return LayerList(group.begin(), group.end());
}

LayerList Renderer::InEditorOrder(const MapMap& group)
{
    LayerList layers = InNameOrder(group);
    std::stable_sort(layers.begin(), layers.end(),
                     [](const LayerList::value_type& a, const LayerList::value_type& b)
                     { return a.second->priorityLevel < b.second->priorityLevel; });
    return layers;
}

void Renderer::EnableWireframe()
{
#ifdef __EMSCRIPTEN__
    // WebGL draws no outlines of filled triangles.
    Log::file(logWARNING) << "(Renderer::EnableWireframe) Wireframe mode is not available in the browser";
    return;
#endif
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    _wireframe = true;
    Log::file(logINFO) << "(Renderer::EnableWireframe) Wireframe Mode Enabled";
}

void Renderer::DisableWireframe()
{
#ifndef __EMSCRIPTEN__
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
#endif
    _wireframe = false;
    Log::file(logINFO) << "(Renderer::DisableWireframe) Wireframe Mode Disabled";
}

int Renderer::BindForDraw(GLuint textureId)
{
    glActiveTexture(GL_TEXTURE0 + DRAW_TEXTURE_UNIT);
    glBindTexture(GL_TEXTURE_2D, textureId);
    return DRAW_TEXTURE_UNIT;
}

Texture* Renderer::TextureOrFallback(const std::string& name)
{
    Texture* texture = _resourceManager->GetTexture(name);
    if (texture)
        return texture;
    Log::plain() << "failed to retrieve texture " << name << std::endl;
    return _resourceManager->GetTexture("mopkin");
}

void Renderer::Draw()
{
    _drewLastFrame = false;
    if (!_camera)
    {
        Log::file(logERROR) << "(Renderer::Draw) Attempting to draw without an active camera set.";
        // No frame is presented, but input must still arrive, or Escape
        // could never end a game that has no camera.
        if (_window)
            _window->PollEvents();
        return;
    }
    AdvanceAnimations();
    const glm::mat4 viewProj = _camera->GetProj() * _camera->GetView();
    FrameDescription frame;
    GetClientDimenstions(&frame.width, &frame.height);
    const bool underComplete = DescribeUnderSprites(viewProj, frame.underSprites);
    bool complete = underComplete;
    DescribeLayerGroup(InEditorOrder(_spriteLayers), viewProj, frame.overSprites, complete);
    DescribeLayerGroup(InEditorOrder(_editorOver), viewProj, frame.overSprites, complete);
    DescribeLayerGroup(InNameOrder(_otherMaps), viewProj, frame.overSprites, complete);
    complete = BatchSprites(frame) && complete;
    DescribeGUI(frame);
    if (_passabilityOverlay && _resourceManager->GetVAO(PASSABILITY_SIDES).second > 0)
        frame.passabilitySides = _passabilitySidesVersion;
    // A capture needs the frame in the back buffer, which a skipped frame
    // leaves undefined.
    const bool showing = ShowingAlready(frame, complete);
    if (showing && !_capture)
    {
        _window->PollEvents();
        return;
    }

    _drewLastFrame = true;
    BeginPicture(frame.width, frame.height);
    glClear(GL_COLOR_BUFFER_BIT);
    DrawUnderSprites(viewProj, frame.underSprites, underComplete);
    if (_spriteLayers.empty())
        DrawSprites(viewProj);
    else
        DrawSpritesAmongObjects(viewProj);
    DrawLayerGroup(InEditorOrder(_editorOver), viewProj);
    DrawLayerGroup(InNameOrder(_otherMaps), viewProj);
    DrawPassabilitySides(viewProj);
    DrawGUI();
    if (_capture)
        DeliverCapture(frame.width, frame.height);
    _scaler.Present();

    if (_window)
        _window->SwapBuffers();
}

void Renderer::BeginPicture(int width, int height)
{
    int windowWidth = width;
    int windowHeight = height;
    if (_window)
        _window->GetFramebufferSize(&windowWidth, &windowHeight);
    _scaler.Begin(width, height, windowWidth, windowHeight);
}

void Renderer::DeliverCapture(int width, int height)
{
    CaptureDone done = std::move(_capture);
    _capture = nullptr;
    std::vector<unsigned char> rgba;
    if (width > 0 && height > 0)
    {
        const std::size_t stride = static_cast<std::size_t>(width) * 4;
        std::vector<unsigned char> upward(stride * static_cast<std::size_t>(height));
        // An error left by an earlier call must not be taken for ours.
        while (glGetError() != GL_NO_ERROR)
        {
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, upward.data());
        if (glGetError() == GL_NO_ERROR)
        {
            // OpenGL counts rows from the bottom; the window shows colour
            // only, whatever the blending left in alpha.
            rgba.resize(upward.size());
            for (int row = 0; row < height; ++row)
                std::copy_n(upward.data() + stride * static_cast<std::size_t>(height - 1 - row), stride,
                            rgba.data() + stride * static_cast<std::size_t>(row));
            for (std::size_t i = 3; i < rgba.size(); i += 4)
                rgba[i] = 255;
        }
    }
    const bool read = !rgba.empty();
    done(read ? width : 0, read ? height : 0, rgba);
}

bool Renderer::ShowingAlready(const FrameDescription& frame, bool complete)
{
    // Only a window keeps showing what it was last given; without one the
    // frame goes to a buffer that others may read or draw over.
    const bool refresh = _window && _window->TakeRefreshRequest();
    if (!_window || !complete)
    {
        _presentedKnown = false;
        return false;
    }
    if (!refresh && _presentedKnown && frame == _presented)
        return true;
    _presented = frame;
    _presentedKnown = true;
    return false;
}

void Renderer::DrawUnderSprites(const glm::mat4& viewProj, const LayerCache::Key& key, bool cacheable)
{
    // With nothing to draw there is nothing to save.
    if (!cacheable || (key.layers.empty() && key.passGeometry.first == 0))
    {
        _layerCache.Forget();
        DrawUnderSpritesDirectly(viewProj);
        return;
    }
    switch (_layerCache.PlanFrame(key))
    {
    case LayerCache::Plan::Replay:
        _layerCache.Show();
        return;
    case LayerCache::Plan::Record:
        if (!_layerCache.BeginRecording())
            break;
        DrawUnderSpritesDirectly(viewProj);
        _layerCache.EndRecording();
        _layerCache.Show();
        return;
    case LayerCache::Plan::DrawDirectly:
        break;
    }
    DrawUnderSpritesDirectly(viewProj);
}

void Renderer::DrawUnderSpritesDirectly(const glm::mat4& viewProj)
{
    DrawLayerGroup(InNameOrder(_floorMap), viewProj);
    DrawPassabilityOverlay(viewProj);
    DrawLayerGroup(InNameOrder(_furniture), viewProj);
    DrawLayerGroup(InEditorOrder(_editorUnder), viewProj);
}

bool Renderer::DescribeUnderSprites(const glm::mat4& viewProj, LayerCache::Key& key)
{
    if (_wireframe)
        return false;
    key.viewProj = viewProj;
    key.levelOverlay = _levelOverlay;
    key.passabilityOverlay = _passabilityOverlay;
    if (_passabilityOverlay)
        key.passGeometry = _resourceManager->GetVAO("pass");
    key.square = _resourceManager->GetVAO("square");
    key.programs[0] = _resourceManager->GetProgram("level");
    key.programs[1] = _resourceManager->GetProgram("overlay");
    key.programs[2] = _resourceManager->GetProgram("pass");
    bool complete = true;
    DescribeLayerGroup(InNameOrder(_floorMap), viewProj, key.layers, complete);
    DescribeLayerGroup(InNameOrder(_furniture), viewProj, key.layers, complete);
    DescribeLayerGroup(InEditorOrder(_editorUnder), viewProj, key.layers, complete);
    return complete;
}

std::vector<std::pair<unsigned int, unsigned int>> Renderer::QuadsToDraw(const Map* map, const LayerMesh& mesh,
                                                                         const glm::mat4& viewProj) const
{
    const glm::mat4 trans = glm::translate(glm::mat4(1.0f), glm::vec3(LayerShift(map), 0.0f));
    std::vector<std::pair<unsigned int, unsigned int>> quads = VisibleQuads(map, mesh, viewProj * trans);
    const std::pair<unsigned int, unsigned int> objects = mesh.ObjectQuads();
    if (objects.second > objects.first)
        quads.push_back(objects);
    return quads;
}

std::vector<int> Renderer::VisibleFrames(const Map* map, const LayerMesh& mesh, const glm::mat4& viewProj) const
{
    std::vector<int> frames;
    if (mesh.animatedQuads.empty())
        return frames;
    for (const std::pair<unsigned int, unsigned int>& range : QuadsToDraw(map, mesh, viewProj))
    {
        auto quad = std::lower_bound(mesh.animatedQuads.begin(), mesh.animatedQuads.end(), range.first,
                                     [](const std::pair<unsigned int, std::pair<unsigned short, int>>& entry,
                                        unsigned int first) { return entry.first < first; });
        for (; quad != mesh.animatedQuads.end() && quad->first < range.second; ++quad)
        {
            const auto tile = std::lower_bound(mesh.animatedTiles.begin(), mesh.animatedTiles.end(), quad->second);
            const std::size_t index = static_cast<std::size_t>(tile - mesh.animatedTiles.begin());
            frames.push_back(index < mesh.shownFrames.size() ? mesh.shownFrames[index] : -1);
        }
    }
    return frames;
}

void Renderer::DescribeLayerGroup(const LayerList& group, const glm::mat4& viewProj,
                                  std::vector<LayerCache::Layer>& layers, bool& complete)
{
    for (const auto& entry : group)
    {
        const Map* map = entry.second;
        if (!map || map->hide)
            continue;
        LayerCache::Layer layer;
        layer.name = entry.first;
        const std::pair<unsigned int, unsigned int> vao = _resourceManager->GetVAO(entry.first);
        layer.vao = vao.first;
        layer.indexCount = vao.second;
        layer.shownInEditor = map->shownInEditor;
        layer.opacity = map->opacity;
        std::copy(map->tint, map->tint + 4, layer.tint);
        layer.rows = map->rows;
        layer.cols = map->cols;
        if (map->tileset)
        {
            layer.tileWidth = map->tileset->renderedTileWidth;
            layer.tileHeight = map->tileset->renderedTileHeight;
        }
        layer.highlights = map->_hightlightedTiles;
        const auto mesh = _layerMeshes.find(entry.first);
        if (mesh != _layerMeshes.end())
            layer.frames = VisibleFrames(map, mesh->second, viewProj);
        layer.shift = LayerShift(map);
        if (map->shownInEditor && _layerMeshes.count(entry.first))
        {
            std::vector<Tileset*> tilesets = map->tilesets;
            if (tilesets.empty())
                tilesets.push_back(map->tileset);
            for (const Tileset* tileset : tilesets)
            {
                const Texture* texture = tileset ? _resourceManager->GetTexture(tileset->imageName) : nullptr;
                complete = complete && texture != nullptr;
                layer.textures.push_back(texture ? texture->textureId : 0);
            }
        }
        layers.push_back(std::move(layer));
    }
}

void Renderer::DrawLayerGroup(const LayerList& group, const glm::mat4& viewProj)
{
    const GLuint program = _resourceManager->GetProgram("level");
    glUseProgram(program);
    for (const auto& entry : group)
    {
        const Map* map = entry.second;
        if (!map || map->hide)
            continue;
        const std::pair<unsigned int, unsigned int> vao = _resourceManager->GetVAO(entry.first);
        const auto mesh = _layerMeshes.find(entry.first);
        const glm::mat4 trans = glm::translate(glm::mat4(1.0f), glm::vec3(LayerShift(map), 0.0f));
        std::vector<std::pair<unsigned int, unsigned int>> quads;
        if (mesh != _layerMeshes.end())
            quads = QuadsToDraw(map, mesh->second, viewProj);
        glBindVertexArray(vao.first);
        SetInt(program, "overlay", 0);
        SetMat4(program, "viewProj", viewProj);
        SetMat4(program, "trans", trans);
        if (map->shownInEditor && mesh != _layerMeshes.end())
            DrawLayerTiles(map, mesh->second, quads, program);

        DrawHighlights(map, viewProj);
        glUseProgram(program);
        glBindVertexArray(vao.first);

        if (!_levelOverlay)
        {
            SetInt(program, "overlay", 1);
            for (const auto& range : quads)
                DrawIndexRange(GL_LINES, range.first * 6, (range.second - range.first) * 6);
            SetInt(program, "overlay", 0);
        }
        glBindVertexArray(0);
    }
    glUseProgram(0);
    glBindVertexArray(0);
}

std::vector<std::pair<unsigned int, unsigned int>> Renderer::VisibleQuads(const Map* map, const LayerMesh& mesh,
                                                                          const glm::mat4& viewProj) const
{
    const int everything = std::max(mesh.rows, mesh.cols);
    if (!map->tileset || map->tileset->renderedTileWidth <= 0 || map->tileset->renderedTileHeight <= 0)
        return mesh.QuadRanges(0, everything, 0, everything);
    // The world rectangle the camera shows: the screen's corners taken back
    // through the camera (it looks straight down, so z does not matter).
    const glm::mat4 toWorld = glm::inverse(viewProj);
    float left = 0.0f, right = 0.0f, bottom = 0.0f, top = 0.0f;
    for (int corner = 0; corner < 4; ++corner)
    {
        glm::vec4 p = toWorld * glm::vec4(corner & 1 ? 1.0f : -1.0f, corner & 2 ? 1.0f : -1.0f, 0.0f, 1.0f);
        if (p.w == 0.0f || !std::isfinite(p.x) || !std::isfinite(p.y))
            return mesh.QuadRanges(0, everything, 0, everything);
        p /= p.w;
        left = corner == 0 ? p.x : std::min(left, p.x);
        right = corner == 0 ? p.x : std::max(right, p.x);
        bottom = corner == 0 ? p.y : std::min(bottom, p.y);
        top = corner == 0 ? p.y : std::max(top, p.y);
    }
    const float dx = static_cast<float>(map->tileset->renderedTileWidth);
    const float dy = static_cast<float>(map->tileset->renderedTileHeight);
    const float halfW = map->GetMapWidth() / 2.0f;
    const float halfH = map->GetMapHeight() / 2.0f;
    // A cell is drawn when its tile, reaching past the cell as far as any
    // tile of the layer does, may touch the view; one cell more on each
    // side absorbs rounding.
    auto cellAt = [](float units, float size, int limit)
    {
        const float cell = std::floor(units / size);
        return cell < -1.0f ? -1 : (cell > static_cast<float>(limit) ? limit : static_cast<int>(cell));
    };
    const int firstCol = cellAt(left - mesh.reachRight + halfW, dx, mesh.cols) - 1;
    const int lastCol = cellAt(right + mesh.reachLeft + halfW, dx, mesh.cols) + 1;
    const int firstRow = cellAt(halfH - top - mesh.reachDown, dy, mesh.rows) - 1;
    const int lastRow = cellAt(halfH - bottom + mesh.reachUp, dy, mesh.rows) + 1;
    return mesh.QuadRanges(firstRow, lastRow, firstCol, lastCol);
}

void Renderer::DrawLayerTiles(const Map* map, const LayerMesh& mesh,
                              const std::vector<std::pair<unsigned int, unsigned int>>& quads, GLuint program)
{
    glUniform4f(glGetUniformLocation(program, "tint"), map->tint[0], map->tint[1], map->tint[2],
                map->tint[3] * map->opacity);
    std::vector<Tileset*> tilesets = map->tilesets;
    if (tilesets.empty())
        tilesets.push_back(map->tileset);
    // The first tileset's texture is asked for every frame, drawn or not,
    // so a missing one is reported as long as it is missing.
    int bound = 0;
    const Texture* texture = TextureOrFallback(tilesets[0] ? tilesets[0]->imageName : std::string());
    if (texture)
        SetInt(program, "tex", BindForDraw(texture->textureId));
    for (const auto& range : quads)
    {
        // Cut each range where the layer changes tileset, keeping the order.
        for (unsigned int quad = range.first; quad < range.second;)
        {
            const unsigned int end = std::min(range.second, mesh.RunEnd(quad));
            const unsigned short which = mesh.TilesetOfQuad(quad);
            if (which != bound)
            {
                bound = which;
                const Tileset* tileset = which < tilesets.size() ? tilesets[which] : nullptr;
                texture = TextureOrFallback(tileset ? tileset->imageName : std::string());
                if (texture)
                    SetInt(program, "tex", BindForDraw(texture->textureId));
            }
            if (texture)
                DrawIndexRange(GL_TRIANGLES, quad * 6, (end - quad) * 6);
            quad = end;
        }
    }
}

void Renderer::DrawHighlights(const Map* map, const glm::mat4& viewProj)
{
    if (map->_hightlightedTiles.empty() || !map->tileset)
        return;
    const GLuint program = _resourceManager->GetProgram("overlay");
    const std::pair<unsigned int, unsigned int> square = _resourceManager->GetVAO("square");
    glUseProgram(program);
    glBindVertexArray(square.first);
    SetMat4(program, "viewProj", viewProj);

    const float halfW = map->GetMapWidth() / 2.0f;
    const float halfH = map->GetMapHeight() / 2.0f;
    const float tw = static_cast<float>(map->tileset->renderedTileWidth);
    const float th = static_cast<float>(map->tileset->renderedTileHeight);
    // Marks sit on the cells of the layer as drawn, moved with it by its
    // offset and parallax.
    const glm::vec2 shift = LayerShift(map);
    for (const std::pair<int, int>& cell : map->_hightlightedTiles)
    {
        const float x = cell.second * tw - halfW + tw / 2.0f + shift.x;
        const float y = halfH - cell.first * th - th / 2.0f + shift.y;
        const glm::mat4 trans =
            glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f)), glm::vec3(tw, th, 1.0f));
        SetMat4(program, "trans", trans);
        DrawIndexed(GL_TRIANGLES, square.second);
    }
}

void Renderer::DrawPassabilityOverlay(const glm::mat4& viewProj)
{
    DrawPassabilityMesh("pass", viewProj);
}

void Renderer::DrawPassabilitySides(const glm::mat4& viewProj)
{
    DrawPassabilityMesh(PASSABILITY_SIDES, viewProj);
}

void Renderer::DrawPassabilityMesh(const std::string& mesh, const glm::mat4& viewProj)
{
    if (!_passabilityOverlay)
        return;
    const std::pair<unsigned int, unsigned int> vao = _resourceManager->GetVAO(mesh);
    if (vao.first == 0 || vao.second == 0)
        return;
    const GLuint program = _resourceManager->GetProgram("pass");
    glUseProgram(program);
    glBindVertexArray(vao.first);
    SetMat4(program, "viewProj", viewProj);
    SetMat4(program, "trans", glm::mat4(1.0f));
    DrawIndexed(GL_TRIANGLES, vao.second);
    glBindVertexArray(0);
    glUseProgram(0);
}

bool Renderer::BatchSprites(FrameDescription& frame)
{
    bool complete = true;
    _spriteBatch.Clear();
    for (const auto& entry : _spriteMap)
    {
        const Sprite* sprite = entry.second;
        if (!sprite || !sprite->IsVisible())
            continue;
        complete = complete && _resourceManager->GetTexture(sprite->GetTextureName()) != nullptr;
        const Texture* texture = TextureOrFallback(sprite->GetTextureName());
        if (texture)
            _spriteBatch.Add(*sprite, *texture);
    }
    frame.sprites = _spriteBatch.GetVertices();
    for (const SpriteBatch::Run& run : _spriteBatch.GetRuns())
        frame.spriteRuns.emplace_back(run.texture->textureId, run.quadCount);
    return complete;
}

void Renderer::DrawSprites(const glm::mat4& viewProj)
{
    if (_spriteBatch.GetRuns().empty())
        return;

    // The batch holds every quad placed and cut to its frame already, so
    // the program's own transform and frame stay at identity.
    const GLuint program = _resourceManager->GetProgram("animatedSprite");
    glUseProgram(program);
    SetMat4(program, "viewProj", viewProj);
    SetMat4(program, "trans", glm::mat4(1.0f));
    SetVec2(program, "texShift", glm::vec2(0.0f, 0.0f));
    SetMat2(program, "texScale", glm::mat2(1.0f));
    _spriteBatch.Draw(glGetUniformLocation(program, "tex"));
    glUseProgram(0);
}

namespace
{
// One thing of the sprite pass: a sprite, or one tile object of a layer.
struct SpriteItem
{
    float baseY;
    const Sprite* sprite;
    const std::string* layer;
    const Map* map;
    unsigned int quad;
};
}

void Renderer::DrawSpritesAmongObjects(const glm::mat4& viewProj)
{
    std::vector<SpriteItem> items;
    for (const auto& entry : _spriteMap)
    {
        const Sprite* sprite = entry.second;
        if (!sprite || !sprite->IsVisible())
            continue;
        const float bottom = (sprite->GetModelMatrix() * glm::vec4(0.0f, -0.5f, 0.0f, 1.0f)).y;
        items.push_back({bottom, sprite, nullptr, nullptr, 0});
    }
    for (const auto& entry : _spriteLayers)
    {
        const auto mesh = _layerMeshes.find(entry.first);
        if (!entry.second || entry.second->hide)
            continue;
        // Marked cells show at the layer's place, under the sprites.
        DrawHighlights(entry.second, viewProj);
        if (!entry.second->shownInEditor || mesh == _layerMeshes.end())
            continue;
        const float shift = LayerShift(entry.second).y;
        const unsigned int first = mesh->second.ObjectQuads().first;
        for (unsigned int k = 0; k < mesh->second.objectBaseY.size(); ++k)
            items.push_back({mesh->second.objectBaseY[k] + shift, nullptr, &entry.first, entry.second, first + k});
    }
    // Higher on the screen is further back; equals keep sprites' name order
    // and objects' order in their layer, sprites in front.
    std::stable_sort(items.begin(), items.end(),
                     [](const SpriteItem& a, const SpriteItem& b)
                     {
                         if (a.baseY != b.baseY)
                             return a.baseY > b.baseY;
                         return a.sprite == nullptr && b.sprite != nullptr;
                     });
    for (std::size_t i = 0; i < items.size();)
    {
        std::size_t end = i;
        std::vector<const Sprite*> sprites;
        std::vector<unsigned int> quads;
        while (end < items.size() && (items[end].sprite != nullptr) == (items[i].sprite != nullptr) &&
               items[end].map == items[i].map)
        {
            if (items[end].sprite)
                sprites.push_back(items[end].sprite);
            else
                quads.push_back(items[end].quad);
            ++end;
        }
        if (items[i].sprite)
            DrawSpriteRun(sprites, viewProj);
        else
            DrawObjectRun(*items[i].layer, items[i].map, quads, viewProj);
        i = end;
    }
}

void Renderer::DrawSpriteRun(const std::vector<const Sprite*>& sprites, const glm::mat4& viewProj)
{
    _spriteBatch.Clear();
    for (const Sprite* sprite : sprites)
    {
        const Texture* texture = _resourceManager->GetTexture(sprite->GetTextureName());
        if (!texture)
            texture = _resourceManager->GetTexture("mopkin");
        if (texture)
            _spriteBatch.Add(*sprite, *texture);
    }
    DrawSprites(viewProj);
}

void Renderer::DrawObjectRun(const std::string& name, const Map* map, const std::vector<unsigned int>& quads,
                             const glm::mat4& viewProj)
{
    const auto mesh = _layerMeshes.find(name);
    if (mesh == _layerMeshes.end())
        return;
    std::vector<std::pair<unsigned int, unsigned int>> ranges;
    for (unsigned int quad : quads)
    {
        if (!ranges.empty() && ranges.back().second == quad)
            ++ranges.back().second;
        else
            ranges.emplace_back(quad, quad + 1);
    }
    const GLuint program = _resourceManager->GetProgram("level");
    glUseProgram(program);
    glBindVertexArray(_resourceManager->GetVAO(name).first);
    SetInt(program, "overlay", 0);
    SetMat4(program, "viewProj", viewProj);
    SetMat4(program, "trans", glm::translate(glm::mat4(1.0f), glm::vec3(LayerShift(map), 0.0f)));
    DrawLayerTiles(map, mesh->second, ranges, program);
    glBindVertexArray(0);
    glUseProgram(0);
}

namespace
{
// Elements of one kind in name order, then stably by layer: with every layer
// equal (the default) this is plain name order.
template <class Element, class Map>
std::vector<const Element*> ByLayer(const Map& registry)
{
    std::vector<const Element*> ordered;
    ordered.reserve(registry.size());
    for (const auto& entry : registry)
        if (entry.second && !entry.second->isHidden())
            ordered.push_back(entry.second);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const Element* a, const Element* b) { return a->getLayer() < b->getLayer(); });
    return ordered;
}
}

void Renderer::DescribeGUI(FrameDescription& frame)
{
    for (const GUIRectangle* r : ByLayer<GUIRectangle>(_guiRecMap))
        frame.rectangles.push_back({r->getBackgroundColor(), r->getWindowPosition(), r->getWidthInPixels(),
                                    r->getHeightInPixels(), r->getLayer()});
    for (const Text* t : ByLayer<Text>(_textMap))
    {
        const GLuint atlas = t->getFont() ? t->getFont()->getSize(t->getSize()).tex : 0;
        frame.labels.push_back({t->getText(), t->getColor(), t->getWindowPosition(), atlas, t->getSize(),
                                t->getLineHeight(), t->hasShadow(), t->getLayer()});
    }
}

void Renderer::DrawGUI()
{
    // Rectangles and texts are interleaved by layer, so a widget raised over
    // another covers its text as well as its background; within one layer
    // the rectangles come first.
    const std::vector<const GUIRectangle*> rectangles = ByLayer<GUIRectangle>(_guiRecMap);
    const std::vector<const Text*> texts = ByLayer<Text>(_textMap);
    size_t r = 0;
    size_t t = 0;
    while (r < rectangles.size() || t < texts.size())
    {
        std::vector<const GUIRectangle*> rectangleRun;
        while (r < rectangles.size() && (t == texts.size() || rectangles[r]->getLayer() <= texts[t]->getLayer()))
            rectangleRun.push_back(rectangles[r++]);
        DrawGUIRectangles(rectangleRun);
        std::vector<const Text*> textRun;
        while (t < texts.size() && (r == rectangles.size() || texts[t]->getLayer() < rectangles[r]->getLayer()))
            textRun.push_back(texts[t++]);
        DrawTexts(textRun);
    }
}

void Renderer::DrawGUIRectangles(const std::vector<const GUIRectangle*>& rectangles)
{
    if (rectangles.empty())
        return;
    const GLuint program = _resourceManager->GetProgram("gui");
    const std::pair<unsigned int, unsigned int> square = _resourceManager->GetVAO("square");
    glUseProgram(program);
    glBindVertexArray(square.first);
    const Texture* panel = PanelTexture();
    for (const GUIRectangle* rectangle : rectangles)
    {
        if (!rectangle->getImageTexture().empty() && DrawImage(program, *rectangle, square.second))
            continue;
        if (panel && rectangle->isPanel())
        {
            DrawPanel(program, *rectangle, *panel, square.second);
            continue;
        }
        SetInt(program, "textured", 0);
        const glm::vec4 colour = rectangle->getBackgroundColor();
        glUniform4fv(glGetUniformLocation(program, "bgColor"), 1, glm::value_ptr(colour));
        SetVec2(program, "offset", rectangle->getWindowPosition());
        // The unit square becomes width/320 by height/240 normalised units.
        SetVec2(program, "scale",
                glm::vec2(rectangle->getWidthInPixels() / 320.0f, rectangle->getHeightInPixels() / 240.0f));
        DrawIndexed(GL_TRIANGLES, square.second);
    }
    SetInt(program, "textured", 0);
    glBindVertexArray(0);
    glUseProgram(0);
}

const Texture* Renderer::PanelTexture()
{
    if (!_guiManager || !_guiManager->getTheme().hasPanel())
        return nullptr;
    const Texture* texture = _resourceManager->GetTexture(_guiManager->getTheme().panelTexture);
    // A picture that failed to load draws flat panels, not black ones.
    if (!texture || texture->info.width <= 0 || texture->info.height <= 0)
        return nullptr;
    return texture;
}

bool Renderer::DrawImage(GLuint program, const GUIRectangle& rectangle, unsigned int indices)
{
    const Texture* picture = _resourceManager->GetTexture(rectangle.getImageTexture());
    if (!picture || picture->info.width <= 0 || picture->info.height <= 0)
        return false;
    const glm::vec2 size(picture->info.width, picture->info.height);
    const glm::ivec4 pixels = rectangle.getImagePixels();
    const bool whole = pixels.z <= 0 || pixels.w <= 0;
    const glm::vec2 uvOffset = whole ? glm::vec2(0.0f) : glm::vec2(pixels.x, pixels.y) / size;
    const glm::vec2 uvSize = whole ? glm::vec2(1.0f) : glm::vec2(pixels.z, pixels.w) / size;
    glUniform4fv(glGetUniformLocation(program, "bgColor"), 1, glm::value_ptr(glm::vec4(1.0f)));
    SetInt(program, "textured", 1);
    SetInt(program, "tex", BindForDraw(picture->textureId));
    // Pixel art is enlarged without blurring.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    SetVec2(program, "offset", rectangle.getWindowPosition());
    SetVec2(program, "scale", glm::vec2(rectangle.getWidthInPixels() / 320.0f, rectangle.getHeightInPixels() / 240.0f));
    SetVec2(program, "uvOffset", uvOffset);
    SetVec2(program, "uvSize", uvSize);
    DrawIndexed(GL_TRIANGLES, indices);
    return true;
}

void Renderer::DrawPanel(GLuint program, const GUIRectangle& rectangle, const Texture& picture, unsigned int indices)
{
    // The picture keeps its own colours and opacity (a frame drawn at the
    // widgets' usual three-quarters would look washed out); only a
    // rectangle made fully clear stays clear.
    const glm::vec4 tint(1.0f, 1.0f, 1.0f, rectangle.getBackgroundColor().a > 0.0f ? 1.0f : 0.0f);
    glUniform4fv(glGetUniformLocation(program, "bgColor"), 1, glm::value_ptr(tint));
    SetInt(program, "textured", 1);
    SetInt(program, "tex", BindForDraw(picture.textureId));
    // Nearest sampling keeps the corners' pixels crisp; clamping keeps a
    // piece from bleeding the far edge of the picture into its own.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    const auto pieces = NineSlice::cut(
        rectangle.getWindowPosition(), glm::ivec2(rectangle.getWidthInPixels(), rectangle.getHeightInPixels()),
        glm::ivec2(picture.info.width, picture.info.height), _guiManager->getTheme().border,
        glm::ivec2(WINDOW_WIDTH, WINDOW_HEIGHT));
    for (const NineSlicePiece& piece : pieces)
    {
        if (piece.size.x <= 0.0f || piece.size.y <= 0.0f)
            continue;
        SetVec2(program, "offset", piece.centre);
        SetVec2(program, "scale", piece.size);
        SetVec2(program, "uvOffset", piece.uvOffset);
        SetVec2(program, "uvSize", piece.uvSize);
        DrawIndexed(GL_TRIANGLES, indices);
    }
}

namespace
{
struct TextVertex
{
    float x, y, r, g, b, u, v;
};

// Two clockwise triangles per visible glyph, placed from the baseline start
// (x, y) in normalised window coordinates; a line break starts the next line
// lineHeight pixels lower.
std::vector<TextVertex> BuildGlyphQuads(const std::string& text, const atlas& glyphs, glm::vec2 start, int lineHeight,
                                        glm::vec3 shade)
{
    const float sx = static_cast<float>(2.0 / WINDOW_WIDTH);
    const float sy = static_cast<float>(2.0 / WINDOW_HEIGHT);
    std::vector<TextVertex> vertices;
    vertices.reserve(text.size() * 6);
    float x = start.x;
    float y = start.y;
    for (char ch : text)
    {
        const unsigned char code = static_cast<unsigned char>(ch);
        if (ch == '\n')
        {
            x = start.x;
            y -= lineHeight * sy;
            continue;
        }
        if (code >= 128)
            continue;
        const character_info& c = glyphs.characters[code];
        const float left = x + c.bl * sx;
        const float top = y + c.bt * sy;
        const float w = c.bw * sx;
        const float h = c.bh * sy;
        x += c.ax * sx;
        if (w == 0.0f || h == 0.0f || glyphs.texWidth == 0 || glyphs.texHeight == 0)
            continue;
        const float uLeft = c.tx;
        const float uRight = c.tx + c.bw / static_cast<float>(glyphs.texWidth);
        // The glyph occupies exactly bh rows of the atlas.
        const float vBottom = c.bh / static_cast<float>(glyphs.texHeight);
        vertices.push_back({left, top, shade.r, shade.g, shade.b, uLeft, 0});
        vertices.push_back({left + w, top, shade.r, shade.g, shade.b, uRight, 0});
        vertices.push_back({left, top - h, shade.r, shade.g, shade.b, uLeft, vBottom});
        vertices.push_back({left + w, top - h, shade.r, shade.g, shade.b, uRight, vBottom});
        vertices.push_back({left, top - h, shade.r, shade.g, shade.b, uLeft, vBottom});
        vertices.push_back({left + w, top, shade.r, shade.g, shade.b, uRight, 0});
    }
    return vertices;
}

void DrainGLErrors(const char* where)
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        Log::file(logERROR) << "(Renderer::" << where << ") OpenGL Error: " << error;
}
}

void Renderer::PrepareTextBuffers(GLuint program)
{
    if (_textVAO)
        return;
    glGenVertexArrays(1, &_textVAO);
    glGenBuffers(1, &_textVBO);
    glBindVertexArray(_textVAO);
    glBindBuffer(GL_ARRAY_BUFFER, _textVBO);
    const GLsizei stride = sizeof(TextVertex);
    const struct
    {
        const char* name;
        GLint size;
        size_t offset;
    } attributes[] = {{"position", 2, 0}, {"color", 3, 8}, {"texcoord", 2, 20}};
    for (const auto& attribute : attributes)
    {
        const GLint location = glGetAttribLocation(program, attribute.name);
        if (location < 0)
            continue;
        glEnableVertexAttribArray(static_cast<GLuint>(location));
        glVertexAttribPointer(static_cast<GLuint>(location), attribute.size, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(attribute.offset));
    }
}

void Renderer::DrawTexts(const std::vector<const Text*>& texts)
{
    if (texts.empty())
        return;
    const GLuint program = _resourceManager->GetProgram("text");
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glUseProgram(program);
    PrepareTextBuffers(program);
    glBindVertexArray(_textVAO);
    glBindBuffer(GL_ARRAY_BUFFER, _textVBO);
    for (const Text* text : texts)
    {
        if (!text->getFont())
            continue;
        const atlas glyphs = text->getFont()->getSize(text->getSize());
        if (!glyphs.tex)
            continue;
        std::vector<TextVertex> vertices;
        if (text->hasShadow())
        {
            const glm::vec2 shadowStart =
                text->getWindowPosition() + glm::vec2(2.0 / WINDOW_WIDTH, -2.0 / WINDOW_HEIGHT);
            vertices = BuildGlyphQuads(text->getText(), glyphs, shadowStart, text->getLineHeight(), glm::vec3(0.0f));
        }
        const std::vector<TextVertex> glyphQuads =
            BuildGlyphQuads(text->getText(), glyphs, text->getWindowPosition(), text->getLineHeight(), text->getColor());
        vertices.insert(vertices.end(), glyphQuads.begin(), glyphQuads.end());
        if (vertices.empty())
            continue;
        SetInt(program, "tex", BindForDraw(glyphs.tex));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        DrainGLErrors("DrawText2");
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(TextVertex)), vertices.data(),
                     GL_DYNAMIC_DRAW);
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
    }
    DrainGLErrors("DrawText4");
    glUseProgram(0);
    glBindVertexArray(0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}
}
