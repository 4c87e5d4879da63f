// On the game's own maps, a still frame whose floors and furniture come from
// the layer cache shows exactly what drawing them showed: their translucent
// tiles, colour keys and layer order leave no pixel different.

#include "graphics/GfxTestSupport.h"

#include <memory>

#include "GameMaps.h"

#include "application/StartupTextures.h"
#include "graphics/TGLayerCache.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "world/LevelMapDrawing.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{
class GameMapStillFrame : public RendererFixture
{
protected:
    GameMapStillFrame() : RendererFixture(true) {}

    void SetUp() override
    {
        RendererFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Maps drawn with the game's one tileset name it as the game does.
        for (const application::StartupTexture& texture : application::startupTextures())
            rm->LoadTexture(texture.name, texture.path);
    }
};

int DifferingPixels(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b)
{
    int differing = 0;
    for (size_t i = 0; i + 3 < a.size() && i + 3 < b.size(); i += 4)
        differing += !std::equal(a.begin() + i, a.begin() + i + 3, b.begin() + i);
    return differing;
}
}

TEST_F(GameMapStillFrame, CopiedLayersMatchDrawnOnesOnEveryGameMap)
{
    const std::vector<std::string> maps = gamemaps::files();
    for (const std::string& map : maps)
    {
        SCOPED_TRACE(map);
        std::unique_ptr<LevelMap> level(LevelMapLoader::loadLevelMap(map));
        ASSERT_NE(level, nullptr);
        LevelMapDrawing drawing(*level);
        for (Map* layer : drawing.layers())
        {
            layer->SetVisible(true);
            renderer->Submit(layer->name, layer);
        }
        // The map's centre, then a corner where the map ends inside the view.
        const Map* first = drawing.layers().front();
        for (const glm::vec2 at :
             {glm::vec2(0.0f, 0.0f), glm::vec2(-first->GetMapWidth() / 2.0f, first->GetMapHeight() / 2.0f)})
        {
            sm->GetActiveCamera()->MoveTo(at.x, at.y);
            renderer->Draw();
            const std::vector<unsigned char> drawn = ReadFrame();
            renderer->Draw();
            renderer->Draw();
            EXPECT_EQ(renderer->GetLayerCache().LastPlan(), LayerCache::Plan::Replay);
            EXPECT_EQ(DifferingPixels(ReadFrame(), drawn), 0) << "camera at " << at.x << ", " << at.y;
        }
        for (Map* layer : drawing.layers())
            renderer->RemoveMap(layer->name);
    }
    if (maps.empty())
        GTEST_SKIP() << "no game maps under assets/maps";
}
