#include <gtest/gtest.h>

#include <glm/gtc/matrix_transform.hpp>

#include "graphics/TGCamera.h"
#include "graphics/TGMap.h"
#include "graphics/TGSprite.h"

using namespace tamsygraphics;

namespace
{
Camera MakeCamera()
{
    return Camera("cam", 640, 480, 45.0f, 0.5f, 100.0f);
}

// Window pixel (origin top left) where a world point lands.
glm::vec2 ToWindow(const Camera& cam, const glm::mat4& model, glm::vec2 corner)
{
    const glm::vec4 clip = cam.GetProj() * cam.GetView() * model * glm::vec4(corner, 0.0f, 1.0f);
    return glm::vec2((clip.x / clip.w + 1.0f) * 320.0f, (1.0f - clip.y / clip.w) * 240.0f);
}
}

TEST(Camera, BoundsAndZoomClamps)
{
    Camera cam = MakeCamera();
    EXPECT_FLOAT_EQ(cam.GetRight(), 320);
    EXPECT_FLOAT_EQ(cam.GetLeft(), -320);
    EXPECT_FLOAT_EQ(cam.GetTop(), 240);
    EXPECT_FLOAT_EQ(cam.GetBottom(), -240);
    EXPECT_FALSE(cam.IsAttached());
    EXPECT_EQ(cam.GetPosition(), glm::vec3(0, 0, 1));

    cam.Zoom(0.5f);
    EXPECT_FLOAT_EQ(cam.GetRight(), 160);
    EXPECT_FLOAT_EQ(cam.GetBottom(), -120);

    cam.Zoom(0.01f);
    EXPECT_FLOAT_EQ(cam.GetRight(), 32);
    EXPECT_FLOAT_EQ(cam.GetLeft(), -32);
    EXPECT_FLOAT_EQ(cam.GetTop(), 24);
    EXPECT_FLOAT_EQ(cam.GetBottom(), -24);

    Camera far = MakeCamera();
    far.Zoom(100.0f);
    EXPECT_FLOAT_EQ(far.GetRight(), 3200);
    EXPECT_FLOAT_EQ(far.GetLeft(), -3200);
    EXPECT_FLOAT_EQ(far.GetTop(), 2400);
    EXPECT_FLOAT_EQ(far.GetBottom(), -2400);

    // Nonsense factors clamp instead of flipping or collapsing the view.
    Camera odd = MakeCamera();
    odd.Zoom(0.0f);
    EXPECT_FLOAT_EQ(odd.GetRight(), 32);
    odd.Zoom(-3.0f);
    EXPECT_FLOAT_EQ(odd.GetRight(), 32);
    EXPECT_FLOAT_EQ(odd.GetLeft(), -32);

    // The projection follows the zoom: world x 32 is the right window edge.
    const glm::vec4 edge = odd.GetProj() * odd.GetView() * glm::vec4(32, 0, 0, 1);
    EXPECT_NEAR(edge.x / edge.w, 1.0f, 1e-5f);
}

TEST(Camera, WorldToWindowAndScreenSpaceToWorld)
{
    Camera cam = MakeCamera();
    cam.MoveTo(100.0f, -50.0f);
    EXPECT_EQ(cam.GetPosition(), glm::vec3(100, -50, 1));
    EXPECT_EQ(cam.GetLookAt(), glm::vec3(100, -50, 0));

    // World (x, y) lands at (320 + x - camX, 240 - (y - camY)).
    const glm::vec2 p = ToWindow(cam, glm::mat4(1.0f), glm::vec2(130.0f, -20.0f));
    EXPECT_NEAR(p.x, 350.0f, 1e-3f);
    EXPECT_NEAR(p.y, 210.0f, 1e-3f);

    const glm::vec3 centre = cam.ScreenSpaceToWorld(glm::vec2(0.0f, 0.0f));
    EXPECT_NEAR(centre.x, 100.0f, 1e-4f);
    EXPECT_NEAR(centre.y, -50.0f, 1e-4f);
    EXPECT_NEAR(centre.z, 0.5f, 1e-5f);
    const glm::vec3 corner = cam.ScreenSpaceToWorld(glm::vec2(1.0f, 1.0f));
    EXPECT_NEAR(corner.x, 420.0f, 1e-3f);
    EXPECT_NEAR(corner.y, 190.0f, 1e-3f);
    const glm::vec3 low = cam.ScreenSpaceToWorld(glm::vec2(-0.5f, -1.0f));
    EXPECT_NEAR(low.x, -60.0f, 1e-3f);
    EXPECT_NEAR(low.y, -290.0f, 1e-3f);

    // Resizing keeps one unit per pixel and a zero height stays finite.
    cam.Resize(800, 600);
    EXPECT_FLOAT_EQ(cam.GetRight(), 400);
    cam.Resize(800, 0);
    EXPECT_FALSE(std::isnan(cam.GetPerspective()[0][0]));
}

TEST(Sprite, DefaultsSizeAndTransform)
{
    Sprite s("hero");
    EXPECT_TRUE(s.IsVisible());
    EXPECT_EQ(s.GetIdentifier(), "hero");
    EXPECT_EQ(s.GetCoords(), glm::vec2(0, 0));
    EXPECT_EQ(s.GetSize(), glm::vec2(0, 0));
    EXPECT_EQ(s.GetTexCoords(), glm::vec2(0, 0));
    EXPECT_EQ(s.GetModelMatrix(), glm::mat4(1.0f));
    EXPECT_EQ(s.GetTextureName(), "");

    s.Dimensions(32, 32);
    s.Dimensions(32, 32);
    const glm::vec4 corner = s.GetModelMatrix() * glm::vec4(0.5f, 0.5f, 0, 1);
    EXPECT_FLOAT_EQ(corner.x, 512.0f);
    EXPECT_FLOAT_EQ(corner.y, 512.0f);

    Sprite t("t");
    t.Dimensions(10, 20);
    t.MoveTo(5, 5);
    t.MoveTo(100, 50);
    const glm::vec4 c = t.GetModelMatrix() * glm::vec4(0.5f, -0.5f, 0, 1);
    EXPECT_FLOAT_EQ(c.x, 105.0f);
    EXPECT_FLOAT_EQ(c.y, 40.0f);
    EXPECT_EQ(t.GetCoords(), glm::vec2(100, 50));

    t.Rotate(90.0f, glm::vec3(0, 0, 1));
    const glm::vec4 r = t.GetModelMatrix() * glm::vec4(0.5f, 0.0f, 0, 1);
    EXPECT_NEAR(r.x, 100.0f, 1e-4f);
    EXPECT_NEAR(r.y, 55.0f, 1e-4f);

    t.Move(-10, 10);
    EXPECT_EQ(t.GetCoords(), glm::vec2(90, 60));
    const glm::vec4 moved = t.GetWorld() * glm::vec4(0, 0, 0, 1);
    EXPECT_FLOAT_EQ(moved.x, 90.0f);
    EXPECT_FLOAT_EQ(moved.y, 60.0f);
}

TEST(Sprite, SetTextureResetsFrame)
{
    Sprite s("s");
    s.SetTexture("walking");
    s.SetSize(32, 48);
    s.setTexCoords(glm::vec2(2, 1));
    s.SetSortKey(7);
    EXPECT_EQ(s.GetSize(), glm::vec2(32, 48));
    EXPECT_EQ(s.GetTexCoords(), glm::vec2(2, 1));

    s.SetTexture("dog");
    EXPECT_EQ(s.GetTextureName(), "dog");
    EXPECT_EQ(s.GetSize(), glm::vec2(0, 0));
    EXPECT_EQ(s.GetTexCoords(), glm::vec2(0, 0));
    EXPECT_EQ(s.GetSortKey(), 0);

    s.SetVisible(false);
    EXPECT_FALSE(s.IsVisible());
}

TEST(Sprite, AttachedCameraFollowsMoves)
{
    Camera cam = MakeCamera();
    Sprite s("avatar");
    s.MoveTo(64, -32);
    s.AttachCamera(&cam);
    EXPECT_TRUE(cam.IsAttached());
    EXPECT_EQ(cam.GetPosition(), glm::vec3(64, -32, 1));

    s.MoveTo(10, 20);
    EXPECT_EQ(cam.GetPosition(), glm::vec3(10, 20, 1));
    const glm::vec3 under = cam.ScreenSpaceToWorld(glm::vec2(0, 0));
    EXPECT_NEAR(under.x, 10.0f, 1e-4f);
    EXPECT_NEAR(under.y, 20.0f, 1e-4f);

    // The sprite stays at the window centre wherever it goes.
    const glm::vec2 p = ToWindow(cam, s.GetModelMatrix(), glm::vec2(0, 0));
    EXPECT_NEAR(p.x, 320.0f, 1e-3f);
    EXPECT_NEAR(p.y, 240.0f, 1e-3f);

    s.Move(5, 5);
    EXPECT_EQ(cam.GetPosition(), glm::vec3(15, 25, 1));

    s.DetachCamera();
    EXPECT_FALSE(cam.IsAttached());
    EXPECT_EQ(s.GetCamera(), nullptr);
    s.MoveTo(300, 300);
    EXPECT_EQ(cam.GetPosition(), glm::vec3(15, 25, 1));
    s.DetachCamera(); // nothing attached: no effect
    s.AttachCamera(nullptr);
    s.MoveTo(1, 1);
    EXPECT_EQ(s.GetCamera(), nullptr);
}

TEST(Map, TilesHighlightsAndVisibility)
{
    Tileset ts;
    ts.renderedTileWidth = 32;
    ts.renderedTileHeight = 16;
    Map map;
    EXPECT_TRUE(map.hide);
    EXPECT_TRUE(map.name.empty());
    map.rows = 2;
    map.cols = 3;
    map.tileset = &ts;
    map.tiles.assign(2, std::vector<DrawableTile>(3));
    EXPECT_FLOAT_EQ(map.GetMapWidth(), 96.0f);
    EXPECT_FLOAT_EQ(map.GetMapHeight(), 32.0f);

    EXPECT_NE(map.GetTile(1, 2), nullptr);
    EXPECT_EQ(map.GetTile(2, 0), nullptr);
    EXPECT_EQ(map.GetTile(-1, 0), nullptr);
    EXPECT_EQ(map.GetTile(0, 3), nullptr);
    EXPECT_EQ(map.GetTile(0, -1), nullptr);
    map.GetTile(1, 2)->col = 7;
    EXPECT_EQ(map.tiles[1][2].col, 7);

    map.SetVisible(true);
    EXPECT_FALSE(map.hide);
    map.SetVisible(false);
    EXPECT_TRUE(map.hide);

    map.HighlightTile(1, 1);
    map.HighlightTile(0, 2);
    map.HighlightTile(1, 1);
    EXPECT_EQ(map.GetHighlightedTiles().size(), 3u);
    map.UnhiglightTile(1, 1);
    ASSERT_EQ(map.GetHighlightedTiles().size(), 1u);
    EXPECT_EQ(map.GetHighlightedTiles()[0], std::make_pair(0, 2));
    map.UnhiglightTile(5, 5);
    EXPECT_EQ(map.GetHighlightedTiles().size(), 1u);

    Map noTileset;
    EXPECT_FLOAT_EQ(noTileset.GetMapWidth(), 0.0f);
}
