// Layers of maps drawn in the editor's order: the sprites go between the
// layers at the place the map gives them, whatever the layers' names.

#include "GfxTestSupport.h"

#include "graphics/TGLayerCache.h"
#include "graphics/TGSprite.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{
class EditorOrderTest : public RendererFixture
{
protected:
    EditorOrderTest() : RendererFixture(true) {}

    Map* EditorLayer(const std::string& name, const std::string& texture, int place, bool overSprites, int firstColumn)
    {
        tilesets.emplace_back(SimpleTileset(texture, 20));
        Map* map = SimpleLayer(name, tilesets.back().get(), 1, 10, [=](int, int c) { return c >= firstColumn; });
        map->editorOrder = true;
        map->priorityLevel = place;
        map->overSprites = overSprites;
        return map;
    }

    std::vector<std::unique_ptr<Tileset>> tilesets;
};
}

TEST_F(EditorOrderTest, LayersFollowTheirPlaceAndSpritesSitBetween)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "green", GREEN);
    SolidTexture(rm, "blue", BLUE);
    SolidTexture(rm, "white", WHITE);
    // Names sort the other way round from the places, and none says Floor.
    sm->SubmitMap("zGround", EditorLayer("zGround", "red", 0, false, 0));
    sm->SubmitMap("mBridge", EditorLayer("mBridge", "green", 1, false, 2));
    sm->SubmitMap("bAwning", EditorLayer("bAwning", "white", 3, true, 6));
    sm->SubmitMap("aLamp", EditorLayer("aLamp", "red", 4, true, 9));
    Sprite* sprite = sm->CreateSprite("hero");
    sprite->SetTexture("blue");
    sprite->Dimensions(120.0f, 20.0f);
    sprite->MoveTo(40.0f, 0.0f); // x -20..100

    EXPECT_EQ(renderer->GetEditorOrderMaps(false).size(), 2u);
    EXPECT_EQ(renderer->GetEditorOrderMaps(true).size(), 2u);
    EXPECT_TRUE(renderer->GetOtherMaps().empty());
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-90, 0), RED);
    EXPECT_EQ(WorldPixel(-50, 0), GREEN);
    EXPECT_EQ(WorldPixel(0, 0), BLUE) << "the sprite covers the layers under its place";
    EXPECT_EQ(WorldPixel(50, 0), WHITE) << "a layer above its place covers the sprite";
    EXPECT_EQ(WorldPixel(95, 0), RED) << "the last layer in the editor is drawn last";

    // Drawn again from the layer cache, the frame is the same.
    renderer->Draw();
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-50, 0), GREEN);
    EXPECT_EQ(WorldPixel(0, 0), BLUE);
    EXPECT_EQ(WorldPixel(50, 0), WHITE);

    renderer->RemoveMap("bAwning");
    EXPECT_EQ(renderer->GetEditorOrderMaps(true).size(), 1u);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(50, 0), BLUE);
}

TEST_F(EditorOrderTest, AnimatedTilesRedrawOnlyWhenTheirFrameChanges)
{
    // A tileset image of two one-colour tiles, red then green; the first
    // tile shows each for 100 ms.
    std::unique_ptr<Image> image(MakeImage(8, 4, [](int x, int) { return x < 4 ? RED : GREEN; }));
    rm->BindTexture("anim", image.get());
    tilesets.emplace_back(SimpleTileset("anim", 20));
    Tileset* ts = tilesets.back().get();
    ts->maxCol = 2;
    ts->animations[0].frames = {{0, 100}, {1, 100}};
    renderer->SetAnimationTime(0);
    sm->SubmitMap("aFloor", SimpleLayer("aFloor", ts, 1, 10));

    struct Step
    {
        long long ms;
        Colour shown;
        bool redrawn;
    };
    const Step steps[] = {
        {0, RED, false},     {50, RED, false}, {100, RED, false},   {101, GREEN, true},
        {180, GREEN, false}, {201, RED, true}, {1150, GREEN, true},
    };
    renderer->Draw();
    renderer->Draw();
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.ms);
        renderer->SetAnimationTime(step.ms);
        renderer->Draw();
        EXPECT_EQ(renderer->GetLayerCache().LastPlan() != LayerCache::Plan::Replay, step.redrawn);
        EXPECT_EQ(WorldPixel(0, 0), step.shown);
        // The same frame again comes from the cache.
        renderer->Draw();
        renderer->Draw();
        EXPECT_EQ(renderer->GetLayerCache().LastPlan(), LayerCache::Plan::Replay);
        EXPECT_EQ(WorldPixel(0, 0), step.shown);
    }
}

TEST_F(EditorOrderTest, ParallaxLayersMoveAgainstTheCameraAndOffsetsShiftThem)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "green", GREEN);
    // Two cells of 20 world units (4 map pixels, drawn five times larger);
    // only the right one, x 0..20, is drawn.
    Map* far = EditorLayer("far", "red", 0, false, 1);
    far->cols = 2;
    far->tiles[0].resize(2);
    far->parallaxX = 0.5f;
    far->parallaxY = 0.5f;
    Map* near = EditorLayer("near", "green", 1, false, 1);
    near->cols = 2;
    near->tiles[0].resize(2);
    near->offsetX = 2.0f;  // 10 world units right
    near->offsetY = -4.0f; // 20 world units up
    for (Tileset* ts : {far->tileset, near->tileset})
    {
        ts->tileWidth = 4;
        ts->tileHeight = 4;
    }
    sm->SubmitMap("far", far);
    sm->SubmitMap("near", near);

    struct View
    {
        float cameraX;
        float farLeft; // where the far cell starts, in world units
    };
    // The view's centre lies (camera + 20) / 5 map pixels from the map's
    // left edge; half of that moves the far layer.
    for (const View view : {View{0.0f, 10.0f}, View{100.0f, 60.0f}, View{-60.0f, -20.0f}})
    {
        SCOPED_TRACE(view.cameraX);
        sm->GetActiveCamera()->MoveTo(view.cameraX, 0.0f);
        renderer->Draw();
        // Screen pixels relative to the camera.
        const float left = view.farLeft - view.cameraX;
        EXPECT_EQ(WorldPixel(left + 1.0f, -8.0f), RED);
        EXPECT_EQ(WorldPixel(left + 19.0f, -8.0f), RED);
        EXPECT_NE(WorldPixel(left - 2.0f, -8.0f), RED);
        EXPECT_NE(WorldPixel(left + 22.0f, -8.0f), RED);
        // The near layer keeps its offset wherever the camera is.
        EXPECT_EQ(WorldPixel(15.0f - view.cameraX, 25.0f), GREEN);
        EXPECT_NE(WorldPixel(5.0f - view.cameraX, 25.0f), GREEN);
    }
    EXPECT_EQ(renderer->LayerShift(near), glm::vec2(10.0f, 20.0f));
    renderer->SetParallaxFollowsCamera(false);
    EXPECT_EQ(renderer->LayerShift(far), glm::vec2(0.0f, 0.0f));
}

TEST_F(EditorOrderTest, TileObjectsOfTheSpritesLayerSortWithTheSprites)
{
    SolidTexture(rm, "red", RED);
    SolidTexture(rm, "white", WHITE);
    SolidTexture(rm, "blue", BLUE);
    for (bool holds : {true, false})
    {
        SCOPED_TRACE(holds);
        // Ten cells of 20 world units (4 map pixels); no cell drawn, two
        // objects of 40 x 40: a red one further back, a white one in front.
        Map* props = EditorLayer("props", "red", 1, false, 10);
        tilesets.emplace_back(SimpleTileset("white", 20));
        props->tilesets = {props->tileset, tilesets.back().get()};
        for (Tileset* ts : props->tilesets)
            ts->tileWidth = ts->tileHeight = 4;
        TileObject back;
        back.x = 0.0f;
        back.y = 4.0f; // bottom at world y -10
        back.width = back.height = 8.0f;
        TileObject front = back;
        front.x = 4.0f;
        front.y = 10.0f; // bottom at world y -40
        front.tile.tileset = 1;
        props->objects = {back, front};
        props->holdsSprites = holds;
        sm->SubmitMap("props", props);
        // Its bottom at -15: between the two.
        Sprite* sprite = sm->CreateSprite("hero");
        sprite->SetTexture("blue");
        sprite->Dimensions(20.0f, 20.0f);
        sprite->MoveTo(-70.0f, -5.0f);

        EXPECT_EQ(renderer->GetSpriteLayers().size(), holds ? 1u : 0u);
        renderer->Draw();
        EXPECT_EQ(WorldPixel(-70, -5), holds ? WHITE : BLUE) << "the object in front covers the sprite";
        EXPECT_EQ(WorldPixel(-75, 4), BLUE) << "the sprite covers the object behind it";
        EXPECT_EQ(WorldPixel(-95, 20), RED);
        EXPECT_EQ(WorldPixel(-50, -30), WHITE);

        // The sprite walks down in front of both.
        sprite->MoveTo(-70.0f, -35.0f);
        renderer->Draw();
        EXPECT_EQ(WorldPixel(-70, -35), BLUE);
        sm->DestroySprite("hero");
        sm->DestroyMap("props");
    }
}

TEST_F(EditorOrderTest, AnAnimatedTileOutOfViewCausesNoRedraw)
{
    std::unique_ptr<Image> image(MakeImage(8, 4, [](int x, int) { return x < 4 ? RED : GREEN; }));
    rm->BindTexture("anim", image.get());
    tilesets.emplace_back(SimpleTileset("anim", 20));
    Tileset* ts = tilesets.back().get();
    ts->maxCol = 2;
    ts->animations[0].frames = {{0, 30}, {1, 30}};
    renderer->SetAnimationTime(0);
    // Eighty cells across x -800..800; only the last, far right of the
    // view, shows the animated tile.
    Map* layer = SimpleLayer("aFloor", ts, 1, 80);
    for (int c = 0; c < 79; ++c)
        layer->tiles[0][c].col = 1;
    sm->SubmitMap("aFloor", layer);
    renderer->Draw();
    renderer->Draw();
    renderer->Draw();
    ASSERT_EQ(renderer->GetLayerCache().LastPlan(), LayerCache::Plan::Replay);
    renderer->SetAnimationTime(45);
    renderer->Draw();
    EXPECT_EQ(renderer->GetLayerCache().LastPlan(), LayerCache::Plan::Replay);
    EXPECT_EQ(WorldPixel(0, 0), GREEN);

    // Brought into view, it shows the frame of the time.
    sm->GetActiveCamera()->MoveTo(700.0f, 0.0f);
    renderer->Draw();
    EXPECT_NE(renderer->GetLayerCache().LastPlan(), LayerCache::Plan::Replay);
    EXPECT_EQ(WorldPixel(90, 0), GREEN) << "the cell at 780..800 shows its second frame";
    renderer->SetAnimationTime(61);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(90, 0), RED);
}
