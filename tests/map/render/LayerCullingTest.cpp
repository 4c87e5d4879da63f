// Drawing only what the camera sees must not lose a pixel: tiles larger
// than the grid reach into the view from cells outside it.

#include "graphics/GfxTestSupport.h"

#include <memory>

#include "graphics/TGCamera.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{
class LayerCulling : public RendererFixture
{
protected:
    LayerCulling() : RendererFixture(true) {}

    void SetUp() override
    {
        RendererFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        SolidTexture(rm, "red", RED);
        SolidTexture(rm, "blue", BLUE);
        grid.reset(SimpleTileset("red", 32));
        big.reset(SimpleTileset("blue", 128));
        // 64 file pixels drawn at twice their size: four cells across.
        big->tileWidth = 64;
        big->tileHeight = 64;
    }

    // A 200 x 200 layer of red cells (world -3200 to 3200) with blue tiles
    // four cells wide at the given cells, anchored at their bottom left.
    Map* LayerWithBigTiles(const std::vector<std::pair<int, int>>& cells)
    {
        Map* layer = SimpleLayer("Floor", grid.get(), 200, 200);
        layer->tilesets = {grid.get(), big.get()};
        for (const auto& cell : cells)
            layer->tiles[cell.first][cell.second].tileset = 1;
        return layer;
    }

    std::unique_ptr<Tileset> grid;
    std::unique_ptr<Tileset> big;
};
}

TEST_F(LayerCulling, TilesReachingIntoTheViewFromOutsideAreDrawn)
{
    // The view shows x -320..320 and y -240..240. Cell (100, 87) lies left
    // of it (x -416..-384) and its tile reaches to x -288; cell (110, 95)
    // lies below it (y -352..-320) and its tile reaches up to y -224.
    sm->SubmitMap("Floor", LayerWithBigTiles({{100, 87}, {110, 95}}));
    renderer->Draw();
    EXPECT_EQ(WorldPixel(-310, 50), BLUE);
    EXPECT_EQ(WorldPixel(-100, -232), BLUE);
    EXPECT_EQ(WorldPixel(-250, 50), RED);
    EXPECT_EQ(WorldPixel(100, 100), RED);
}

TEST_F(LayerCulling, AMovedCameraSeesItsOwnPartOfTheMap)
{
    sm->SubmitMap("Floor", LayerWithBigTiles({{10, 190}}));
    Camera* camera = sm->GetActiveCamera();
    ASSERT_NE(camera, nullptr);
    // Far in the top-right corner: cell (10, 190) spans x 2880..2912 and
    // y 2848..2880; its tile covers x 2880..3008 and y 2848..2976.
    camera->MoveTo(2900.0f, 2900.0f);
    renderer->Draw();
    EXPECT_EQ(WorldPixel(50, 10), BLUE);
    EXPECT_EQ(WorldPixel(-50, -100), RED);
    // Past the map's edge (x 3200) nothing is drawn.
    EXPECT_EQ(WorldPixel(310, -100), BLACK);
}
