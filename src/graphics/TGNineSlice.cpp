#include "graphics/TGNineSlice.h"

#include <algorithm>

namespace tamsygraphics
{
namespace
{
// Starts and lengths of the three bands along one axis, in pixels.
struct Bands
{
    float start[3];
    float length[3];
};

Bands bands(float total, float border)
{
    return {{0.0f, border, total - border}, {border, total - 2.0f * border, border}};
}
}

std::array<NineSlicePiece, 9> NineSlice::cut(glm::vec2 centre, glm::ivec2 panelPixels, glm::ivec2 picturePixels,
                                             int border, glm::ivec2 windowPixels)
{
    const glm::vec2 panel(std::max(panelPixels.x, 0), std::max(panelPixels.y, 0));
    const glm::vec2 picture(std::max(picturePixels.x, 1), std::max(picturePixels.y, 1));
    const float limit = std::min({panel.x / 2.0f, panel.y / 2.0f, picture.x / 2.0f, picture.y / 2.0f});
    const float edge = std::max(0.0f, std::min(static_cast<float>(border), limit));
    const Bands onScreenX = bands(panel.x, edge);
    const Bands onScreenY = bands(panel.y, edge);
    const Bands inPictureX = bands(picture.x, edge);
    const Bands inPictureY = bands(picture.y, edge);
    // Normalised units per pixel.
    const glm::vec2 unit(2.0f / std::max(windowPixels.x, 1), 2.0f / std::max(windowPixels.y, 1));
    std::array<NineSlicePiece, 9> pieces;
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column)
        {
            NineSlicePiece& piece = pieces[row * 3 + column];
            const float x = onScreenX.start[column] + onScreenX.length[column] / 2.0f - panel.x / 2.0f;
            // Rows count down from the top edge.
            const float y = panel.y / 2.0f - onScreenY.start[row] - onScreenY.length[row] / 2.0f;
            piece.centre = centre + glm::vec2(x, y) * unit;
            piece.size = glm::vec2(onScreenX.length[column], onScreenY.length[row]) * unit;
            piece.uvOffset = glm::vec2(inPictureX.start[column] / picture.x, inPictureY.start[row] / picture.y);
            piece.uvSize = glm::vec2(inPictureX.length[column] / picture.x, inPictureY.length[row] / picture.y);
        }
    }
    return pieces;
}
}
