#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include <GL/glew.h>

#include "graphics/TGGeometryFactory.h"
#include "graphics/TGImageLoader.h"
#include "graphics/TGTexture.h"

namespace tamsygraphics
{
typedef std::map<std::string, std::unique_ptr<Texture>> TextureMap;
typedef std::map<std::string, std::pair<unsigned int, unsigned int>> VAOMap;
typedef std::map<std::string, GLuint> ProgramMap;

// Owns everything kept on the GPU by name: textures, vertex arrays and
// shader programs. Needs a current OpenGL context.
class ResourceManager
{
public:
    explicit ResourceManager(const std::string& workingDirectory);
    virtual ~ResourceManager() = default;

    // False when the file could not be read or decoded: the texture is
    // registered all the same, without pixels, and the failure is logged.
    bool LoadTexture(const std::string& name, const std::string& fpath);
    // Registers a texture that is loaded on its first GetTexture, taking
    // the next texture unit then.
    void DeferTexture(const std::string& name, const std::string& fpath);
    Texture* BindTexture(const std::string& name, const Image* image);
    Texture* GetTexture(const std::string& name) const;
    // Bookkeeping only: units 0..31 in creation order, wrapping.
    int GetTextureSlot();

    void CreateGeometry(const std::string& name, const Geometry& g);
    // New vertices for a geometry of the same size, in its own buffer (an
    // animated layer's tiles change pictures, never places); false when
    // there is no such geometry.
    bool UpdateVertices(const std::string& name, const std::vector<Vertex>& vertices);
    // (vertex array, index count), or (0, 0) for an unknown name.
    std::pair<unsigned int, unsigned int> GetVAO(const std::string& name) const;

    void LoadProgram(const std::string& name, const std::string& fragPath, const std::string& vertPath);
    GLuint GetProgram(const std::string& name) const;
    std::string LoadFile(const std::string& fpath) const;

    GeometryFactory& GetGeometryFactory() { return _geometryFactory; }

private:
    bool CompileShader(GLuint shader, const std::string& source, const char* kind, const std::string& path) const;
    static void DrainErrors(const char* operation);

    std::string _workingDirectory;
    std::string _shaderPath;
    ImageLoader _imageLoader;
    TextureMap _activeTextures;
    // Name to path of the lazy textures not used yet.
    std::map<std::string, std::string> _deferredTextures;
    VAOMap _activeVAOs;
    ProgramMap _programs;
    int _textureSlotIndex = 0;
    GeometryFactory _geometryFactory;
};
}
