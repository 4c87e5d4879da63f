#include "graphics/TGRenderer.h"

#include <cstdio>
#include <cstdlib>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "Log/FileLog.h"
#include "application/GLFWWindow.h"
#include "graphics/TGCamera.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"

namespace tamsygraphics
{
namespace
{
const int DEFAULT_WIDTH = 640;
const int DEFAULT_HEIGHT = 480;

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
}

Renderer::Renderer(application::GLFWWindow* window, const std::string& workingDirectory) : _window(window)
{
    _levelOverlay = false;
    _passabilityOverlay = true;
    OpenFileLog(workingDirectory);
    std::printf("Renderer Loading\n");
    InitGlew();
    LogContextStrings();

    _sceneManager = new SceneManager(this);
    _resourceManager = new ResourceManager(workingDirectory);
    // Font and GUI side: the graphics GUI manager is created here
    // (_guiManager = new GUIManager(this)); until then GetGUIManager() is null.

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
    delete _resourceManager;
    delete _sceneManager;
}

void Renderer::OpenFileLog(const std::string& workingDirectory)
{
    FILELog::ReportingLevel() = logDEBUG3;
    const std::string path = workingDirectory + "/logs/graphicslog.txt";
    FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        std::fprintf(stderr, "(Renderer::Renderer) Cannot open graphics log %s\n", path.c_str());
    Output2FILE::Stream() = file;
}

void Renderer::InitGlew()
{
    glewExperimental = GL_TRUE;
    const GLenum result = glewInit();
    if (result != GLEW_OK)
    {
        std::printf("GLEW Initialization failed. Exiting.\n");
        std::printf("%s\n", reinterpret_cast<const char*>(glewGetErrorString(result)));
        FILE_LOG(logERROR) << "GLEW initialization failed. Exiting.";
        std::exit(EXIT_FAILURE);
    }
    // Loading core-profile entry points may leave a harmless error behind.
    while (glGetError() != GL_NO_ERROR)
    {
    }
}

void Renderer::LogContextStrings()
{
    FILE_LOG(logINFO) << "Vendor: " << GLString(GL_VENDOR);
    FILE_LOG(logINFO) << "Renderer: " << GLString(GL_RENDERER);
    FILE_LOG(logINFO) << GLString(GL_VERSION);
    FILE_LOG(logINFO) << "GLSL: " << GLString(GL_SHADING_LANGUAGE_VERSION);
    std::printf("Vendor:   %s\n", GLString(GL_VENDOR));
    std::printf("Renderer: %s\n", GLString(GL_RENDERER));
    std::printf("Version:  %s\n", GLString(GL_VERSION));
    std::printf("GLSL:     %s\n", GLString(GL_SHADING_LANGUAGE_VERSION));
}

void Renderer::SetFixedState()
{
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glDisable(GL_DITHER);
    glDisable(GL_MULTISAMPLE);
    glDisable(GL_DEPTH_TEST);
    FILE_LOG(logINFO) << "(Renderer::Renderer) Depth Test: Disabled";
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    FILE_LOG(logINFO) << "(Renderer::Renderer) Blend Mode: Enabled";
}

void Renderer::LoadDefaultFace(const std::string& workingDirectory)
{
    // Font and GUI side: FreeType start-up and the default face
    // workingDirectory + "/assets/fonts/Eadui.ttf" at pixel size 72 go here
    // (into _ft and _face).
    (void)workingDirectory;
}

void Renderer::GetClientDimenstions(int* width, int* height) const
{
    int w = DEFAULT_WIDTH;
    int h = DEFAULT_HEIGHT;
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

void Renderer::Submit(const std::string& name, Map* map)
{
    if (!map)
        return;
    const Texture* texture = map->tileset ? _resourceManager->GetTexture(map->tileset->imageName) : nullptr;
    _resourceManager->CreateGeometry(
        name, _resourceManager->GetGeometryFactory().GenerateMap(map, texture ? &texture->info : nullptr));

    RemoveMap(name);
    if (name.find("Floor") != std::string::npos)
        _floorMap[name] = map;
    else if (name.find("Furniture") != std::string::npos)
        _furniture[name] = map;
    else
        _otherMaps[name] = map;
    _maps[name] = map;
}

void Renderer::Submit(const std::string&, Map*, core::PassabilityMap*)
{
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
    _maps.erase(name);
    _floorMap.erase(name);
    _otherMaps.erase(name);
    _furniture.erase(name);
}

void Renderer::EnableWireframe()
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    FILE_LOG(logINFO) << "(Renderer::EnableWireframe) Wireframe Mode Enabled";
}

void Renderer::DisableWireframe()
{
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    FILE_LOG(logINFO) << "(Renderer::DisableWireframe) Wireframe Mode Disabled";
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
    std::printf("failed to retrieve texture %s\n", name.c_str());
    return _resourceManager->GetTexture("mopkin");
}

void Renderer::Draw()
{
    if (!_camera)
    {
        FILE_LOG(logERROR) << "(Renderer::Draw) Attempting to draw without an active camera set.";
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    const glm::mat4 viewProj = _camera->GetProj() * _camera->GetView();

    DrawLayerGroup(_floorMap, viewProj);
    DrawPassabilityOverlay(viewProj);
    DrawLayerGroup(_furniture, viewProj);
    DrawSprites(viewProj);
    DrawLayerGroup(_otherMaps, viewProj);
    DrawGUIRectangles();
    DrawTexts();

    if (_window)
        _window->SwapBuffers();
}

void Renderer::DrawLayerGroup(const MapMap& group, const glm::mat4& viewProj)
{
    const GLuint program = _resourceManager->GetProgram("level");
    glUseProgram(program);
    for (const auto& entry : group)
    {
        const Map* map = entry.second;
        if (!map || map->hide)
            continue;
        const std::pair<unsigned int, unsigned int> vao = _resourceManager->GetVAO(entry.first);
        glBindVertexArray(vao.first);

        const std::string imageName = map->tileset ? map->tileset->imageName : std::string();
        const Texture* texture = TextureOrFallback(imageName);
        SetInt(program, "overlay", 0);
        SetMat4(program, "viewProj", viewProj);
        SetMat4(program, "trans", glm::mat4(1.0f));
        if (texture)
        {
            SetInt(program, "tex", BindForDraw(texture->textureId));
            DrawIndexed(GL_TRIANGLES, vao.second);
        }

        DrawHighlights(map, viewProj);
        glUseProgram(program);
        glBindVertexArray(vao.first);

        if (!_levelOverlay)
        {
            SetInt(program, "overlay", 1);
            DrawIndexed(GL_LINES, vao.second);
            SetInt(program, "overlay", 0);
        }
        glBindVertexArray(0);
    }
    glUseProgram(0);
    glBindVertexArray(0);
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
    for (const std::pair<int, int>& cell : map->_hightlightedTiles)
    {
        const float x = cell.second * tw - halfW + tw / 2.0f;
        const float y = halfH - cell.first * th - th / 2.0f;
        const glm::mat4 trans =
            glm::scale(glm::translate(glm::mat4(1.0f), glm::vec3(x, y, 0.0f)), glm::vec3(tw, th, 1.0f));
        SetMat4(program, "trans", trans);
        DrawIndexed(GL_TRIANGLES, square.second);
    }
}

void Renderer::DrawPassabilityOverlay(const glm::mat4& viewProj)
{
    if (!_passabilityOverlay)
        return;
    const std::pair<unsigned int, unsigned int> vao = _resourceManager->GetVAO("pass");
    if (vao.first == 0)
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

void Renderer::DrawSprites(const glm::mat4& viewProj)
{
    const GLuint program = _resourceManager->GetProgram("animatedSprite");
    const std::pair<unsigned int, unsigned int> square = _resourceManager->GetVAO("square");
    glUseProgram(program);
    glBindVertexArray(square.first);
    SetMat4(program, "viewProj", viewProj);
    for (const auto& entry : _spriteMap)
    {
        const Sprite* sprite = entry.second;
        if (!sprite || !sprite->IsVisible())
            continue;
        const Texture* texture = TextureOrFallback(sprite->GetTextureName());
        if (!texture)
            continue;
        SetMat4(program, "trans", sprite->GetModelMatrix());

        const glm::vec2 size = sprite->GetSize();
        const bool wholeTexture = size.x == 0.0f || size.y == 0.0f || texture->info.width <= 0 ||
                                  texture->info.height <= 0;
        if (wholeTexture)
        {
            SetVec2(program, "texShift", glm::vec2(0.0f, 0.0f));
            SetMat2(program, "texScale", glm::mat2(1.0f));
        }
        else
        {
            SetVec2(program, "texShift", sprite->GetTexCoords());
            SetMat2(program, "texScale",
                    glm::mat2(size.x / texture->info.width, 0.0f, 0.0f, size.y / texture->info.height));
        }
        SetInt(program, "tex", BindForDraw(texture->textureId));
        DrawIndexed(GL_TRIANGLES, square.second);
    }
    glBindVertexArray(0);
    glUseProgram(0);
}

void Renderer::DrawGUIRectangles()
{
    // Font and GUI side: the GUI pass (program "gui", geometry "square",
    // rectangles in name order, screen space) goes here.
}

void Renderer::DrawTexts()
{
    // Font and GUI side: the text pass (program "text", glyph atlases bound
    // with BindForDraw, texts in name order) goes here; it may use _textVAO
    // and _textVBO.
}
}
