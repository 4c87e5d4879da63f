#include "GfxTestSupport.h"

#include "graphics/TGText.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{
class SceneManagerTest : public RendererFixture
{
protected:
    void SetUp() override
    {
        RendererFixture::SetUp();
        if (!renderer)
            return;
        SolidTexture(rm, "tiles", RED);
        tileset.reset(SimpleTileset("tiles", 16));
    }
    std::unique_ptr<Tileset> tileset;
};
}

TEST_F(SceneManagerTest, MapsCreateSubmitDestroy)
{
    LogCapture log;
    Map* created = sm->CreateMap("L1");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->name, "L1");
    EXPECT_EQ(sm->GetMap("L1"), created);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::CreateMap) Creating a new map (L1)"));
    EXPECT_FALSE(log.Has("Overwriting previously created map (L1)"));
    EXPECT_EQ(renderer->GetMaps().count("L1"), 0u) << "created maps are not drawable yet";

    sm->CreateMap("L1");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::CreateMap) Overwriting previously created map (L1)"));

    // Submitting under a name used by CreateMap: logged, then registered.
    Map* submitted = SimpleLayer("L1", tileset.get(), 2, 2);
    sm->SubmitMap("L1", submitted);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::SubmitMap) Submitting Map (L1)"));
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::SubmitMap) Overwriting previously created map (L1)"));
    EXPECT_EQ(sm->GetMap("L1"), submitted);
    EXPECT_EQ(sm->GetTileset("L1"), tileset.get());
    EXPECT_EQ(renderer->GetOtherMaps().at("L1"), submitted);
    EXPECT_EQ(renderer->GetResourceManager()->GetVAO("L1").second, 24u);

    sm->SubmitMap("nullmap", nullptr);
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::SubmitMap) Submitted NULL map as (nullmap)"));
    EXPECT_EQ(sm->GetMap("nullmap"), nullptr);

    sm->SubmitPassabilityMap("L1", nullptr);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::SubmitPassabilityMap) Submitting PassabilityMap (L1)"));
    sm->SubmitPassabilityMap("nope", nullptr);
    EXPECT_TRUE(
        log.HasAt("ERROR", "(SceneManager::SubmitPassabilityMap) Submitting Passability Map that doesnt exist (nope)"));

    sm->DestroyMap("L1");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::DestroyMap) Destroying Map (L1)"));
    EXPECT_EQ(sm->GetMap("L1"), nullptr);
    EXPECT_EQ(renderer->GetMaps().count("L1"), 0u);
    EXPECT_EQ(renderer->GetOtherMaps().count("L1"), 0u);
    sm->DestroyMap("L1");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::DestroyMap) Destroying map that doesnt exist (L1)"));
}

TEST_F(SceneManagerTest, LayerWithoutTilesetTextureIsEmptyButHarmless)
{
    Tileset* missing = SimpleTileset("notloaded", 16);
    testing::internal::CaptureStdout();
    sm->SubmitMap("Floor", SimpleLayer("Floor", missing, 2, 2));
    std::fflush(stdout);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("NULL info"), std::string::npos);
    EXPECT_EQ(renderer->GetResourceManager()->GetVAO("Floor").second, 0u);
    EXPECT_EQ(renderer->GetFloorMaps().count("Floor"), 1u);
    sm->DestroyMap("Floor");
    delete missing;
}

TEST_F(SceneManagerTest, Tilesets)
{
    LogCapture log;
    Tileset* t = sm->CreateTileset("ts");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->name, "ts");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::CreateTileset) Creating tileset (ts)"));
    EXPECT_EQ(sm->GetTileset("ts"), t);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::GetTileset) Get tileset(ts)"));
    Tileset* again = sm->CreateTileset("ts");
    EXPECT_EQ(sm->GetTileset("ts"), again);
    EXPECT_FALSE(log.HasAt("ERROR", "ts"));
    EXPECT_EQ(sm->GetTileset("unknown"), nullptr);
}

TEST_F(SceneManagerTest, Sprites)
{
    LogCapture log;
    EXPECT_FALSE(sm->SubmitSprite("nul", nullptr));
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::SubmitSprite) Submitted NULL sprite (nul)"));
    EXPECT_EQ(renderer->GetSprites().count("nul"), 0u);
    EXPECT_EQ(sm->GetSprite("nul"), nullptr);

    Sprite* own = new Sprite("own");
    EXPECT_TRUE(sm->SubmitSprite("own", own));
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::SubmitSprite) Submitting sprite (own)"));
    EXPECT_EQ(sm->GetSprite("own"), own);
    EXPECT_EQ(renderer->GetSprites().at("own"), own);
    EXPECT_TRUE(sm->SubmitSprite("own", own));
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::SubmitSprite) Overwriting already created sprite (own)"));

    Sprite* made = sm->CreateSprite("made");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetIdentifier(), "made");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::CreateSprite) Creating sprite (made)"));
    EXPECT_EQ(renderer->GetSprites().at("made"), made);
    Sprite* remade = sm->CreateSprite("made");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::CreateSprite) Overwriting already created sprite (made)"));
    EXPECT_EQ(renderer->GetSprites().at("made"), remade);

    EXPECT_EQ(sm->GetSprite("ghost"), nullptr);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::GetSprite) Attempting to retrieve sprite that doesnt exist (ghost)"));
    EXPECT_FALSE(log.HasAt("ERROR", "(SceneManager::GetSprite)"));

    sm->DestroySprite("made");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::DestroySprite) Destroying sprite (made)"));
    EXPECT_EQ(renderer->GetSprites().count("made"), 0u);
    EXPECT_EQ(sm->GetSprite("made"), nullptr);
    sm->DestroySprite("made");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::DestroySprite) Destroying sprite that doesnt exist (made)"));
    // Replaced by name, it stays alive as long as the scene manager: a
    // caller may still hold it.
    EXPECT_EQ(made->GetIdentifier(), "made");

    // Withdrawing gives the sprite back undeleted and stops drawing it.
    EXPECT_EQ(sm->WithdrawSprite("own"), own);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::WithdrawSprite) Withdrawing sprite (own)"));
    EXPECT_EQ(renderer->GetSprites().count("own"), 0u);
    EXPECT_EQ(sm->GetSprite("own"), nullptr);
    EXPECT_EQ(own->GetIdentifier(), "own");
    EXPECT_EQ(sm->WithdrawSprite("own"), nullptr);
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::WithdrawSprite) Withdrawing sprite that doesnt exist (own)"));
    delete own;
}

TEST_F(SceneManagerTest, CamerasAndActiveCamera)
{
    LogCapture log;
    Camera* main = sm->CreateCamera("mainCam");
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::CreateCamera) Creating camera (mainCam)"));
    EXPECT_EQ(main->GetIdentifier(), "mainCam");
    EXPECT_EQ(main->GetClientWidth(), 640);
    EXPECT_EQ(main->GetClientHeight(), 480);
    EXPECT_FLOAT_EQ(main->GetRight(), 320);
    EXPECT_EQ(sm->GetCamera("mainCam"), main);
    EXPECT_EQ(sm->GetActiveCamera(), nullptr);
    EXPECT_EQ(renderer->GetCamera(), nullptr);

    sm->SetActiveCamera("mainCam");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::SetActiveCamera) Setting active camera (mainCam)"));
    EXPECT_EQ(sm->GetActiveCamera(), main);
    EXPECT_EQ(renderer->GetCamera(), main);

    sm->SetActiveCamera("nope");
    EXPECT_TRUE(log.HasAt(
        "ERROR", "(SceneManager::SetActiveCamera) Trying to set active camera to camera that doesnt exists (nope)"));
    EXPECT_EQ(sm->GetActiveCamera(), main);
    EXPECT_EQ(renderer->GetCamera(), main);

    sm->DestroyCamera("mainCam");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::DestroyCamera) destroying camera (mainCam)"));
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::DestroyCamera) Attempting to destroy active camera"));
    EXPECT_EQ(sm->GetCamera("mainCam"), main);

    sm->DestroyCamera("ghost");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::DestroyCamera) Attempting to destroy camera that doesnt exists"));

    sm->CreateCamera("spare");
    Camera* spare = sm->CreateCamera("spare");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::CreateCamera) Overwriting already created camera (spare)"));
    // Destroying a camera that a sprite carries detaches it first, so the
    // sprite's later moves do not reach freed memory.
    Sprite* carrier = sm->CreateSprite("carrier");
    carrier->AttachCamera(spare);
    sm->DestroyCamera("spare");
    EXPECT_EQ(sm->GetCamera("spare"), nullptr);
    EXPECT_EQ(carrier->GetCamera(), nullptr);
    carrier->MoveTo(10.0f, 10.0f);
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::GetCamera) Attempting to retrieve camera that doesnt exist (spare)"));
}

TEST_F(SceneManagerTest, Texts)
{
    LogCapture log;
    Text* t = sm->CreateText("hello");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->getId(), "hello");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::CreateText) Creating Text (hello)"));
    EXPECT_EQ(renderer->GetTexts().at("hello"), t);
    Text* again = sm->CreateText("hello");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::CreateText) Overwriting already created text (hello)"));
    EXPECT_EQ(renderer->GetTexts().at("hello"), again);
    sm->DestroyText("hello");
    EXPECT_TRUE(log.HasAt("INFO", "(SceneManager::DestroyText) Destroying text (hello)"));
    EXPECT_EQ(renderer->GetTexts().count("hello"), 0u);
    sm->DestroyText("hello");
    EXPECT_TRUE(log.HasAt("ERROR", "(SceneManager::DestroyText) Destroying text that doesn't exist (hello)"));
    EXPECT_EQ(t->getId(), "hello") << "replaced by name, kept alive by the scene manager";
}
