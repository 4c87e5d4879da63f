#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/TGCamera.h"
#include "graphics/TGCameraClamp.h"
#include "graphics/TGSprite.h"

using namespace tamsygraphics;

namespace
{
struct ClampCase
{
    const char* what;
    glm::vec2 map;
    glm::vec2 view;
    glm::vec2 target;
    glm::vec2 expected;
};

// The map spans -size/2 .. size/2; the view's edges are centre +- view/2.
void ExpectViewInsideOrCentred(const ClampCase& c, glm::vec2 at)
{
    for (int axis = 0; axis < 2; ++axis)
    {
        const float halfMap = c.map[axis] / 2.0f;
        const float halfView = c.view[axis] / 2.0f;
        if (c.map[axis] > c.view[axis])
        {
            EXPECT_GE(at[axis] - halfView, -halfMap) << c.what << " axis " << axis;
            EXPECT_LE(at[axis] + halfView, halfMap) << c.what << " axis " << axis;
        }
        else
        {
            EXPECT_FLOAT_EQ(at[axis], 0.0f) << c.what << " axis " << axis;
        }
    }
}
}

TEST(CameraClamp, KeepsTheViewOnTheMap)
{
    // A 640 x 480 view; a 2000 x 1000 map leaves 680 x 260 of travel each
    // way from the middle.
    const glm::vec2 view(640, 480);
    const glm::vec2 big(2000, 1000);
    const ClampCase cases[] = {
        {"middle of a large map", big, view, {100, -50}, {100, -50}},
        {"west edge", big, view, {-990, 0}, {-680, 0}},
        {"east edge", big, view, {990, 10}, {680, 10}},
        {"north edge", big, view, {5, 495}, {5, 260}},
        {"south edge", big, view, {-5, -495}, {-5, -260}},
        {"north-west corner", big, view, {-990, 495}, {-680, 260}},
        {"north-east corner", big, view, {990, 495}, {680, 260}},
        {"south-west corner", big, view, {-990, -495}, {-680, -260}},
        {"south-east corner", big, view, {990, -495}, {680, -260}},
        {"just inside the reach", big, view, {679, -259}, {679, -259}},
        {"smaller than the view", {320, 256}, view, {150, -120}, {0, 0}},
        {"exactly the view's size", view, view, {300, 230}, {0, 0}},
        {"one tile wide, tall", {64, 2000}, view, {0, 990}, {0, 760}},
        {"one tile high, wide", {2000, 64}, view, {-990, 0}, {-680, 0}},
        {"narrower only", {320, 1000}, view, {150, -400}, {0, -260}},
        {"lower only", {2000, 320}, view, {800, 150}, {680, 0}},
        {"a zoomed-in view", big, {320, 240}, {-990, 495}, {-840, 380}},
    };
    for (const ClampCase& c : cases)
    {
        const glm::vec2 at = CameraClamp::Clamp(c.map, c.view, c.target);
        EXPECT_FLOAT_EQ(at.x, c.expected.x) << c.what;
        EXPECT_FLOAT_EQ(at.y, c.expected.y) << c.what;
        ExpectViewInsideOrCentred(c, at);
    }
}

TEST(CameraClamp, CoveredBandsLetTheViewRunPastTheMapUnderThem)
{
    // A fight covers the top 60 and the bottom 120 of a 480-high view. The
    // view's top may reach 60 above the map's top edge (500), its bottom 120
    // below the bottom edge (-500); x keeps to the map as before.
    const glm::vec2 view(640, 480);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        const char* what;
        glm::vec2 map;
        glm::vec2 target;
        float top;
        float bottom;
        glm::vec2 expected;
    } cases[] = {
        {"middle", {2000, 1000}, {100, 0}, 60, 120, {100, 0}},
        {"north-west corner", {2000, 1000}, {-990, 495}, 60, 120, {-680, 320}},
        {"south-east corner", {2000, 1000}, {990, -495}, 60, 120, {680, -380}},
        {"only the bottom covered", {2000, 1000}, {0, -495}, 0, 120, {0, -380}},
        {"a low map near its top", {2000, 400}, {0, 150}, 60, 120, {0, 20}},
        {"a low map near its bottom", {2000, 400}, {0, -150}, 60, 120, {0, -80}},
        {"shorter than the uncovered part: centred in it", {2000, 256}, {0, 100}, 60, 120, {0, -30}},
        {"negative bands are ignored", {2000, 1000}, {0, -495}, -60, -120, {0, -260}},
        {"broken bands are ignored", {2000, 1000}, {0, 495}, nan, 120, {0, 260}},
    };
    for (const auto& c : cases)
    {
        const glm::vec2 at = CameraClamp::Clamp(c.map, view, c.target, c.top, c.bottom);
        EXPECT_FLOAT_EQ(at.x, c.expected.x) << c.what;
        EXPECT_FLOAT_EQ(at.y, c.expected.y) << c.what;
    }

    // A following camera takes the bands as shares of what it sees.
    Camera cam("fight", 640, 480, 45.0f, 0.5f, 100.0f);
    cam.SetBounds(2000.0f, 1000.0f);
    cam.SetCoveredEdges(0.125f, 0.25f);
    cam.Follow(990.0f, -495.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().x, 680.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().y, -380.0f);
}

TEST(CameraClamp, SizelessOrBrokenSizesLeaveTheTargetAlone)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const glm::vec2 target(1234, -567);
    const struct
    {
        const char* what;
        glm::vec2 map;
        glm::vec2 view;
    } cases[] = {
        {"no map", {0, 0}, {640, 480}},       {"negative map", {-100, -100}, {640, 480}},
        {"no view", {2000, 1000}, {0, 0}},    {"not a number", {nan, nan}, {640, 480}},
        {"infinite", {inf, inf}, {640, 480}},
    };
    for (const auto& c : cases)
    {
        const glm::vec2 at = CameraClamp::Clamp(c.map, c.view, target);
        EXPECT_FLOAT_EQ(at.x, target.x) << c.what;
        EXPECT_FLOAT_EQ(at.y, target.y) << c.what;
    }
}

TEST(CameraClamp, FollowedSpriteKeepsTheCameraOnTheMapButMoveToDoesNot)
{
    Camera cam("clamped", 640, 480, 45.0f, 0.5f, 100.0f);
    cam.SetBounds(2000.0f, 1000.0f);
    Sprite sprite("walker");
    sprite.MoveTo(-990.0f, 495.0f);
    sprite.AttachCamera(&cam);
    EXPECT_FLOAT_EQ(cam.GetPosition().x, -680.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().y, 260.0f);

    // Walking back towards the middle lets the camera follow again.
    sprite.Move(1000.0f, -495.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().x, 10.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().y, 0.0f);

    // A camera placed on purpose goes where it is told.
    cam.MoveTo(-5000.0f, 3000.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().x, -5000.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().y, 3000.0f);

    // Without bounds the camera centres on the sprite wherever it is.
    cam.ClearBounds();
    sprite.MoveTo(-990.0f, 495.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().x, -990.0f);
    EXPECT_FLOAT_EQ(cam.GetPosition().y, 495.0f);
    sprite.DetachCamera();
}
