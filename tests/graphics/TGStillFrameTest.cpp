// Still frames cost little: the layers under the sprites come from the layer
// cache, and a window already showing the frame is not given it again. Both
// must show exactly the pixels that drawing would, and any change must
// appear in the very next frame.

#include "GfxTestSupport.h"

#include <functional>
#include <vector>

#include "map/PassabilityMap.h"
#include "graphics/TGFont.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGLayerCache.h"
#include "graphics/TGSprite.h"
#include "graphics/TGText.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace tamsygraphics
{
std::ostream& operator<<(std::ostream& out, LayerCache::Plan plan)
{
    const char* names[] = {"DrawDirectly", "Record", "Replay"};
    return out << names[static_cast<int>(plan)];
}
}

namespace
{
typedef LayerCache::Plan Plan;

// 8 x 8 pixels cut into four 4 x 4 tiles; every pixel differs, and the
// translucent variant runs through alphas from clear to opaque.
Image* PatternImage(bool translucent, int shift = 0)
{
    return MakeImage(8, 8,
                     [=](int x, int y)
                     {
                         const unsigned char alpha =
                             translucent ? static_cast<unsigned char>((x * 8 + y) * 4 % 256) : 255;
                         return Colour{static_cast<unsigned char>(30 * x + shift), static_cast<unsigned char>(30 * y),
                                       static_cast<unsigned char>(120 + 15 * (x ^ y)), alpha};
                     });
}

Tileset* PatternTileset(const std::string& image)
{
    Tileset* tileset = SimpleTileset(image, 32);
    tileset->maxCol = 2;
    tileset->maxRow = 2;
    return tileset;
}

// Floors, the passability overlay, a furniture layer with a highlighted
// cell, a hidden furniture layer, a layer over the sprites, one sprite, a
// panel and a label, on a renderer of its own.
struct StillScene
{
    std::unique_ptr<Renderer> renderer;
    std::unique_ptr<Tileset> ground{PatternTileset("ground")};
    std::unique_ptr<Tileset> leaves{PatternTileset("leaves")};
    std::vector<std::unique_ptr<Map>> layers;
    std::unique_ptr<Sprite> hero{new Sprite("hero")};
    std::unique_ptr<Sprite> extra{new Sprite("extra")};
    Camera* camera = nullptr;
    GUIRectangle* panel = nullptr;
    Text* label = nullptr;

    explicit StillScene(std::unique_ptr<Renderer> r) : renderer(std::move(r))
    {
        ResourceManager* rm = renderer->GetResourceManager();
        std::unique_ptr<Image> opaque(PatternImage(false));
        std::unique_ptr<Image> translucent(PatternImage(true));
        rm->BindTexture("ground", opaque.get());
        rm->BindTexture("leaves", translucent.get());
        camera = renderer->GetSceneManager()->CreateCamera("cam");
        renderer->GetSceneManager()->SetActiveCamera("cam");

        // A hole in the ground lets the clear colour show through the leaves.
        Add("Floor1Ground", ground.get(), [](int r, int c) { return r != 7 || c != 10; });
        Map* grass = Add("Floor2Leaves", leaves.get(), [](int r, int c) { return (r * 3 + c) % 5 != 0; });
        grass->tint[1] = 0.6f;
        grass->opacity = 0.7f;
        Add("Furniture", leaves.get(), [](int r, int c) { return r > c; })->HighlightTile(3, 4);
        Add("FurnitureStored", ground.get(), [](int r, int c) { return r == c; })->SetVisible(false);
        Add("Overhead", leaves.get(), [](int, int c) { return c % 4 == 1; });
        rm->CreateGeometry("pass", rm->GetGeometryFactory().GenerateSquare(96.0f, 64.0f));

        hero->SetTexture("ground");
        hero->Dimensions(40.0f, 40.0f);
        hero->MoveTo(10.0f, 10.0f);
        renderer->Submit("hero", hero.get());

        panel = renderer->GetGUIManager()->createRectangle("panel");
        panel->setBackgroundColor(0.1f, 0.2f, 0.6f, 0.8f);
        panel->setWidthInPixels(200);
        panel->setHeightInPixels(60);
        panel->setWindowPosition(-0.5f, -0.7f);
        label = renderer->GetGUIManager()->createText("label");
        label->setText("Still");
        label->setWindowPosition(-0.8f, -0.75f);
    }

    // A 16 x 22 layer of 32-unit cells (more than the window) with every
    // tile and flip of the pattern.
    Map* Add(const std::string& name, Tileset* tileset, const std::function<bool(int, int)>& visible)
    {
        layers.emplace_back(SimpleLayer(name, tileset, 16, 22, visible));
        Map* map = layers.back().get();
        for (int r = 0; r < map->rows; ++r)
            for (int c = 0; c < map->cols; ++c)
            {
                DrawableTile& tile = map->tiles[r][c];
                tile.col = (r + c) % 2;
                tile.row = (r / 2 + c) % 2;
                tile.flipHorizontal = (r + 2 * c) % 3 == 0;
                tile.flipDiagonal = (r * c) % 5 == 1;
            }
        renderer->Submit(name, map);
        return map;
    }

    Map* Layer(const std::string& name)
    {
        for (auto& layer : layers)
            if (layer->name == name)
                return layer.get();
        return nullptr;
    }

    // A layer of a few scattered ground cells, drawn by where its name puts it.
    void AddLayer(const std::string& name)
    {
        Add(name, ground.get(), [](int r, int c) { return (r + c) % 7 == 3; });
    }

    void ActivateOtherCamera()
    {
        renderer->GetSceneManager()->CreateCamera("other")->MoveTo(96.0f, 40.0f);
        renderer->GetSceneManager()->SetActiveCamera("other");
    }

    Plan Draw()
    {
        renderer->Draw();
        return renderer->GetLayerCache().LastPlan();
    }
};

// Names the first differing pixel, so a failure says where to look.
::testing::AssertionResult SameFrame(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    if (a.size() != b.size())
        return ::testing::AssertionFailure() << "frames of different sizes";
    int differing = 0;
    size_t first = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        if (!std::equal(a.begin() + i, a.begin() + i + 4, b.begin() + i) && differing++ == 0)
            first = i;
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, the first at (" << first / 4 % 640 << ", "
                                         << first / 4 / 640 << ")";
}

class StillFrameTest : public GLTest
{
protected:
    void TearDown() override
    {
        // Cases change state that the next renderer would otherwise inherit.
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    }

    StillScene Scene(bool withWindow = false)
    {
        // The window's first exposure, still on its way when no test drew
        // into it yet, would ask for one more frame at an unknown moment.
        if (withWindow)
            SettleWindowSystem();
        return StillScene(MakeRenderer(withWindow));
    }

    std::vector<unsigned long> Screen() { return ScreenFrame(window->GetHandle()); }
};

struct Change
{
    const char* what;
    std::function<void(StillScene&)> apply;
};

const Change CHANGES[] = {
    {"a floor layer hidden", [](StillScene& s) { s.Layer("Floor2Leaves")->SetVisible(false); }},
    {"a hidden furniture layer shown", [](StillScene& s) { s.Layer("FurnitureStored")->SetVisible(true); }},
    {"a layer's tint", [](StillScene& s) { s.Layer("Floor2Leaves")->tint[2] = 0.25f; }},
    {"a layer's opacity", [](StillScene& s) { s.Layer("Furniture")->opacity = 0.4f; }},
    {"a layer hidden in the editor", [](StillScene& s) { s.Layer("Floor1Ground")->shownInEditor = false; }},
    {"a cell highlighted", [](StillScene& s) { s.Layer("Floor1Ground")->HighlightTile(8, 12); }},
    {"a highlight removed", [](StillScene& s) { s.Layer("Furniture")->UnhiglightTile(3, 4); }},
    {"the camera moved", [](StillScene& s) { s.camera->MoveTo(64.0f, -32.0f); }},
    {"the camera moved by three and a half pixels", [](StillScene& s) { s.camera->MoveTo(3.5f, 0.0f); }},
    {"a tileset picture replaced",
     [](StillScene& s)
     {
         std::unique_ptr<Image> other(PatternImage(false, 7));
         s.renderer->GetResourceManager()->BindTexture("ground", other.get());
     }},
    {"a layer submitted again with other tiles",
     [](StillScene& s)
     {
         Map* floor = s.Layer("Floor1Ground");
         for (auto& row : floor->tiles)
             row[10].flipVertical = !row[10].flipVertical;
         s.renderer->Submit(floor->name, floor);
     }},
    {"a layer removed", [](StillScene& s) { s.renderer->RemoveMap("Furniture"); }},
    {"the grid lines shown", [](StillScene& s) { s.renderer->DisableLevelOverlay(); }},
    {"the passability mesh made again",
     [](StillScene& s)
     {
         ResourceManager* rm = s.renderer->GetResourceManager();
         rm->CreateGeometry("pass", rm->GetGeometryFactory().GenerateSquare(200.0f, 100.0f));
     }},
    {"the passability overlay hidden", [](StillScene& s) { s.renderer->DisablePassabilityOverlay(); }},
    {"the camera zoomed", [](StillScene& s) { s.camera->Zoom(0.75f); }},
    {"another camera made active", [](StillScene& s) { s.ActivateOtherCamera(); }},
    {"a floor layer added", [](StillScene& s) { s.AddLayer("Floor3Patch"); }},
    {"a furniture layer added", [](StillScene& s) { s.AddLayer("FurnitureCrates"); }},
    {"the clear colour", [](StillScene&) { glClearColor(0.2f, 0.3f, 0.4f, 1.0f); }},
};
}

TEST_F(StillFrameTest, StillFramesShowExactlyTheDrawnPixels)
{
    StillScene scene = Scene();
    EXPECT_EQ(scene.Draw(), Plan::DrawDirectly);
    const std::vector<unsigned char> drawn = ReadFrame();
    EXPECT_EQ(scene.Draw(), Plan::Record);
    EXPECT_TRUE(SameFrame(ReadFrame(), drawn)) << "recorded";
    for (int frame = 0; frame < 3; ++frame)
    {
        EXPECT_EQ(scene.Draw(), Plan::Replay);
        EXPECT_TRUE(SameFrame(ReadFrame(), drawn)) << "copied, frame " << frame;
    }
    // Not a blank frame: the pattern and the layers show.
    EXPECT_NE(WorldPixel(-100, -100), BLACK);
    EXPECT_NE(WorldPixel(-100, -100), WorldPixel(-84, -100));
}

TEST_F(StillFrameTest, EveryChangeShowsInTheNextFrame)
{
    for (const Change& change : CHANGES)
    {
        std::vector<unsigned char> before;
        std::vector<unsigned char> after;
        {
            StillScene scene = Scene();
            for (int frame = 0; frame < 3; ++frame)
                scene.Draw();
            ASSERT_EQ(scene.renderer->GetLayerCache().LastPlan(), Plan::Replay) << change.what;
            before = ReadFrame();
            change.apply(scene);
            EXPECT_EQ(scene.Draw(), Plan::DrawDirectly) << change.what;
            after = ReadFrame();
        }
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        // The same scene changed before its first frame, drawn directly.
        StillScene fresh = Scene();
        change.apply(fresh);
        fresh.Draw();
        const std::vector<unsigned char> expected = ReadFrame();
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        EXPECT_FALSE(SameFrame(expected, before)) << change.what << " changes the picture";
        EXPECT_TRUE(SameFrame(after, expected)) << change.what;
    }
}

TEST_F(StillFrameTest, SpritesMoveOverCopiedLayersWithoutATrail)
{
    StillScene scene = Scene();
    scene.Draw();
    const std::vector<unsigned char> heroAtFirst = ReadFrame();
    scene.Draw();
    scene.hero->MoveTo(-150.0f, 90.0f);
    EXPECT_EQ(scene.Draw(), Plan::Replay) << "sprites are drawn over the copy";
    EXPECT_FALSE(SameFrame(ReadFrame(), heroAtFirst));
    scene.hero->MoveTo(10.0f, 10.0f);
    EXPECT_EQ(scene.Draw(), Plan::Replay);
    EXPECT_TRUE(SameFrame(ReadFrame(), heroAtFirst));
}

TEST_F(StillFrameTest, DrawsIntoTheCallersFramebufferWithItsBlending)
{
    // As the map tool does: its own image, transparent, alpha accumulated.
    GLuint colour = 0;
    GLuint framebuffer = 0;
    glGenRenderbuffers(1, &colour);
    glBindRenderbuffer(GL_RENDERBUFFER, colour);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 640, 480);
    glGenFramebuffers(1, &framebuffer);
    StillScene scene = Scene();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    scene.Draw();
    const std::vector<unsigned char> drawn = ReadFrame(GL_COLOR_ATTACHMENT0);
    scene.Draw();
    EXPECT_EQ(scene.Draw(), Plan::Replay);
    EXPECT_TRUE(SameFrame(ReadFrame(GL_COLOR_ATTACHMENT0), drawn)) << "colour and coverage alike";
    bool partlyCovered = false;
    for (size_t i = 3; i < drawn.size(); i += 4)
        partlyCovered = partlyCovered || (drawn[i] > 0 && drawn[i] < 255);
    EXPECT_TRUE(partlyCovered) << "the case exercises the caller's alpha blending";

    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    EXPECT_EQ(scene.Draw(), Plan::DrawDirectly) << "another target is drawn afresh";
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteRenderbuffers(1, &colour);
}

TEST_F(StillFrameTest, WhatMustHappenEveryFrameStillDoes)
{
    // A missing tileset picture is reported in every frame, not once.
    StillScene scene = Scene();
    std::unique_ptr<Tileset> lost(SimpleTileset("nowhere", 32));
    std::unique_ptr<Map> layer(SimpleLayer("Floor3Lost", lost.get(), 2, 2));
    scene.renderer->Submit(layer->name, layer.get());
    scene.Draw();
    scene.Draw();
    testing::internal::CaptureStdout();
    EXPECT_EQ(scene.Draw(), Plan::DrawDirectly);
    std::fflush(stdout);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("failed to retrieve texture nowhere"), std::string::npos);

    // Wireframe mode draws the layers as lines every frame.
    scene.renderer->RemoveMap(layer->name);
    scene.renderer->EnableWireframe();
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(scene.Draw(), Plan::DrawDirectly);
    scene.renderer->DisableWireframe();
    scene.Draw();
    EXPECT_EQ(scene.Draw(), Plan::Record);
}

namespace
{
const Change CHANGES_OVER_THE_LAYERS[] = {
    {"the sprite moved", [](StillScene& s) { s.hero->MoveTo(12.0f, 10.0f); }},
    {"the sprite's frame",
     [](StillScene& s)
     {
         s.hero->SetSize(4, 4);
         s.hero->setTexCoords(glm::vec2(1.0f, 0.0f));
     }},
    {"the sprite hidden", [](StillScene& s) { s.hero->SetVisible(false); }},
    {"the sprite's texture", [](StillScene& s) { s.hero->SetTexture("leaves"); }},
    {"a layer over the sprites tinted", [](StillScene& s) { s.Layer("Overhead")->tint[0] = 0.3f; }},
    {"a floor layer hidden", [](StillScene& s) { s.Layer("Floor2Leaves")->SetVisible(false); }},
    {"the panel's colour", [](StillScene& s) { s.panel->setBackgroundColor(0.6f, 0.2f, 0.1f, 0.8f); }},
    {"the panel moved", [](StillScene& s) { s.panel->setWindowPosition(-0.4f, -0.7f); }},
    {"the panel raised over the label", [](StillScene& s) { s.panel->setLayer(3); }},
    {"the label's text", [](StillScene& s) { s.label->setText("Stilt"); }},
    {"the label's shadow", [](StillScene& s) { s.label->setShadow(true); }},
    {"the label hidden", [](StillScene& s) { s.label->hide(); }},
    {"the sprite resized", [](StillScene& s) { s.hero->Dimensions(56.0f, 40.0f); }},
    {"the sprite turned", [](StillScene& s) { s.hero->Rotate(90.0f, glm::vec3(0.0f, 0.0f, 1.0f)); }},
    {"the sprite removed", [](StillScene& s) { s.renderer->RemoveSprite("hero"); }},
    {"a sprite added",
     [](StillScene& s)
     {
         s.extra->SetTexture("leaves");
         s.extra->Dimensions(48.0f, 48.0f);
         s.extra->MoveTo(-120.0f, -60.0f);
         s.renderer->Submit("extra", s.extra.get());
     }},
    {"a layer added over the sprites", [](StillScene& s) { s.AddLayer("Roof"); }},
    {"the camera zoomed", [](StillScene& s) { s.camera->Zoom(0.75f); }},
    {"another camera made active", [](StillScene& s) { s.ActivateOtherCamera(); }},
    {"the passability overlay hidden", [](StillScene& s) { s.renderer->DisablePassabilityOverlay(); }},
    {"the passability sides shown",
     [](StillScene& s)
     {
         Map* floor = s.Layer("Floor1Ground");
         core::PassabilityMap walls(floor->rows, floor->cols); // closed everywhere
         s.renderer->Submit(floor->name, floor, &walls);
     }},
    {"the panel resized", [](StillScene& s) { s.panel->setWidthInPixels(260); }},
    {"the panel hidden", [](StillScene& s) { s.panel->hide(); }},
    {"the panel destroyed", [](StillScene& s) { s.renderer->GetGUIManager()->destroyRectangle("panel"); }},
    {"a panel added",
     [](StillScene& s)
     {
         GUIRectangle* box = s.renderer->GetGUIManager()->createRectangle("box");
         box->setBackgroundColor(0.9f, 0.9f, 0.2f, 1.0f);
         box->setWidthInPixels(40);
         box->setHeightInPixels(40);
         box->setWindowPosition(0.5f, 0.5f);
     }},
    {"the label moved", [](StillScene& s) { s.label->setWindowPosition(-0.7f, -0.75f); }},
    {"the label's size",
     [](StillScene& s)
     {
         s.label->getFont()->addSize(s.label->getSize() + 8);
         s.label->setSize(s.label->getSize() + 8);
     }},
    {"the label destroyed", [](StillScene& s) { s.renderer->GetGUIManager()->destroyText("label"); }},
    {"a label added",
     [](StillScene& s)
     {
         Text* more = s.renderer->GetGUIManager()->createText("more");
         more->setText("More");
         more->setWindowPosition(0.2f, 0.6f);
     }},
};
}

TEST_F(StillFrameTest, AWindowShowingTheFrameIsNotGivenItAgain)
{
    StillScene scene = Scene(true);
    scene.Draw();
    EXPECT_TRUE(scene.renderer->DrewLastFrame());
    const std::vector<unsigned long> shown = Screen();
    ASSERT_EQ(shown.size(), 640u * 480u);
    for (int frame = 0; frame < 3; ++frame)
    {
        scene.Draw();
        EXPECT_FALSE(scene.renderer->DrewLastFrame()) << "frame " << frame;
        EXPECT_EQ(Screen(), shown) << "the window keeps showing the frame";
    }
}

TEST_F(StillFrameTest, AWindowIsGivenEveryChangedFrame)
{
    for (const Change& change : CHANGES_OVER_THE_LAYERS)
    {
        StillScene scene = Scene(true);
        scene.Draw();
        scene.Draw();
        ASSERT_FALSE(scene.renderer->DrewLastFrame()) << change.what;
        const std::vector<unsigned long> before = Screen();
        change.apply(scene);
        scene.Draw();
        EXPECT_TRUE(scene.renderer->DrewLastFrame()) << change.what;
        EXPECT_NE(Screen(), before) << change.what << " shows";
        scene.Draw();
        EXPECT_FALSE(scene.renderer->DrewLastFrame()) << change.what << ", then still again";
    }
}

TEST_F(StillFrameTest, AWindowThatLostItsPictureIsGivenTheFrameAgain)
{
    StillScene scene = Scene(true);
    scene.Draw();
    scene.Draw();
    ASSERT_FALSE(scene.renderer->DrewLastFrame());
    ExposeWindow(window->GetHandle());
    scene.Draw();
    EXPECT_TRUE(scene.renderer->DrewLastFrame());
    scene.Draw();
    EXPECT_FALSE(scene.renderer->DrewLastFrame());
}

TEST_F(StillFrameTest, AResizedWindowIsGivenTheFrameAgain)
{
    // The game's window is not resizable, but a window manager may resize it.
    StillScene scene = Scene(true);
    scene.Draw();
    scene.Draw();
    ASSERT_FALSE(scene.renderer->DrewLastFrame());
    ResizeWindow(window->GetHandle(), 600, 440);
    scene.Draw();
    EXPECT_TRUE(scene.renderer->DrewLastFrame()) << "made smaller";
    ResizeWindow(window->GetHandle(), 640, 480);
    scene.Draw();
    EXPECT_TRUE(scene.renderer->DrewLastFrame()) << "made larger";
    scene.Draw();
    EXPECT_FALSE(scene.renderer->DrewLastFrame());
}

TEST_F(StillFrameTest, FramesWithoutAWindowAreAlwaysDrawn)
{
    // Their buffer may be read or drawn over by others between frames.
    StillScene scene = Scene();
    for (int frame = 0; frame < 3; ++frame)
    {
        scene.Draw();
        EXPECT_TRUE(scene.renderer->DrewLastFrame());
    }
}
