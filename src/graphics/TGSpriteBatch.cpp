#include "graphics/TGSpriteBatch.h"

#include "graphics/TGGeometryFactory.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGSprite.h"
#include "graphics/TGTexture.h"

namespace tamsygraphics
{
namespace
{
const size_t CORNERS = 4;
const size_t INDICES_PER_QUAD = 6;

// The frame a sprite shows, as the sprite program computes it: texScale x
// (uv + texShift), where the shift counts whole frames and the scale shrinks
// the frame grid to the texture's 0..1 range.
glm::vec2 FrameUV(const Sprite& sprite, const Texture& texture, glm::vec2 uv)
{
    const glm::vec2 size = sprite.GetSize();
    const bool wholeTexture = size.x == 0.0f || size.y == 0.0f || texture.info.width <= 0 || texture.info.height <= 0;
    if (wholeTexture)
        return uv;
    const glm::mat2 texScale(size.x / texture.info.width, 0.0f, 0.0f, size.y / texture.info.height);
    return texScale * (uv + sprite.GetTexCoords());
}
}

SpriteBatch::SpriteBatch() : _square(GeometryFactory().GenerateSquare(1.0f, 1.0f))
{
}

SpriteBatch::~SpriteBatch()
{
    if (_vao)
        glDeleteVertexArrays(1, &_vao);
    if (_vertexBuffer)
        glDeleteBuffers(1, &_vertexBuffer);
    if (_indexBuffer)
        glDeleteBuffers(1, &_indexBuffer);
}

void SpriteBatch::Clear()
{
    _vertices.clear();
    _runs.clear();
}

void SpriteBatch::Add(const Sprite& sprite, const Texture& texture)
{
    const size_t quad = _vertices.size() / CORNERS;
    if (_runs.empty() || _runs.back().texture != &texture)
        _runs.push_back(Run{&texture, quad, 0});
    ++_runs.back().quadCount;

    const glm::mat4 model = sprite.GetModelMatrix();
    for (size_t corner = 0; corner < CORNERS; ++corner)
    {
        const Vertex& unit = _square.vertices[corner];
        const glm::vec4 world = model * glm::vec4(unit.pos, 0.0f, 1.0f);
        _vertices.push_back(Vertex{glm::vec2(world), FrameUV(sprite, texture, unit.uv)});
    }
}

void SpriteBatch::PrepareBuffers()
{
    if (!_vao)
    {
        glGenVertexArrays(1, &_vao);
        glGenBuffers(1, &_vertexBuffer);
        glGenBuffers(1, &_indexBuffer);
        glBindVertexArray(_vao);
        glBindBuffer(GL_ARRAY_BUFFER, _vertexBuffer);
        // The layout of every geometry: "pos" at 0, "uv" at 1.
        glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(0));
        glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<void*>(offsetof(Vertex, uv)));
        glEnableVertexAttribArray(0);
        glEnableVertexAttribArray(1);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, _indexBuffer);
    }
    glBindVertexArray(_vao);

    const size_t quads = _vertices.size() / CORNERS;
    if (quads > _indexedQuads)
    {
        // Room for twice as many, so a growing crowd rebuilds this rarely.
        const size_t capacity = quads * 2;
        std::vector<unsigned int> indices;
        indices.reserve(capacity * INDICES_PER_QUAD);
        for (size_t q = 0; q < capacity; ++q)
            for (unsigned int index : _square.indices)
                indices.push_back(static_cast<unsigned int>(q * CORNERS) + index);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(unsigned int)),
                     indices.data(), GL_STATIC_DRAW);
        _indexedQuads = capacity;
    }
    glBindBuffer(GL_ARRAY_BUFFER, _vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(_vertices.size() * sizeof(Vertex)), _vertices.data(),
                 GL_STREAM_DRAW);
}

void SpriteBatch::Draw(GLint textureLocation)
{
    if (_runs.empty())
        return;
    PrepareBuffers();
    for (const Run& run : _runs)
    {
        glUniform1i(textureLocation, Renderer::BindForDraw(run.texture->textureId));
        const size_t firstIndex = run.firstQuad * INDICES_PER_QUAD;
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(run.quadCount * INDICES_PER_QUAD), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(firstIndex * sizeof(unsigned int)));
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}
}
