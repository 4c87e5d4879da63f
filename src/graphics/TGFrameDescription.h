#pragma once

#include <string>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "graphics/TGGeometry.h"
#include "graphics/TGLayerCache.h"

namespace tamsygraphics
{
// Everything a presented frame's pixels follow from, so that a frame whose
// description equals the one the window shows need not be drawn again.
struct FrameDescription
{
    struct Rectangle
    {
        glm::vec4 colour;
        glm::vec2 position;
        int width;
        int height;
        int layer;

        bool operator==(const Rectangle& other) const;
    };

    struct Label
    {
        std::string text;
        glm::vec3 colour;
        glm::vec2 position;
        GLuint atlas;
        int size;
        int lineHeight;
        bool shadow;
        int layer;

        bool operator==(const Label& other) const;
    };

    int width = 0;
    int height = 0;
    LayerCache::Key underSprites;
    std::vector<LayerCache::Layer> overSprites;
    // The sprite pass's quads and, per run of them, the texture and length.
    std::vector<Vertex> sprites;
    std::vector<std::pair<GLuint, size_t>> spriteRuns;
    std::vector<Rectangle> rectangles;
    std::vector<Label> labels;
    // Which passability sides mesh is shown over the layers; 0 for none.
    unsigned int passabilitySides = 0;

    bool operator==(const FrameDescription& other) const;
    bool operator!=(const FrameDescription& other) const { return !(*this == other); }
};
}
