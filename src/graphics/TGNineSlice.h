#pragma once

#include <array>

#include <glm/glm.hpp>

namespace tamsygraphics
{
// One of the nine pieces of a panel: where it goes (centre and size in
// normalised window units) and which part of the picture it shows (texture
// coordinates, top left and size; v grows downwards like the picture's rows).
struct NineSlicePiece
{
    glm::vec2 centre;
    glm::vec2 size;
    glm::vec2 uvOffset;
    glm::vec2 uvSize;
};

// Cuts a panel picture in nine: the corners keep their size in pixels, the
// edges stretch along one axis and the middle along both, so a frame looks
// the same on any panel. A border wider than half the panel or the picture
// is narrowed to fit, so the pieces never overlap or turn inside out.
class NineSlice
{
public:
    // `centre` in normalised window units, `panelPixels` and `picturePixels`
    // in pixels; `windowPixels` is the window the units span.
    static std::array<NineSlicePiece, 9> cut(glm::vec2 centre, glm::ivec2 panelPixels, glm::ivec2 picturePixels,
                                             int border, glm::ivec2 windowPixels);
};
}
