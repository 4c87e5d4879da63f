#include "graphics/TGResourceManager.h"

#include <cstdio>
#include <memory>
#include <vector>

#include <sys/stat.h>

#include "Log/Log.h"
#include "graphics/ShaderDialect.h"
#include "util/GameFiles.h"

namespace tamsygraphics
{
namespace
{
const int TEXTURE_UNIT_COUNT = 32;

struct ProgramFiles
{
    const char* name;
    const char* vertex;
    const char* fragment;
};

const ProgramFiles PROGRAMS[] = {
    {"animatedSprite", "animatedSprite.vert", "animatedSprite.frag"},
    {"level", "level.vert", "level.frag"},
    {"text", "text.vert", "text.frag"},
    {"pass", "pass.vert", "pass.frag"},
    {"gui", "gui.vert", "gui.frag"},
    {"overlay", "overlay.vert", "overlay.frag"},
};

// WebGL 2 compiles the same programs in their ES dialect.
std::string ForThisGL(const std::string& source)
{
#ifdef __EMSCRIPTEN__
    return source.empty() ? source : ShaderDialect::toEs300(source);
#else
    return source;
#endif
}

GLenum UploadFormat(const ImageInfo& info)
{
    return info.format == RGB ? GL_RGB : GL_RGBA;
}

GLenum UploadType(const ImageInfo& info)
{
    return info.type == UCHAR ? GL_UNSIGNED_BYTE : GL_FLOAT;
}
}

ResourceManager::ResourceManager(const std::string& workingDirectory)
    : _workingDirectory(workingDirectory), _shaderPath("/assets/shaders/shaders150/")
{
    for (const ProgramFiles& p : PROGRAMS)
        LoadProgram(p.name, p.fragment, p.vertex);
    CreateGeometry("square", _geometryFactory.GenerateSquare(1.0f, 1.0f));
}

bool ResourceManager::LoadTexture(const std::string& name, const std::string& fpath)
{
    Log::file(logINFO) << "(ResourceManager::LoadTexture) Loading Texture: " << name;
    _deferredTextures.erase(name);
    const std::unique_ptr<Image> image = _imageLoader.LoadImage(_workingDirectory + fpath);
    BindTexture(name, image.get());
    const bool loaded = image && image->data && image->info.width > 0 && image->info.height > 0;
    if (!loaded)
        Log::file(logERROR) << "(ResourceManager::LoadTexture) Texture " << name
                            << " has no pixels: " << _workingDirectory + fpath << " is missing or not an image";
    return loaded;
}

void ResourceManager::DeferTexture(const std::string& name, const std::string& fpath)
{
    _deferredTextures[name] = fpath;
}

Texture* ResourceManager::BindTexture(const std::string& name, const Image* image)
{
    auto owned = std::make_unique<Texture>();
    Texture* texture = owned.get();
    texture->slot = GetTextureSlot();
    glGenTextures(1, &texture->textureId);

    // Any unit will do for creation: drawing binds the texture again.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture->textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    // An image without pixels (unreadable file) leaves the texture without
    // storage: it stays registered and samples as empty.
    if (image && image->data && image->info.width > 0 && image->info.height > 0)
    {
        const GLenum format = UploadFormat(image->info);
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), image->info.width, image->info.height, 0, format,
                     UploadType(image->info), image->data);
        texture->info = image->info;
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    // A texture bound again under its name replaces the old one, which
    // nothing draws with any more.
    _activeTextures[name] = std::move(owned);
    DrainErrors("(ResourceManager::BindTexture) OpenGL Error: ");
    return texture;
}

Texture* ResourceManager::GetTexture(const std::string& name) const
{
    auto it = _activeTextures.find(name);
    if (it != _activeTextures.end())
        return it->second.get();
    auto deferred = _deferredTextures.find(name);
    if (deferred == _deferredTextures.end())
        return nullptr;
    // A lazy texture is one the manager already holds, only not on the GPU
    // yet: asking for it is what loads it.
    ResourceManager* self = const_cast<ResourceManager*>(this);
    const std::string path = deferred->second;
    self->LoadTexture(name, path);
    return self->_activeTextures[name].get();
}

int ResourceManager::GetTextureSlot()
{
    return _textureSlotIndex++ % TEXTURE_UNIT_COUNT;
}

void ResourceManager::CreateGeometry(const std::string& name, const Geometry& g)
{
    Log::file(logINFO) << "(ResourceManager::CreateGeometry) Creating Geometry: " << name;
    GLuint vao = 0;
    GLuint buffers[2] = {0, 0};
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(2, buffers);

    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(g.vertices.size() * sizeof(Vertex)),
                 g.vertices.empty() ? nullptr : g.vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers[1]);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(g.indices.size() * sizeof(unsigned int)),
                 g.indices.empty() ? nullptr : g.indices.data(), GL_STATIC_DRAW);

    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(2 * sizeof(float)));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);

    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);

    _activeVAOs[name] = std::make_pair(static_cast<unsigned int>(vao), static_cast<unsigned int>(g.indices.size()));
    DrainErrors("(ResourceManager::CreateGeometry) OpenGL Error: ");
}

bool ResourceManager::UpdateVertices(const std::string& name, const std::vector<Vertex>& vertices)
{
    const auto found = _activeVAOs.find(name);
    if (found == _activeVAOs.end() || found->second.first == 0)
        return false;
    glBindVertexArray(found->second.first);
    GLint buffer = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    glBindVertexArray(0);
    GLint size = 0;
    glBindBuffer(GL_ARRAY_BUFFER, static_cast<GLuint>(buffer));
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    const GLsizeiptr bytes = static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex));
    const bool fits = buffer != 0 && bytes == size;
    if (fits && bytes > 0)
        glBufferSubData(GL_ARRAY_BUFFER, 0, bytes, vertices.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    DrainErrors("(ResourceManager::UpdateVertices) OpenGL Error: ");
    return fits;
}

std::pair<unsigned int, unsigned int> ResourceManager::GetVAO(const std::string& name) const
{
    auto it = _activeVAOs.find(name);
    return it == _activeVAOs.end() ? std::make_pair(0u, 0u) : it->second;
}

void ResourceManager::LoadProgram(const std::string& name, const std::string& fragPath, const std::string& vertPath)
{
    Log::file(logINFO) << "(ResourceManager::LoadProgram) Loading Program: " << name;
    const std::string vertexSource = ForThisGL(LoadFile(vertPath));
    if (vertexSource.empty())
    {
        Log::file(logERROR) << "(ResourceManager::LoadProgram) vertex shader load failed: " << vertPath;
        return;
    }
    const std::string fragmentSource = ForThisGL(LoadFile(fragPath));
    if (fragmentSource.empty())
    {
        Log::file(logERROR) << "(ResourceManager::LoadProgram) fragment shader load failed: " << fragPath;
        return;
    }

    GLuint vertexShader = glCreateShader(GL_VERTEX_SHADER);
    if (!CompileShader(vertexShader, vertexSource, "vertex", vertPath))
    {
        glDeleteShader(vertexShader);
        return;
    }
    GLuint fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    if (!CompileShader(fragmentShader, fragmentSource, "fragment", fragPath))
    {
        glDeleteShader(vertexShader);
        glDeleteShader(fragmentShader);
        return;
    }

    GLuint program = glCreateProgram();
    glAttachShader(program, vertexShader);
    glAttachShader(program, fragmentShader);
#ifndef __EMSCRIPTEN__
    // ES gives a program's one output location 0 by itself.
    glBindFragDataLocation(program, 0, "outColor");
#endif
    glBindAttribLocation(program, 0, "pos");
    glBindAttribLocation(program, 1, "uv");
    glLinkProgram(program);

    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE)
    {
        // Registered all the same; the log tells why nothing shows.
        GLint length = 0;
        glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
        glGetProgramInfoLog(program, length + 1, nullptr, log.data());
        Log::file(logERROR) << "(ResourceManager::LoadProgram) Program link failed: " << name << " " << log.data();
    }

    _programs[name] = program;
    DrainErrors("(ResourceManager::LoadProgram) OpenGL Error: ");
}

bool ResourceManager::CompileShader(GLuint shader, const std::string& source, const char* kind,
                                    const std::string& path) const
{
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE)
        return true;

    char log[512] = {0};
    glGetShaderInfoLog(shader, sizeof(log), nullptr, log);
    // On standard output too: a game maker editing a shader watches that.
    const std::string fullPath = _workingDirectory + _shaderPath + path;
    Log::plain() << "Failed to compile shader " << fullPath << ":\n" << log << std::endl;
    Log::file(logERROR) << "(ResourceManager::LoadProgram) " << kind << " shader compile failed: " << fullPath;
    Log::file(logERROR) << "(ResourceManager::LoadProgram) Reported shader error " << log;
    return false;
}

GLuint ResourceManager::GetProgram(const std::string& name) const
{
    auto it = _programs.find(name);
    return it == _programs.end() ? 0 : it->second;
}

std::string ResourceManager::LoadFile(const std::string& fpath) const
{
    const std::string fullPath = _workingDirectory + _shaderPath + fpath;
    // Through the game's files: a game may bring its own shaders, and the
    // engine's installed ones stand behind them.
    std::string content;
    if (!GameFiles::read(fullPath, content))
    {
        Log::file(logERROR) << "(ResourceManager::LoadFile) File Load Failed: " << fullPath;
        return std::string();
    }
    return content;
}

void ResourceManager::DrainErrors(const char* operation)
{
    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        Log::file(logERROR) << operation << static_cast<unsigned int>(error);
}
}
