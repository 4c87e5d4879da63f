#include <gtest/gtest.h>

#include <vector>

#include "util/Letterbox.h"

TEST(Letterbox, ThePictureIsScaledByTheLargestWholeNumberThatFitsAndCentred)
{
    struct Case
    {
        int windowWidth;
        int windowHeight;
        int scale;
        int x;
        int y;
    };
    const std::vector<Case> cases = {
        {640, 480, 1, 0, 0},      // the picture's own size
        {1280, 960, 2, 0, 0},     // scale 2 exactly
        {2560, 1920, 4, 0, 0},    // scale 4 exactly
        {1920, 1080, 2, 320, 60}, // a wide screen: bars on all sides
        {1300, 2000, 2, 10, 520}, // a tall window: bars above and below
        {1279, 959, 1, 319, 239}, // just short of 2: stays 1, centred
        {320, 240, 1, 0, 0},      // smaller than the picture: its lower-left part
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.windowWidth) + " x " + std::to_string(c.windowHeight));
        const Letterbox box = Letterbox::fit(640, 480, c.windowWidth, c.windowHeight);
        EXPECT_EQ(box.scale, c.scale);
        EXPECT_EQ(box.width, 640 * c.scale);
        EXPECT_EQ(box.height, 480 * c.scale);
        EXPECT_EQ(box.x, c.x);
        EXPECT_EQ(box.y, c.y);
    }
    const Letterbox none = Letterbox::fit(0, 480, 1280, 960);
    EXPECT_EQ(none.scale, 1) << "a picture without size scales by nothing";
}

TEST(Letterbox, WindowPositionsMapBackOntoThePicture)
{
    // 1920 x 1080: scale 2, picture from x 320 to 1600, y 60 to 1020.
    const Letterbox box = Letterbox::fit(640, 480, 1920, 1080);
    double x = 0;
    double y = 0;
    box.toPicture(320.0, 60.0, 1080, x, y);
    EXPECT_DOUBLE_EQ(x, 0.0);
    EXPECT_DOUBLE_EQ(y, 0.0);
    box.toPicture(1599.0, 1019.0, 1080, x, y);
    EXPECT_DOUBLE_EQ(x, 639.5);
    EXPECT_DOUBLE_EQ(y, 479.5);
    box.toPicture(10.0, 10.0, 1080, x, y);
    EXPECT_LT(x, 0.0) << "the bar left of the picture lies off its edge";
    EXPECT_LT(y, 0.0);
}
