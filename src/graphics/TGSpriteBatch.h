#pragma once

#include <cstddef>
#include <vector>

#include <GL/glew.h>

#include "graphics/TGGeometry.h"

namespace tamsygraphics
{
class Sprite;
class Texture;

// The sprite pass in as few draw calls as the name order allows: the quads
// of one frame's sprites go into one vertex buffer, already placed in the
// world and cut to their frame, and every run of consecutive sprites that
// share a texture is drawn with one call. Runs keep the name order, so a
// later name still covers an earlier one.
//
// The quads are drawn with the sprite program's transform and frame uniforms
// at identity: its shader then passes the prepared positions and texture
// coordinates straight through.
class SpriteBatch
{
public:
    // Consecutive quads drawn with one texture.
    struct Run
    {
        const Texture* texture;
        size_t firstQuad;
        size_t quadCount;
    };

    SpriteBatch();
    ~SpriteBatch();
    SpriteBatch(const SpriteBatch&) = delete;
    SpriteBatch& operator=(const SpriteBatch&) = delete;

    // Forgets the previous frame's quads.
    void Clear();
    // Appends the sprite's quad as the sprite program would place it: the
    // unit square through the sprite's model matrix, showing one frame of
    // `texture` (the whole texture without a frame size).
    void Add(const Sprite& sprite, const Texture& texture);

    const std::vector<Vertex>& GetVertices() const { return _vertices; }
    const std::vector<Run>& GetRuns() const { return _runs; }

    // Uploads the quads and draws the runs in order as triangles with the
    // program in use, setting the sampler uniform at `textureLocation` for
    // each run. Needs the GL context that later frames use.
    void Draw(GLint textureLocation);

private:
    void PrepareBuffers();

    std::vector<Vertex> _vertices;
    std::vector<Run> _runs;
    // The unit square every quad starts from, as the "square" geometry has it.
    Geometry _square;
    GLuint _vao = 0;
    GLuint _vertexBuffer = 0;
    GLuint _indexBuffer = 0;
    // Quads the index buffer can address; it only ever grows.
    size_t _indexedQuads = 0;
};
}
