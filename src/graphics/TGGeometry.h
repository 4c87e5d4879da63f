#pragma once

#include <vector>

#include <glm/glm.hpp>

namespace tamsygraphics
{
// One vertex as the GPU buffers hold it: 16 bytes, position then uv.
struct Vertex
{
    glm::vec2 pos;
    glm::vec2 uv;
};

// A triangle list.
struct Geometry
{
    std::vector<Vertex> vertices;
    std::vector<unsigned int> indices;
};
}
