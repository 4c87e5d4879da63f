#include "graphics/TGNineSlice.h"

#include <gtest/gtest.h>

using tamsygraphics::NineSlice;
using tamsygraphics::NineSlicePiece;

namespace
{
const glm::ivec2 WINDOW(640, 480);

// Pixels of a normalised length along x and y.
glm::vec2 pixels(glm::vec2 size)
{
    return size * glm::vec2(320.0f, 240.0f);
}
}

// Panels of every shape, the awkward ones included: the pieces tile the
// panel exactly, never with a negative size, and the picture's pieces tile
// the picture.
TEST(NineSlice, PiecesTileThePanelAndThePictureForEveryShape)
{
    struct Case
    {
        glm::ivec2 panel;
        glm::ivec2 picture;
        int border;
        float expectedBorder;
    };
    const Case cases[] = {
        {{200, 100}, {12, 12}, 4, 4.0f},  // the usual panel
        {{6, 100}, {12, 12}, 4, 3.0f},    // narrower than two corners
        {{200, 100}, {4, 4}, 8, 2.0f},    // a picture smaller than its border
        {{0, 0}, {12, 12}, 4, 0.0f},      // an empty panel
        {{200, 100}, {0, 0}, 4, 0.5f},    // a picture with no pixels counts as 1 x 1
        {{200, 100}, {12, 12}, -3, 0.0f}, // a nonsense border
    };
    for (const Case& c : cases)
    {
        const auto pieces = NineSlice::cut(glm::vec2(0.0f), c.panel, c.picture, c.border, WINDOW);
        float width = 0.0f;
        float height = 0.0f;
        float uvWidth = 0.0f;
        float uvHeight = 0.0f;
        for (int i = 0; i < 3; ++i)
        {
            width += pixels(pieces[i].size).x;
            height += pixels(pieces[i * 3].size).y;
            uvWidth += pieces[i].uvSize.x;
            uvHeight += pieces[i * 3].uvSize.y;
        }
        for (const NineSlicePiece& piece : pieces)
        {
            EXPECT_GE(piece.size.x, 0.0f);
            EXPECT_GE(piece.size.y, 0.0f);
        }
        EXPECT_NEAR(width, c.panel.x, 1e-3f) << c.panel.x << "x" << c.panel.y;
        EXPECT_NEAR(height, c.panel.y, 1e-3f);
        EXPECT_NEAR(uvWidth, 1.0f, 1e-5f);
        EXPECT_NEAR(uvHeight, 1.0f, 1e-5f);
        EXPECT_NEAR(pixels(pieces[0].size).x, c.expectedBorder, 1e-3f) << "the corner's width";
    }
}

TEST(NineSlice, TheTopLeftCornerSitsAtThePanelsTopLeft)
{
    const glm::vec2 centre(0.5f, -0.25f);
    const auto pieces = NineSlice::cut(centre, {200, 100}, {12, 12}, 4, WINDOW);
    // The panel's top left is 100 pixels left of and 50 above its centre;
    // the 4-pixel corner's centre is 2 pixels in from both.
    EXPECT_NEAR(pieces[0].centre.x, centre.x - 98.0f / 320.0f, 1e-5f);
    EXPECT_NEAR(pieces[0].centre.y, centre.y + 48.0f / 240.0f, 1e-5f);
    EXPECT_EQ(pieces[0].uvOffset, glm::vec2(0.0f, 0.0f));
    EXPECT_NEAR(pieces[8].uvOffset.x, 8.0f / 12.0f, 1e-6f) << "the bottom-right corner's picture";
    EXPECT_NEAR(pieces[8].centre.y, centre.y - 48.0f / 240.0f, 1e-5f) << "rows go down";
}
