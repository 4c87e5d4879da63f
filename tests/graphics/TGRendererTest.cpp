#include "GfxTestSupport.h"

#include <memory>
#include <vector>

#include "map/PassabilityMap.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGSprite.h"
#include "graphics/TGText.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{
class RendererTest : public RendererFixture
{
protected:
    RendererTest() : RendererFixture(true) {}

    // A sprite of `w` x `h` world units at (x, y) showing `texture`.
    Sprite* AddSprite(const std::string& name, const std::string& texture, float x, float y, float w, float h)
    {
        Sprite* s = sm->CreateSprite(name);
        s->SetTexture(texture);
        s->Dimensions(w, h);
        s->MoveTo(x, y);
        return s;
    }

    std::string DrawCapturingStdout()
    {
        testing::internal::CaptureStdout();
        renderer->Draw();
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }

    std::vector<std::unique_ptr<Tileset>> tilesets;

    Tileset* OwnedTileset(const std::string& image, int rendered)
    {
        tilesets.emplace_back(SimpleTileset(image, rendered));
        return tilesets.back().get();
    }
};
}

TEST_F(RendererTest, PassOrderFloorFurnitureSpritesOthers)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "green", GREEN);
    SolidTexture(rm, "blue", BLUE);
    SolidTexture(rm, "white", WHITE);

    // Ten cells of 20 units across x -100..100; each later pass starts
    // further right, so each band shows the topmost pass covering it.
    // Names are chosen so that name order alone would give the reverse.
    Tileset* r = OwnedTileset("red", 20);
    Tileset* g = OwnedTileset("green", 20);
    Tileset* w = OwnedTileset("white", 20);
    sm->SubmitMap("zFloor", SimpleLayer("zFloor", r, 1, 10));
    sm->SubmitMap("mFurniture", SimpleLayer("mFurniture", g, 1, 10, [](int, int c) { return c >= 2; }));
    sm->SubmitMap("aOther", SimpleLayer("aOther", w, 1, 10, [](int, int c) { return c >= 6; }));
    AddSprite("sprite", "blue", 40.0f, 0.0f, 120.0f, 20.0f); // x -20..100

    EXPECT_EQ(renderer->GetFloorMaps().count("zFloor"), 1u);
    EXPECT_EQ(renderer->GetFurnitureMaps().count("mFurniture"), 1u);
    EXPECT_EQ(renderer->GetOtherMaps().count("aOther"), 1u);
    EXPECT_EQ(renderer->GetMaps().size(), 3u);

    renderer->Draw();
    EXPECT_EQ(WorldPixel(-90, 0), RED);
    EXPECT_EQ(WorldPixel(-50, 0), GREEN);
    EXPECT_EQ(WorldPixel(0, 0), BLUE);
    EXPECT_EQ(WorldPixel(50, 0), WHITE);
    EXPECT_EQ(WorldPixel(95, 0), WHITE);
    EXPECT_EQ(WorldPixel(-90, 30), BLACK) << "outside every object the clear colour shows";
    EXPECT_EQ(WorldPixel(150, 0), BLACK);
}

TEST_F(RendererTest, GUIRectanglesThenTextsOverTheWorld)
{
    ASSERT_NE(gui, nullptr);
    SolidTexture(rm, "red", RED);
    sm->SubmitMap("aTop", SimpleLayer("aTop", OwnedTileset("red", 40), 6, 8)); // other layers: x -160..160
    AddSprite("zz", "red", 0, 0, 300, 200);

    // Rectangle "b" covers the right half of "a"; both over the world.
    GUIRectangle* a = gui->createRectangle("a");
    a->setBackgroundColor(0, 1, 0, 1);
    a->setWindowPosition(0.0f, 0.0f);
    a->setWidthInPixels(200);
    a->setHeightInPixels(100);
    GUIRectangle* b = gui->createRectangle("0b");
    b->setBackgroundColor(0, 0, 1, 1);
    b->setWindowPosition(100.0f / 320.0f, 0.0f);
    b->setWidthInPixels(100);
    b->setHeightInPixels(100);

    Text* text = gui->createText("label");
    ASSERT_NE(text, nullptr);
    text->setText("MMMMMM");
    text->setWindowPosition(-0.25f, 0.0f);

    auto whiteAboveBaseline = [&]()
    {
        int count = 0;
        for (int x = 240; x < 330; ++x)
            for (int y = 241; y < 256; ++y)
            {
                const Colour c = ReadPixel(x, y);
                if (c.r > 200 && c.g > 200 && c.b > 200)
                    ++count;
            }
        return count;
    };

    renderer->Draw();
    EXPECT_EQ(WorldPixel(-60, -30), GREEN) << "rectangle over layers and sprites";
    EXPECT_EQ(WorldPixel(-140, 0), RED) << "world outside the rectangles";
    EXPECT_EQ(WorldPixel(80, -30), GREEN) << "\"a\" sorts after \"0b\" and covers it";
    EXPECT_EQ(WorldPixel(140, -30), BLUE);
    EXPECT_GT(whiteAboveBaseline(), 20) << "the text is drawn over the rectangles";

    text->hide();
    a->hide();
    renderer->Draw();
    EXPECT_EQ(whiteAboveBaseline(), 0);
    EXPECT_EQ(WorldPixel(80, -30), BLUE);
    EXPECT_EQ(WorldPixel(-60, -30), RED);

    // Spaces only: nothing drawn.
    text->show();
    text->setText("      ");
    renderer->Draw();
    EXPECT_EQ(whiteAboveBaseline(), 0);
}

TEST_F(RendererTest, NameOrderInsidePassesAndClassification)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "green", GREEN);
    SolidTexture(rm, "blue", BLUE);
    SolidTexture(rm, "yellow", YELLOW);

    // Two floor layers over the same cells: the later name covers.
    sm->SubmitMap("Floor2", SimpleLayer("Floor2", OwnedTileset("green", 20), 2, 2));
    sm->SubmitMap("Floor1", SimpleLayer("Floor1", OwnedTileset("red", 20), 2, 2));
    // A name holding both words is a floor layer.
    sm->SubmitMap("FloorFurniture", SimpleLayer("FloorFurniture", OwnedTileset("yellow", 10), 1, 1));
    EXPECT_EQ(renderer->GetFloorMaps().count("FloorFurniture"), 1u);
    EXPECT_EQ(renderer->GetFurnitureMaps().count("FloorFurniture"), 0u);

    // Sprites "b" over "a" regardless of submission order.
    AddSprite("b", "blue", 100, 100, 20, 20);
    AddSprite("a", "red", 100, 100, 20, 20);

    renderer->Draw();
    EXPECT_EQ(WorldPixel(-15, 15), GREEN) << "Floor2 is drawn after Floor1";
    EXPECT_EQ(WorldPixel(0, 0), YELLOW) << "FloorFurniture sorts after Floor2";
    EXPECT_EQ(WorldPixel(100, 100), BLUE) << "sprite b covers sprite a";

    // Resubmitting a layer under another group's name moves it.
    sm->DestroyMap("FloorFurniture");
    EXPECT_EQ(renderer->GetMaps().count("FloorFurniture"), 0u);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(0, 0), GREEN);
    renderer->RemoveSprite("b");
    renderer->Draw();
    EXPECT_EQ(WorldPixel(100, 100), RED);
}

TEST_F(RendererTest, HiddenLayersAndSpritesAreNotDrawn)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "blue", BLUE);
    Map* layer = SimpleLayer("Floor", OwnedTileset("red", 20), 2, 2);
    layer->SetVisible(false);
    sm->SubmitMap("Floor", layer);
    Sprite* s = AddSprite("s", "blue", 100, 0, 20, 20);
    s->SetVisible(false);

    renderer->Draw();
    EXPECT_EQ(WorldPixel(0, 0), BLACK);
    EXPECT_EQ(WorldPixel(100, 0), BLACK);

    // Shown again, both appear: the mesh stayed uploaded.
    layer->SetVisible(true);
    s->SetVisible(true);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-5, 5), RED);
    EXPECT_EQ(WorldPixel(100, 0), BLUE);

    // A freshly built layer starts hidden.
    Map fresh;
    EXPECT_TRUE(fresh.hide);
}

TEST_F(RendererTest, SpriteShowsOneFrameOrWholeTexture)
{
    // A sheet of 4 x 2 frames, 8 x 8 pixels each, every frame its own colour.
    const Colour frameColours[2][4] = {{RED, GREEN, BLUE, WHITE}, {YELLOW, MAGENTA, CYAN, {128, 64, 32, 255}}};
    std::unique_ptr<Image> sheet(MakeImage(32, 16, [&](int x, int y) { return frameColours[y / 8][x / 8]; }));
    rm->BindTexture("sheet", sheet.get());

    Sprite* s = AddSprite("s", "sheet", 0, 0, 64, 64);
    s->SetSize(8, 8);
    s->setTexCoords(glm::vec2(2, 1));
    renderer->Draw();
    for (int dx : {-28, 0, 28})
        for (int dy : {-28, 0, 28})
            EXPECT_EQ(WorldPixel(dx, dy), CYAN) << "frame (2,1) fills the quad at " << dx << "," << dy;

    s->setTexCoords(glm::vec2(1, 0));
    renderer->Draw();
    EXPECT_EQ(WorldPixel(0, 0), GREEN);

    // Frame size (0, 0): the whole sheet, top row at the top.
    s->SetTexture("sheet");
    s->setTexCoords(glm::vec2(3, 1));
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-28, 28), RED);
    EXPECT_EQ(WorldPixel(28, 28), WHITE);
    EXPECT_EQ(WorldPixel(-28, -28), YELLOW);
    EXPECT_EQ(WorldPixel(-4, -4), MAGENTA);
}

TEST_F(RendererTest, BatchedSpritesKeepNameOrderAcrossTextures)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "green", GREEN);
    SolidTexture(rm, "blue", BLUE);
    // Three overlapping quads, each shifted 20 units right of the last: "b"
    // covers "a", "c" covers "b", although "a" and "c" share a texture and
    // could be drawn together if the order did not matter.
    AddSprite("a", "red", -20, 0, 40, 40);
    AddSprite("b", "green", 0, 0, 40, 40);
    AddSprite("c", "red", 20, 0, 40, 40);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-35, 0), RED);
    EXPECT_EQ(WorldPixel(-5, 0), GREEN) << "b over a";
    EXPECT_EQ(WorldPixel(5, 0), RED) << "c over b";
    EXPECT_EQ(WorldPixel(35, 0), RED);

    // A crowd on one texture, topped by a different one: the buffers grow
    // and the last name still wins.
    for (int i = 0; i < 300; ++i)
        AddSprite("crowd" + std::to_string(1000 + i), i % 2 ? "red" : "blue", -100 + (i % 10), 100, 40, 40);
    AddSprite("zTop", "green", -100, 100, 10, 10);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-100, 100), GREEN);
    EXPECT_EQ(WorldPixel(-75, 100), RED) << "the last of the crowd is red and lies furthest right";
    EXPECT_EQ(WorldPixel(5, 0), RED) << "earlier sprites are still drawn";

    // Fewer sprites in a later frame leave nothing of the bigger one behind.
    for (int i = 0; i < 300; ++i)
        sm->DestroySprite("crowd" + std::to_string(1000 + i));
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-75, 100), BLACK);
    EXPECT_EQ(WorldPixel(-100, 100), GREEN);
    EXPECT_EQ(WorldPixel(-5, 0), GREEN);
}

TEST_F(RendererTest, MissingTextureFallsBackToMopkin)
{
    SolidTexture(rm, "mopkin", MAGENTA);
    AddSprite("s", "nosuchtexture", 0, 0, 20, 20);
    sm->SubmitMap("Floor", SimpleLayer("Floor", OwnedTileset("nosuchtileset", 20), 1, 1));

    std::string out = DrawCapturingStdout();
    EXPECT_NE(out.find("failed to retrieve texture nosuchtexture\n"), std::string::npos) << out;
    EXPECT_NE(out.find("failed to retrieve texture nosuchtileset\n"), std::string::npos) << out;
    EXPECT_EQ(WorldPixel(0, 0), MAGENTA);

    // Every frame repeats the message.
    out = DrawCapturingStdout();
    EXPECT_NE(out.find("failed to retrieve texture nosuchtexture"), std::string::npos);

    // Without "mopkin" either, the sprite is skipped rather than drawn with
    // whatever texture happens to be bound.
    std::unique_ptr<Renderer> bare = MakeRenderer();
    bare->GetSceneManager()->CreateCamera("c");
    bare->GetSceneManager()->SetActiveCamera("c");
    SolidTexture(bare->GetResourceManager(), "green", GREEN);
    Sprite* g = bare->GetSceneManager()->CreateSprite("g");
    g->SetTexture("green");
    g->Dimensions(20, 20);
    g->MoveTo(-100, 0);
    Sprite* lost = bare->GetSceneManager()->CreateSprite("lost");
    lost->SetTexture("gone");
    lost->Dimensions(20, 20);
    testing::internal::CaptureStdout();
    bare->Draw();
    std::fflush(stdout);
    out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("failed to retrieve texture gone"), std::string::npos);
    EXPECT_EQ(WorldPixel(-100, 0), GREEN);
    EXPECT_EQ(WorldPixel(0, 0), BLACK);
}

TEST_F(RendererTest, HighlightTintsTheRightCell)
{
    SolidTexture(rm, "grey", {100, 100, 100, 255});
    Map* layer = SimpleLayer("Floor", OwnedTileset("grey", 40), 3, 3);
    sm->SubmitMap("Floor", layer);
    layer->HighlightTile(1, 2); // centre (40, 0)
    layer->HighlightTile(0, 0); // centre (-40, 40)

    renderer->Draw();
    const Colour plain = WorldPixel(0, 0);
    EXPECT_EQ(plain, (Colour{100, 100, 100, 255}));
    const Colour tinted = WorldPixel(40, 0);
    EXPECT_NE(tinted, plain) << "highlight visible";
    EXPECT_GT(int(tinted.b) - int(tinted.r), 40) << "a clear tint, not a faint change: " << tinted;
    EXPECT_GT(int(tinted.r), 20) << "translucent: the tile still shows through: " << tinted;
    EXPECT_NE(WorldPixel(-40, 40), plain);
    EXPECT_EQ(WorldPixel(-40, 0), plain);
    EXPECT_EQ(WorldPixel(40, -40), plain);
    EXPECT_EQ(WorldPixel(0, 40), plain);

    layer->UnhiglightTile(1, 2);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(40, 0), plain);
    EXPECT_NE(WorldPixel(-40, 40), plain);
}

TEST_F(RendererTest, HighlightsMoveWithTheLayersOffsetAndParallax)
{
    SolidTexture(rm, "grey", {100, 100, 100, 255});
    // Tiles of 4 pixels drawn at 40 units: a 4-pixel offset is one cell.
    Map* layer = SimpleLayer("Roof", OwnedTileset("grey", 40), 3, 3);
    layer->offsetX = 4.0f;
    layer->offsetY = 4.0f;
    sm->SubmitMap("Roof", layer);
    layer->HighlightTile(1, 1); // the centre cell, drawn one cell right and down

    renderer->Draw();
    const Colour plain = WorldPixel(0, 0);
    EXPECT_EQ(plain, (Colour{100, 100, 100, 255})) << "the layer's cell (0, 0) moved here";
    EXPECT_NE(WorldPixel(40, -40), plain) << "the mark moved with its cell";

    // Half parallax with the camera at x = 20 (8 map pixels from the map's
    // left edge): the layer moves 4 + 8 / 2 = 8 pixels, 80 units, so the
    // marked cell's centre is at world x 80, 60 units right of the camera.
    layer->parallaxX = 0.5f;
    sm->GetActiveCamera()->MoveTo(20.0f, 0.0f);
    renderer->Draw();
    EXPECT_NE(WorldPixel(60, -40), plain) << "the mark followed the parallax";
    EXPECT_EQ(WorldPixel(20, -40), plain) << "where the offset alone would put it";
    EXPECT_EQ(WorldPixel(100, -40), plain);
}

TEST_F(RendererTest, LevelOverlayDrawsVisibleGridLines)
{
    SolidTexture(rm, "black", {0, 0, 0, 255});
    sm->SubmitMap("Floor", SimpleLayer("Floor", OwnedTileset("black", 40), 2, 2));

    auto linePixels = [&]()
    {
        int count = 0;
        for (int y = 200; y < 280; ++y)
            if (!(ReadPixel(320 - 20, y) == BLACK))
                ++count;
        return count;
    };
    renderer->Draw();
    EXPECT_EQ(linePixels(), 0) << "the constructor enables the level overlay: no lines";

    renderer->DisableLevelOverlay();
    renderer->Draw();
    EXPECT_GT(linePixels(), 0);
    bool bright = false;
    for (int y = 195; y < 285; ++y)
    {
        const Colour c = ReadPixel(300, y);
        bright = bright || (c.r > 200 && c.g > 200);
    }
    EXPECT_TRUE(bright) << "grid lines use a bright colour";
}

TEST_F(RendererTest, PassabilityOverlayBetweenFloorAndFurniture)
{
    SolidTexture(rm, "black", BLACK);
    SolidTexture(rm, "white", WHITE);
    Map* floor = SimpleLayer("Floor", OwnedTileset("black", 40), 1, 2); // x -40..40
    sm->SubmitMap("Floor", floor);
    // Furniture over the right half of the right cell only.
    sm->SubmitMap("Furniture",
                  SimpleLayer("Furniture", OwnedTileset("white", 20), 1, 4, [](int, int c) { return c == 3; }));
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-20, 0), BLACK) << "no \"pass\" geometry: the overlay draws nothing";

    core::PassabilityMap pmap(1, 2);
    pmap.setTile(0, 1, std::make_unique<PassabilityTile>(true));
    rm->CreateGeometry("pass",
                       rm->GetGeometryFactory().GeneratePasabilityMap(floor, &rm->GetTexture("black")->info, &pmap));
    renderer->Draw();
    const Colour blocked = WorldPixel(-20, 0);
    const Colour open = WorldPixel(10, 0);
    EXPECT_GT(blocked.r, 40);
    EXPECT_EQ(blocked.g, 0);
    EXPECT_GT(open.g, 40);
    EXPECT_EQ(open.r, 0);
    EXPECT_EQ(WorldPixel(30, 0), WHITE) << "furniture covers the overlay";

    renderer->DisablePassabilityOverlay();
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-20, 0), BLACK);
    renderer->EnablePassabilityOverlay();
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-20, 0), blocked);

    LogCapture log;
    renderer->EnableWireframe();
    renderer->DisableWireframe();
    EXPECT_TRUE(log.HasAt("INFO", "(Renderer::EnableWireframe) Wireframe Mode Enabled"));
    EXPECT_TRUE(log.HasAt("INFO", "(Renderer::DisableWireframe) Wireframe Mode Disabled"));
}

TEST_F(RendererTest, PassabilitySidesDrawOverEveryLayerWhileTheOverlayIsOn)
{
    SolidTexture(rm, "black", BLACK);
    SolidTexture(rm, "white", WHITE);
    Map* floor = SimpleLayer("Floor", OwnedTileset("black", 40), 1, 2); // x -40..40
    sm->SubmitMap("Floor", floor);
    sm->SubmitMap("aOther", SimpleLayer("aOther", OwnedTileset("white", 40), 1, 2));
    core::PassabilityMap pmap(1, 2); // cell 0 closed all round
    pmap.setSides(0, 1, true, true, true, false);
    sm->SubmitPassabilityMap("Floor", &pmap);
    renderer->Draw();
    const Colour shaded = WorldPixel(-20, 0);
    EXPECT_EQ(shaded.r, 255) << "a closed cell is shaded red over the top layer";
    EXPECT_LT(shaded.g, 200);
    EXPECT_EQ(WorldPixel(2, 0), YELLOW) << "the closed left side of cell 1, over the top layer";
    EXPECT_EQ(WorldPixel(20, 0), WHITE) << "nothing inside the cell";
    EXPECT_EQ(WorldPixel(38, 0), WHITE) << "nothing on the open right side";

    renderer->DisablePassabilityOverlay();
    renderer->Draw();
    EXPECT_EQ(WorldPixel(2, 0), WHITE);
    EXPECT_EQ(WorldPixel(-20, 0), WHITE);
    renderer->EnablePassabilityOverlay();
    sm->SubmitPassabilityMap("Floor", nullptr);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(2, 0), WHITE) << "a null grid clears the sides";
}

TEST_F(RendererTest, NoCameraMeansNoClearNoDrawNoSwap)
{
    std::unique_ptr<Renderer> r = MakeRenderer(true);
    SceneManager* s = r->GetSceneManager();
    SolidTexture(r->GetResourceManager(), "blue", BLUE);
    Sprite* sp = s->CreateSprite("s");
    sp->SetTexture("blue");
    sp->Dimensions(40, 40);

    {
        LogCapture log;
        r->Draw();
        EXPECT_TRUE(log.HasAt("ERROR", "(Renderer::Draw) Attempting to draw without an active camera set."));
    }

    // One real frame puts blue on the front buffer.
    s->CreateCamera("c");
    s->SetActiveCamera("c");
    r->Draw();
    glFinish();
    EXPECT_EQ(ScreenPixel(window->GetHandle(), 320, 240), BLUE);

    // Without a camera the back buffer keeps what we put there (no clear,
    // no sprite) and the front buffer keeps the last frame (no swap).
    r->SetCamera(nullptr);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    r->Draw();
    glFinish();
    EXPECT_EQ(WorldPixel(0, 0, GL_BACK), GREEN);
    EXPECT_EQ(WorldPixel(100, 100, GL_BACK), GREEN);
    EXPECT_EQ(ScreenPixel(window->GetHandle(), 320, 240), BLUE) << "the window still shows the last frame";

    // With the camera back, the next frame is presented.
    s->SetActiveCamera("c");
    sp->SetVisible(false);
    r->Draw();
    glFinish();
    EXPECT_EQ(ScreenPixel(window->GetHandle(), 320, 240), BLACK);
}

TEST_F(RendererTest, ManyTexturesAndAtlasUnitsCoexist)
{
    // 40 textures: the 1st and the 33rd would share a unit if units were
    // fixed at creation, and the 8th would share unit 7 with glyph atlases.
    std::vector<Colour> colours;
    for (int i = 0; i < 40; ++i)
    {
        const Colour c = {static_cast<unsigned char>(10 + i * 6), static_cast<unsigned char>(250 - i * 5),
                          static_cast<unsigned char>((i * 37) % 256), 255};
        colours.push_back(c);
        SolidTexture(rm, "t" + std::to_string(100 + i), c);
    }
    EXPECT_EQ(rm->GetTexture("t100")->slot, rm->GetTexture("t132")->slot);

    // A glyph atlas made after the textures, on unit 7 as fonts do.
    GLuint atlas = 0;
    glGenTextures(1, &atlas);
    glActiveTexture(GL_TEXTURE7);
    glBindTexture(GL_TEXTURE_2D, atlas);
    // Rows of two bytes: with the default 4-byte row alignment GL would read
    // past the end of the array.
    const unsigned char glyph[4] = {255, 255, 255, 255};
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RED, 2, 2, 0, GL_RED, GL_UNSIGNED_BYTE, glyph);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glActiveTexture(GL_TEXTURE0);

    // The 1st, 8th, 17th, 33rd and 40th textures side by side, on a layer
    // and on sprites.
    const int picks[] = {0, 7, 16, 32, 39};
    for (int k = 0; k < 5; ++k)
        AddSprite("s" + std::to_string(k), "t" + std::to_string(100 + picks[k]), -200.0f + k * 60.0f, 0, 40, 40);
    // One 40-unit cell at the origin, drawn under the sprites.
    sm->SubmitMap("Floor", SimpleLayer("Floor", OwnedTileset("t132", 40), 1, 1));

    renderer->Draw();
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(WorldPixel(-200.0f + k * 60.0f, 0), colours[picks[k]]) << "texture #" << picks[k] + 1;

    // The layer on its own shows the 33rd texture, not the 1st.
    for (int k = 0; k < 5; ++k)
        sm->GetSprite("s" + std::to_string(k))->SetVisible(false);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(0, 0), colours[32]);
    glDeleteTextures(1, &atlas);
}
