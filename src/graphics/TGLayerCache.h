#pragma once

#include <string>
#include <utility>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace tamsygraphics
{
// Keeps the pixels of the layers drawn under the sprites (floors, the
// passability overlay, furniture) in an offscreen framebuffer, so that a
// frame whose camera and layers are the same as the last one's copies them
// instead of painting every tile again. On a software rasteriser those
// layers cost most of a still frame; a copy costs one write per pixel.
//
// The copy is exact: the offscreen image is cleared and drawn with the same
// state as the target and then copied pixel for pixel, so the frame shows
// what drawing the layers would have shown.
class LayerCache
{
public:
    // Everything a cached layer's pixels depend on besides its mesh, which
    // is known by its vertex array (a new submission makes a new one).
    struct Layer
    {
        std::string name;
        unsigned int vao = 0;
        unsigned int indexCount = 0;
        bool shownInEditor = true;
        float opacity = 1.0f;
        float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        int rows = 0;
        int cols = 0;
        int tileWidth = 0;
        int tileHeight = 0;
        std::vector<GLuint> textures;
        std::vector<std::pair<int, int>> highlights;
        // The tile each animated tile of the layer shows.
        std::vector<int> frames;
        // Where its offset and parallax move the layer, in world units.
        glm::vec2 shift{0.0f, 0.0f};

        bool operator==(const Layer& other) const;
    };

    // What the renderer is about to draw under the sprites.
    struct Key
    {
        glm::mat4 viewProj{1.0f};
        bool levelOverlay = true;
        bool passabilityOverlay = true;
        std::pair<unsigned int, unsigned int> passGeometry{0, 0};
        std::pair<unsigned int, unsigned int> square{0, 0};
        GLuint programs[3] = {0, 0, 0};
        // Visible layers in drawing order.
        std::vector<Layer> layers;

        bool operator==(const Key& other) const;
    };

    enum class Plan
    {
        // Something changed since the last frame: draw into the target.
        DrawDirectly,
        // The same as the last frame: draw into the cache, then Show().
        Record,
        // The cache holds these pixels: Show() them.
        Replay
    };

    LayerCache() = default;
    ~LayerCache();
    LayerCache(const LayerCache&) = delete;
    LayerCache& operator=(const LayerCache&) = delete;

    // Compares the frame about to be drawn, with the GL state it will be
    // drawn with (target framebuffer, viewport, clear colour, blending),
    // against the last one. A scene is recorded only once it has stayed the
    // same for two frames, so a moving camera costs no extra copies.
    Plan PlanFrame(const Key& key);
    // Makes the cache the drawing target; false (nothing changed) when no
    // offscreen framebuffer can be had, and then it is not tried again.
    bool BeginRecording();
    // Back to the frame's target.
    void EndRecording();
    // Copies the cached pixels into the frame's target.
    void Show() const;
    // The next frame draws directly whatever it shows.
    void Forget();
    // How the last frame got its layers (a failed recording drew directly).
    Plan LastPlan() const { return _lastPlan; }

private:
    // The GL state a frame is drawn with, read when it is planned.
    struct Target
    {
        GLint framebuffer = 0;
        GLint viewport[4] = {0, 0, 0, 0};
        GLfloat clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        GLint blend[5] = {0, 0, 0, 0, 0};

        bool operator==(const Target& other) const;
    };
    static Target CurrentTarget();
    bool Allocate(int width, int height);
    void Release();

    Key _key;
    Target _target;
    bool _seen = false;
    bool _recorded = false;
    bool _unavailable = false;
    Plan _lastPlan = Plan::DrawDirectly;
    GLuint _framebuffer = 0;
    GLuint _colour = 0;
    int _width = 0;
    int _height = 0;
};
}
