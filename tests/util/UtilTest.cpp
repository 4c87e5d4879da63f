#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>
#include <utility>

#include "support/LogCapture.h"
#include "util/util.h"

using testsupport::ErrorCapture;

TEST(ScreenConversion, EdgesOfTheWindow)
{
    EXPECT_FLOAT_EQ(toScreenX(0), -1.0f);
    EXPECT_FLOAT_EQ(toScreenX(640), 1.0f);
    EXPECT_FLOAT_EQ(toScreenX(320), 0.0f);
    EXPECT_FLOAT_EQ(toScreenY(0), 1.0f);
    EXPECT_FLOAT_EQ(toScreenY(480), -1.0f);
    EXPECT_FLOAT_EQ(toScreenY(240), 0.0f);
    EXPECT_FLOAT_EQ(toScreenX(160), -0.5f);
    EXPECT_FLOAT_EQ(toScreenY(120), 0.5f);
    // Outside the window the formulas simply extend.
    EXPECT_FLOAT_EQ(toScreenX(-320), -2.0f);
    EXPECT_FLOAT_EQ(toScreenY(960), -3.0f);

    EXPECT_EQ(toPixelX(-1.0f), 0);
    EXPECT_EQ(toPixelX(1.0f), 640);
    EXPECT_EQ(toPixelX(0.0f), 320);
    EXPECT_EQ(toPixelY(1.0f), 0);
    EXPECT_EQ(toPixelY(-1.0f), 480);
    EXPECT_EQ(toPixelY(0.0f), 240);
}

TEST(ScreenConversion, SizesSpanTwoAcrossTheWindow)
{
    EXPECT_FLOAT_EQ(toScreenWidth(640), 2.0f);
    EXPECT_FLOAT_EQ(toScreenHeight(480), 2.0f);
    EXPECT_FLOAT_EQ(toScreenHeight(240), 1.0f);
    EXPECT_FLOAT_EQ(toScreenWidth(0), 0.0f);
    EXPECT_FLOAT_EQ(toScreenWidth(-64), -0.2f);

    EXPECT_EQ(toPixelWidth(2.0f), 640);
    EXPECT_EQ(toPixelHeight(2.0f), 480);
    EXPECT_EQ(toPixelWidth(0.3f), 96);
    EXPECT_EQ(toPixelHeight(0.5f), 120);
}

TEST(ScreenConversion, PixelsTruncateTowardZero)
{
    EXPECT_EQ(toPixelWidth(0.0031f), 0);
    EXPECT_EQ(toPixelWidth(-0.0031f), 0) << "truncation, not flooring";
    EXPECT_EQ(toPixelWidth(0.0062f), 1); // 1.984 pixels
    EXPECT_EQ(toPixelWidth(0.0094f), 3); // 3.008 pixels
    EXPECT_EQ(toPixelWidth(-0.0094f), -3);
    EXPECT_EQ(toPixelHeight(-0.0041f), 0);
    EXPECT_EQ(toPixelX(-0.999f), 0); // 0.32 of a pixel
    EXPECT_EQ(toPixelY(0.999f), 0);
    EXPECT_EQ(toPixelX(-1.5f), -160);
}

TEST(ScreenConversion, WholePixelsSurviveTheRoundTrip)
{
    for (int x = -640; x <= 1280; ++x)
    {
        ASSERT_EQ(toPixelX(toScreenX(x)), x);
        ASSERT_EQ(toPixelWidth(toScreenWidth(x)), x);
    }
    for (int y = -480; y <= 960; ++y)
    {
        ASSERT_EQ(toPixelY(toScreenY(y)), y);
        ASSERT_EQ(toPixelHeight(toScreenHeight(y)), y);
    }
}

TEST(TextHelpers, NullSafeStringsAndNumbers)
{
    EXPECT_EQ(nullToEmpty(nullptr), "");
    EXPECT_EQ(nullToEmpty(""), "");
    EXPECT_EQ(nullToEmpty("walking"), "walking");

    EXPECT_EQ(toString(0), "0");
    EXPECT_EQ(toString(42), "42");
    EXPECT_EQ(toString(-7), "-7");
    EXPECT_EQ(toString(INT_MIN), "-2147483648");
    EXPECT_EQ(toString(INT_MAX), "2147483647");
    EXPECT_EQ(NumberToString(2.5), "2.5");
    EXPECT_EQ(NumberToString(0.01666f), "0.01666");
    EXPECT_EQ(NumberToString<long long>(-12345678901LL), "-12345678901");
}

namespace
{
XMLRoot loadElsewhere(const std::string& fileName)
{
    XMLRoot loaded = getRoot(fileName);
    return loaded;
}
}

TEST(GetRoot, YieldsTheRootTogetherWithItsDocument)
{
    ErrorCapture errors;
    // Handed out of the function that loaded it: the document travels along.
    XMLRoot root = loadElsewhere("tests/util/data/valid.xml");
    ASSERT_TRUE(root);
    XMLRoot moved = std::move(root);
    ASSERT_TRUE(moved);
    EXPECT_STREQ(moved->Name(), "map");
    EXPECT_EQ(moved.get(), moved.document->RootElement());
    EXPECT_EQ(nullToEmpty(moved->Attribute("name")), "Fish & Chips") << "entities are processed";
    EXPECT_EQ(moved->IntAttribute("width"), 3);
    EXPECT_EQ(moved->IntAttribute("height"), 0) << "missing integers read as 0";
    ASSERT_NE(moved->FirstChildElement("text"), nullptr);
    EXPECT_EQ(nullToEmpty(moved->FirstChildElement("text")->GetText()), "  two  blanks  ") << "whitespace is preserved";
    EXPECT_EQ(errors.text(), "");
}

TEST(GetRoot, FlatFilesStartAtTheFirstElement)
{
    XMLRoot root = getRoot("/tests/util/data/flat.xml"); // a leading slash opens ".//..."
    ASSERT_TRUE(root);
    EXPECT_STREQ(root->Name(), "session");
    tinyxml2::XMLElement* second = root->NextSiblingElement();
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->Name(), "scene");
    ASSERT_NE(second->NextSiblingElement(), nullptr);
    EXPECT_EQ(second->NextSiblingElement()->IntAttribute("id"), 3);
}

TEST(GetRoot, MissingAndMalformedFilesAreLoggedAndYieldNothing)
{
    const char* bad[] = {"tests/util/data/missing.xml",
                         "tests/util/data/malformed.xml",
                         "tests/util/data/empty.xml",
                         "tests/util/data/noroot.xml",
                         "tests/util/data",
                         ""};
    for (const char* fileName : bad)
    {
        ErrorCapture errors;
        XMLRoot root = getRoot(fileName);
        EXPECT_FALSE(root) << fileName;
        EXPECT_EQ(root.get(), nullptr) << fileName;
        EXPECT_EQ(root.document, nullptr) << fileName;
        EXPECT_EQ(errors.text(),
                  std::string("[Error]        getRoot - Failed to load or parse file ") + fileName + "\n");
    }
}
