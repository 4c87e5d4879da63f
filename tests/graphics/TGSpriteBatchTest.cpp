#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "graphics/TGSprite.h"
#include "graphics/TGSpriteBatch.h"
#include "graphics/TGTexture.h"

using namespace tamsygraphics;

namespace
{
Texture SizedTexture(int width, int height)
{
    Texture texture;
    texture.info.width = width;
    texture.info.height = height;
    return texture;
}

void ExpectVec2(glm::vec2 actual, glm::vec2 expected, const char* what)
{
    EXPECT_FLOAT_EQ(actual.x, expected.x) << what;
    EXPECT_FLOAT_EQ(actual.y, expected.y) << what;
}
}

TEST(SpriteBatchTest, RunsKeepTheOrderAndSplitWhereTheTextureChanges)
{
    Texture red = SizedTexture(4, 4);
    Texture green = SizedTexture(4, 4);
    struct Case
    {
        const char* name;
        std::vector<const Texture*> textures;
        std::vector<size_t> runLengths;
    };
    const Case cases[] = {
        {"nothing", {}, {}},
        {"one texture", {&red, &red, &red}, {3}},
        {"a change in the middle", {&red, &red, &green, &green, &green}, {2, 3}},
        {"a texture coming back", {&red, &green, &red}, {1, 1, 1}},
    };
    SpriteBatch batch;
    Sprite sprite("s");
    for (const Case& c : cases)
    {
        batch.Clear();
        for (const Texture* texture : c.textures)
            batch.Add(sprite, *texture);
        ASSERT_EQ(batch.GetRuns().size(), c.runLengths.size()) << c.name;
        size_t first = 0;
        for (size_t i = 0; i < c.runLengths.size(); ++i)
        {
            EXPECT_EQ(batch.GetRuns()[i].firstQuad, first) << c.name;
            EXPECT_EQ(batch.GetRuns()[i].quadCount, c.runLengths[i]) << c.name;
            EXPECT_EQ(batch.GetRuns()[i].texture, c.textures[first]) << c.name;
            first += c.runLengths[i];
        }
        EXPECT_EQ(batch.GetVertices().size(), c.textures.size() * 4) << c.name;
    }
}

TEST(SpriteBatchTest, QuadsArePlacedAndCutAsTheSpriteProgramWould)
{
    SpriteBatch batch;
    const Texture sheet = SizedTexture(64, 32);

    // A 32 x 16 quad centred on (10, 20), corners from the top left, clockwise.
    Sprite placed("placed");
    placed.Dimensions(32, 16);
    placed.MoveTo(10, 20);
    batch.Add(placed, sheet);
    ExpectVec2(batch.GetVertices()[0].pos, {-6, 28}, "top left");
    ExpectVec2(batch.GetVertices()[1].pos, {26, 28}, "top right");
    ExpectVec2(batch.GetVertices()[2].pos, {26, 12}, "bottom right");
    ExpectVec2(batch.GetVertices()[3].pos, {-6, 12}, "bottom left");
    // No frame size: the whole texture.
    ExpectVec2(batch.GetVertices()[0].uv, {0, 0}, "whole texture, top left");
    ExpectVec2(batch.GetVertices()[2].uv, {1, 1}, "whole texture, bottom right");

    // Frame (2, 1) of 16 x 16 frames: a quarter of the width, half the height.
    Sprite framed("framed");
    framed.SetSize(16, 16);
    framed.setTexCoords(glm::vec2(2, 1));
    batch.Add(framed, sheet);
    ExpectVec2(batch.GetVertices()[4].uv, {0.5f, 0.5f}, "frame, top left");
    ExpectVec2(batch.GetVertices()[6].uv, {0.75f, 1.0f}, "frame, bottom right");

    // A frame size on a texture without pixels shows the whole (empty) texture.
    batch.Add(framed, SizedTexture(0, 0));
    ExpectVec2(batch.GetVertices()[10].uv, {1, 1}, "no pixels");

    // Rotation and scale go through the same model matrix as before.
    Sprite turned("turned");
    turned.Dimensions(20, 10);
    turned.Rotate(90.0f, glm::vec3(0, 0, 1));
    turned.MoveTo(100, 0);
    batch.Add(turned, sheet);
    const glm::vec4 expected = turned.GetModelMatrix() * glm::vec4(-0.5f, 0.5f, 0.0f, 1.0f);
    ExpectVec2(batch.GetVertices()[12].pos, glm::vec2(expected), "rotated corner");
    EXPECT_NEAR(batch.GetVertices()[12].pos.x, 95.0f, 1e-3f);
    EXPECT_NEAR(batch.GetVertices()[12].pos.y, -10.0f, 1e-3f);
}
