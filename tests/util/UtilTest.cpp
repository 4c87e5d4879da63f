#include <gtest/gtest.h>

#include "util/util.h"

TEST(ScreenConversion, EdgesOfTheWindow)
{
    EXPECT_FLOAT_EQ(toScreenX(0), -1.0f);
    EXPECT_FLOAT_EQ(toScreenX(640), 1.0f);
    EXPECT_EQ(toPixelWidth(-0.0031f), 0);
}
