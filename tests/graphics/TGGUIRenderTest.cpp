#include "GfxTestSupport.h"

#include "graphics/TGFont.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGGUITheme.h"
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

namespace
{
// A 12 x 12 panel picture with 4-pixel corners: every corner, edge and the
// middle its own colour, so each of the nine pieces can be told apart.
Colour PanelPixel(int x, int y)
{
    const int column = x < 4 ? 0 : (x < 8 ? 1 : 2);
    const int row = y < 4 ? 0 : (y < 8 ? 1 : 2);
    const Colour pieces[3][3] = {{RED, CYAN, GREEN}, {MAGENTA, WHITE, MAGENTA}, {BLUE, CYAN, YELLOW}};
    return pieces[row][column];
}

class ThemedGUIRenderTest : public GUIRenderTest
{
protected:
    void UsePanelPicture(const std::string& name)
    {
        std::unique_ptr<Image> picture(MakeImage(12, 12, PanelPixel));
        rm->BindTexture(name, picture.get());
        GUITheme theme;
        theme.panelTexture = name;
        theme.border = 4;
        gui->setTheme(theme);
    }
};
}

TEST_F(ThemedGUIRenderTest, PanelsKeepTheirCornersAndStretchTheirEdgesAndMiddle)
{
    UsePanelPicture("paper");
    // 200 x 100 pixels centred on (320, 240): x 220 to 419, y 190 to 289.
    GUIRectangle* panel = Box("panel", 320, 240, 200, 100, 0, 0, 1);
    panel->setPanel(true);
    GUIRectangle* flat = Box("flat", 100, 400, 40, 40, 0, 1, 0);
    renderer->Draw();
    struct Probe
    {
        int x, y;
        Colour expected;
        const char* where;
    };
    const Probe probes[] = {
        {221, 191, RED, "top-left corner"},     {418, 191, GREEN, "top-right corner"},
        {221, 288, BLUE, "bottom-left corner"}, {418, 288, YELLOW, "bottom-right corner"},
        {223, 193, RED, "the corner is 4 pixels, not stretched"},
        {226, 196, WHITE, "past the corner: the middle"},
        {320, 191, CYAN, "top edge"},           {320, 288, CYAN, "bottom edge"},
        {221, 240, MAGENTA, "left edge"},       {418, 240, MAGENTA, "right edge"},
        {320, 240, WHITE, "middle"},            {300, 260, WHITE, "middle, stretched"},
        {217, 240, BLACK, "outside the panel"}, {100, 400, GREEN, "a rectangle that is no panel stays flat"},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(WindowPixel(p.x, p.y), p.expected) << p.where << " at " << p.x << "," << p.y;
    (void)flat;
}

TEST_F(ThemedGUIRenderTest, APanelPictureThatIsMissingLeavesTheFlatColour)
{
    GUITheme theme;
    theme.panelTexture = "neverLoaded";
    gui->setTheme(theme);
    GUIRectangle* panel = Box("panel", 320, 240, 200, 100, 0, 0, 1);
    panel->setPanel(true);
    renderer->Draw();
    EXPECT_EQ(WindowPixel(221, 191), BLUE) << "no black hole where the picture would be";
    EXPECT_EQ(WindowPixel(320, 240), BLUE);
}

TEST_F(GUIRenderTest, TextsDrawInTheirOwnColourAndStartInTheThemes)
{
    Text* red = gui->createText("red");
    EXPECT_EQ(red->getColor(), glm::vec3(1.0f, 1.0f, 1.0f)) << "without a theme texts start white";
    red->setText("HHHH");
    red->setColor(1.0f, 0.0f, 0.0f);
    red->setWindowPosition(toScreenX(200), toScreenY(240));
    renderer->Draw();
    int redPixels = 0;
    int otherPixels = 0;
    for (int x = 200; x < 200 + red->getLength(); ++x)
        for (int y = 222; y < 240; ++y)
        {
            const Colour c = WindowPixel(x, y);
            if (c.r > 200 && c.g < 30 && c.b < 30)
                ++redPixels;
            else if (c.g > 60 || c.b > 60)
                ++otherPixels;
        }
    EXPECT_GT(redPixels, 40) << "the glyphs are red";
    EXPECT_EQ(otherPixels, 0) << "and nothing of them is white";

    GUITheme theme;
    theme.textColour = glm::vec3(0.0f, 1.0f, 0.0f);
    gui->setTheme(theme);
    EXPECT_EQ(red->getColor(), glm::vec3(0.0f, 1.0f, 0.0f)) << "a theme recolours the texts there are";
    EXPECT_EQ(gui->createText("later")->getColor(), glm::vec3(0.0f, 1.0f, 0.0f)) << "and those made later";
}

TEST_F(GUIRenderTest, ARectangleWithAPictureShowsTheChosenPartOfIt)
{
    // Two frames side by side, 2 x 2 pixels each: red then green.
    std::unique_ptr<Image> sheet(MakeImage(4, 2, [](int x, int) { return x < 2 ? RED : GREEN; }));
    rm->BindTexture("sheet", sheet.get());
    GUIRectangle* face = Box("face", 320, 240, 64, 64, 0, 0, 1);
    face->setImage("sheet", glm::ivec4(2, 0, 2, 2));
    GUIRectangle* whole = Box("whole", 100, 100, 64, 64, 0, 0, 1);
    whole->setImage("sheet", glm::ivec4(0));
    GUIRectangle* lost = Box("lost", 500, 100, 40, 40, 0, 0, 1);
    lost->setImage("noSuchPicture", glm::ivec4(0));
    renderer->Draw();
    EXPECT_EQ(WindowPixel(295, 215), GREEN) << "the second frame, enlarged";
    EXPECT_EQ(WindowPixel(345, 265), GREEN);
    EXPECT_EQ(WindowPixel(75, 100), RED) << "the whole picture: red on the left";
    EXPECT_EQ(WindowPixel(125, 100), GREEN) << "and green on the right";
    EXPECT_EQ(WindowPixel(500, 100), BLUE) << "a missing picture leaves the colour";
}
