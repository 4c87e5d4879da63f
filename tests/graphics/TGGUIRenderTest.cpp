#include "GfxTestSupport.h"

#include "graphics/TGFont.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGSprite.h"
#include "graphics/TGText.h"
#include "util/util.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{
class GUIRenderTest : public RendererFixture
{
protected:
    GUIRenderTest() : RendererFixture(true) {}

    // An opaque rectangle of w x h pixels centred on window pixel (px, py).
    GUIRectangle* Box(const std::string& id, int px, int py, int w, int h, float r, float g, float b)
    {
        GUIRectangle* box = gui->createRectangle(id);
        box->setWidthInPixels(w);
        box->setHeightInPixels(h);
        box->setWindowPosition(toScreenX(px), toScreenY(py));
        box->setBackgroundColor(r, g, b, 1.0f);
        return box;
    }

    // Counts pixels brighter than `threshold` in a window-pixel rectangle
    // (origin top left, as the window reports positions).
    int LitPixels(int left, int top, int width, int height, int threshold = 128)
    {
        std::vector<unsigned char> p(static_cast<size_t>(width * height * 4));
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(left, 480 - top - height, width, height, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        int lit = 0;
        for (size_t i = 0; i < p.size(); i += 4)
            lit += (p[i] > threshold && p[i + 1] > threshold && p[i + 2] > threshold) ? 1 : 0;
        return lit;
    }

    Colour WindowPixel(int x, int y) { return ReadPixel(x, 479 - y); }
};
}

TEST_F(GUIRenderTest, RectanglesSitInScreenSpaceInNameOrder)
{
    Box("b", 200, 100, 40, 40, 0, 0, 1);
    Box("a", 220, 100, 40, 40, 1, 0, 0);
    GUIRectangle* hidden = Box("c", 400, 300, 40, 40, 0, 1, 0);
    hidden->hide();

    // Moving the camera must not move GUI rectangles.
    sm->GetCamera("cam")->MoveTo(500.0f, -300.0f);
    renderer->Draw();
    EXPECT_EQ(WindowPixel(185, 100), BLUE);
    EXPECT_EQ(WindowPixel(210, 100), BLUE) << "\"b\" sorts after \"a\" and covers it";
    EXPECT_EQ(WindowPixel(235, 100), RED);
    EXPECT_EQ(WindowPixel(200, 125), BLACK) << "a 40-pixel box ends 20 pixels below its centre";
    EXPECT_EQ(WindowPixel(400, 300), BLACK) << "hidden rectangles are not drawn";

    hidden->show();
    renderer->Draw();
    EXPECT_EQ(WindowPixel(400, 300), GREEN);
    gui->destroyRectangle(hidden);
    renderer->Draw();
    EXPECT_EQ(WindowPixel(400, 300), BLACK) << "a destroyed rectangle leaves the renderer";
}

TEST_F(GUIRenderTest, DefaultRectangleIsTranslucentGrey)
{
    GUIRectangle* box = gui->createRectangle("grey");
    box->setWindowPosition(0.0f, 0.0f);
    renderer->Draw();
    // (0.25, 0.25, 0.25) at 0.75 alpha over black.
    Colour c = WindowPixel(320, 240);
    EXPECT_NEAR(c.r, 48, 2);
    EXPECT_EQ(c.r, c.g);
    EXPECT_EQ(c.g, c.b);
}

TEST_F(GUIRenderTest, TextDrawsGlyphsFromItsBaselineOverRectangles)
{
    Box("panel", 320, 240, 400, 200, 0, 0, 0.5f);
    Text* text = gui->createText("label");
    text->setText("HHHH");
    // Baseline start at window pixel (200, 240).
    text->setWindowPosition(toScreenX(200), toScreenY(240));
    renderer->Draw();

    const int length = text->getLength();
    ASSERT_GT(length, 20);
    // The glyphs stand above the baseline, from its start to its length.
    EXPECT_GT(LitPixels(200, 225, length, 15), 40);
    EXPECT_EQ(LitPixels(200, 242, length, 10), 0) << "nothing below the baseline for capital H";
    EXPECT_EQ(LitPixels(200 + length + 4, 220, 40, 20), 0) << "nothing past the text's length";
    EXPECT_EQ(LitPixels(150, 220, 45, 20), 0) << "nothing before its start";
    EXPECT_EQ(WindowPixel(300, 300), (Colour{0, 0, 128, 255})) << "the panel shows around the text";

    text->setText("    ");
    renderer->Draw();
    EXPECT_EQ(LitPixels(200, 220, 100, 30), 0) << "spaces draw nothing";

    text->setText("HHHH");
    text->hide();
    renderer->Draw();
    EXPECT_EQ(LitPixels(200, 220, 100, 30), 0) << "hidden texts are not drawn";
}

TEST_F(GUIRenderTest, GlyphAtlasesAndTexturesCoexist)
{
    // Eight and more textures used to collide with the atlas unit; every
    // sprite must still show its own colour while text is drawn.
    const Colour colours[] = {RED, GREEN, BLUE, YELLOW, MAGENTA, CYAN, RED, GREEN, BLUE, YELLOW};
    for (int i = 0; i < 10; ++i)
    {
        const std::string name = "t" + std::to_string(i);
        SolidTexture(rm, name, colours[i]);
        Sprite* sprite = sm->CreateSprite("s" + std::to_string(i));
        sprite->SetTexture(name);
        sprite->Dimensions(20.0f, 20.0f);
        sprite->MoveTo(-250.0f + 50.0f * i, -100.0f);
    }
    Text* text = gui->createText("label");
    text->setText("Atlas");
    text->setWindowPosition(0.0f, 0.5f);
    renderer->Draw();
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(WorldPixel(-250.0f + 50.0f * i, -100.0f), colours[i]) << "sprite " << i;
    EXPECT_GT(LitPixels(320, 100, text->getLength(), 20), 20);
}
