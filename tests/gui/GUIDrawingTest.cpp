#include <string>
#include <vector>

#include "graphics/GfxTestSupport.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"
#include "gui/GUIElement.h"
#include "gui/GUIManager.h"
#include "gui/GUITextBox.h"
#include "gui/StatBar.h"

using gfxtest::Colour;
using gfxtest::ReadPixel;

namespace
{
// Window pixel of a point in screen units, origin at the bottom left.
Colour PixelAt(float x, float y)
{
    return ReadPixel(static_cast<int>((x + 1.0f) * 320.0f), static_cast<int>((y + 1.0f) * 240.0f));
}

gui::GUIElement* Box(float x, float y, float size, float r, float g, float b)
{
    gui::GUIElement* box = gui::GUIElement::make<gui::GUIElement>();
    box->setPosition(x, y);
    box->setWidth(size);
    box->setHeight(size);
    box->setBackgroundColor(r, g, b, 1.0f);
    return box;
}

int BrightPixels(int x0, int y0, int x1, int y1)
{
    int bright = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
        {
            const Colour c = ReadPixel(x, y);
            bright += (c.r > 200 && c.g > 200 && c.b > 200) ? 1 : 0;
        }
    return bright;
}
}

// Widgets drawn by a real renderer: the GUI manager works on the renderer's
// graphics GUI layer for the length of each test.
class GUIDrawing : public gfxtest::RendererFixture
{
protected:
    GUIDrawing() : RendererFixture(true) {}

    void SetUp() override
    {
        RendererFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        gui::GUIManager::reset();
        gui::GUIManager::init(gui);
        glClearColor(0, 0, 0, 1);
    }
    void TearDown() override
    {
        // Widgets go before the graphics layer they were drawn with.
        gui::GUIManager::reset();
        gui::GUIManager::init(nullptr);
    }
};

TEST_F(GUIDrawing, AWidgetOpenedLaterIsDrawnOverOlderOnesWhateverItsName)
{
    for (int i = 0; i < 2; ++i)
        Box(0.9f, 0.9f, 0.05f, 0, 0, 1);
    gui::GUIElement* older = Box(0, 0, 0.5f, 1, 0, 0);
    ASSERT_EQ(older->getRectangle()->getId(), "rectangle2");
    for (int i = 3; i < 10; ++i)
        Box(0.9f, -0.9f, 0.05f, 0, 0, 1);
    gui::GUIElement* newer = Box(0, 0, 2.0f, 0, 1, 0);
    ASSERT_EQ(newer->getRectangle()->getId(), "rectangle10");
    renderer->Draw();
    EXPECT_EQ(PixelAt(0, 0), gfxtest::GREEN) << "\"rectangle10\" sorts before \"rectangle2\", yet was opened last";

    older->show();
    renderer->Draw();
    EXPECT_EQ(PixelAt(0, 0), gfxtest::RED) << "shown again, the older one comes back on top";
    EXPECT_EQ(PixelAt(0.5f, 0.5f), gfxtest::GREEN);
}

TEST_F(GUIDrawing, ANewerWidgetCoversTheTextOfAnOlderOne)
{
    gui::GUITextBox* label = gui::GUIElement::make<gui::GUITextBox>("Menu Menu Menu");
    label->setPadding(0.05f);
    label->setWidth(1.0f);
    label->setHeight(0.5f);
    label->setPosition(0, 0);
    renderer->Draw();
    ASSERT_GT(BrightPixels(160, 200, 480, 300), 50) << "the label's text is drawn";

    gui::GUIElement* cover = Box(0, 0, 2.0f, 0.2f, 0.2f, 0.2f);
    renderer->Draw();
    EXPECT_EQ(BrightPixels(160, 200, 480, 300), 0) << "no letter shows through the newer box";
    cover->hide();
    renderer->Draw();
    EXPECT_GT(BrightPixels(160, 200, 480, 300), 50);
}

TEST_F(GUIDrawing, TheBottomBandCoversTheLowestQuarterOfTheWindow)
{
    gui::GUIElement* band = gui::GUIElement::make<gui::GUIElement>();
    band->setBackgroundColor(0, 0, 1, 1);
    band->attachToBottom();
    renderer->Draw();
    EXPECT_EQ(ReadPixel(0, 0), gfxtest::BLUE);
    EXPECT_EQ(ReadPixel(639, 119), gfxtest::BLUE);
    EXPECT_EQ(ReadPixel(320, 121), gfxtest::BLACK);
}

TEST_F(GUIDrawing, WrappedTextRunsOnToLinesBelowInsideItsBox)
{
    gui::GUITextBox* box = gui::GUIElement::make<gui::GUITextBox>(std::string(60, 'W'));
    box->setWordWrap(true);
    box->setPadding(0.05f);
    box->setWidth(1.0f);
    box->setHeight(1.0f);
    box->setPosition(0, 0);
    const std::string shown = box->getShownText();
    ASSERT_NE(shown.find('\n'), std::string::npos) << shown;
    EXPECT_EQ(box->getText(), std::string(60, 'W')) << "the text itself is kept as given";
    EXPECT_LE(box->getGraphicsText()->getLength(), 320 - 32) << "every line fits inside the paddings";
    renderer->Draw();
    // Window rows count up from the bottom: the box's top is row 360, the
    // first baseline 24 rows below it and the next one 23 lower; capitals
    // reach up from their baselines.
    EXPECT_GT(BrightPixels(170, 338, 470, 346), 20) << "first line";
    EXPECT_GT(BrightPixels(170, 315, 470, 323), 20) << "second line";
    EXPECT_EQ(BrightPixels(170, 327, 470, 335), 0) << "between the lines";
    EXPECT_EQ(BrightPixels(0, 0, 150, 480), 0) << "nothing left of the box";
}

// A bar at a known share: the fill covers exactly that share of the track
// from its left edge, and the rest is the dark track.
TEST_F(GUIDrawing, AStatBarFillsItsShareFromTheLeft)
{
    gui::StatBar* bar = gui::GUIElement::make<gui::StatBar>(glm::vec3(1.0f, 0.0f, 0.0f));
    // 200 pixels wide, centred on the window: x 220 to 419.
    bar->setWidth(200.0f / 320.0f);
    bar->setHeight(20.0f / 240.0f);
    bar->setPosition(0.0f, 0.0f);
    bar->setValue(3, 10);
    bar->show();
    renderer->Draw();
    int red = 0;
    int dark = 0;
    for (int x = 220; x < 420; ++x)
    {
        const Colour c = ReadPixel(x, 240);
        if (c.r > 200 && c.g < 40 && c.b < 40)
            ++red;
        else if (c.r < 40 && c.g < 40 && c.b < 40)
            ++dark;
    }
    EXPECT_NEAR(red, 60, 1) << "three tenths of 200 pixels";
    EXPECT_NEAR(dark, 140, 1);
    EXPECT_EQ(ReadPixel(222, 240).r > 200, true) << "the fill starts at the left edge";
    EXPECT_LT(ReadPixel(417, 240).r, 40) << "and the right end is track";
    EXPECT_EQ(ReadPixel(430, 240), (Colour{0, 0, 0, 255})) << "nothing past the bar";
}
