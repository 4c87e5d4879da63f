#include <gtest/gtest.h>

#include <memory>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdlib>

#include "EntityTestSupport.h"
#include "application/GLFWApp.h"
#include "application/GLFWWindow.h"
#include "data/Character.h"
#include "data/Effect.h"
#include "map/LevelMap.h"
#include "world/Screen.h"
#include "world/ScreenStack.h"
#include "script/ScriptInstance.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGSceneManager.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"
#include "util/util.h"

using entitytest::TestEntity;
using entitytest::TestScene;

namespace
{
bool allLayersVisible(core::Scene& scene, bool visible)
{
    if (scene.layersShown() != visible)
        return false;
    for (tamsygraphics::Map* layer : scene.getDrawnLayers())
        if (layer->IsVisible() != visible)
            return false;
    return true;
}
}

TEST(ScreenStackTest, PushPopAndEmptyStackSafety)
{
    core::ScreenStack screens;
    EXPECT_FALSE(screens.hasScreens());
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    EXPECT_EQ(nullptr, screens.getTopScreen());
    screens.popScreen();
    EXPECT_NE(std::string::npos, errors.text().find("ScreenStack::popScreen - The screen stack is empty"));

    auto ownedFirst = std::make_unique<core::Screen>();
    auto ownedSecond = std::make_unique<core::Screen>();
    core::Screen* first = ownedFirst.get();
    core::Screen* second = ownedSecond.get();
    screens.pushScreen(std::move(ownedFirst));
    screens.pushScreen(std::move(ownedSecond));
    EXPECT_TRUE(screens.hasScreens());
    EXPECT_EQ(second, screens.getTopScreen());
    // The popped screen is freed with it (the sanitizer sees a leak or a
    // second free otherwise).
    screens.popScreen();
    EXPECT_EQ(first, screens.getTopScreen());
    screens.pushScreen(std::make_unique<core::Screen>());
    screens.clearScreens();
    EXPECT_FALSE(screens.hasScreens());
}

TEST(SceneTest, ConstructionLoadsTheMapHidden)
{
    testsupport::LogTail sceneLog("Scene");
    TestScene scene("town.tmx", "town_main");
    ASSERT_TRUE(scene->isValid());
    ASSERT_NE(nullptr, scene->getLevelMap());
    EXPECT_EQ("town_main", scene->getId());
    EXPECT_EQ(entitytest::dataMap("town.tmx"), scene->getName());
    EXPECT_FALSE(scene->isVisible());
    EXPECT_EQ(2u, scene->getLevelMap()->getDrawableMaps().size());
    EXPECT_TRUE(allLayersVisible(*scene, false));
    EXPECT_NE(std::string::npos, sceneLog.text().find("Loaded file " + entitytest::dataMap("town.tmx")));
    EXPECT_NE(std::string::npos, sceneLog.text().find("HIDE LEVELS\ntown_main"));

    scene->show();
    EXPECT_TRUE(allLayersVisible(*scene, true));
    scene->hide();
    EXPECT_TRUE(allLayersVisible(*scene, false));

    testing::internal::CaptureStdout();
    scene->printMap();
    EXPECT_EQ("I'm a map!\n", testing::internal::GetCapturedStdout());
}

TEST(SceneTest, MissingMapLeavesTheSceneInvalid)
{
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    core::Scene scene(entitytest::dataMap("does_not_exist.tmx"), "nowhere");
    EXPECT_FALSE(scene.isValid());
    EXPECT_EQ(nullptr, scene.getLevelMap());
    EXPECT_NE(std::string::npos,
              errors.text().find("Scene::Scene - Failed to load file " + entitytest::dataMap("does_not_exist.tmx")));

    // An entity in a scene without a map cannot step, and nothing crashes.
    TestEntity walker("walker");
    scene.insertEntity(&walker, 1, 1);
    EXPECT_TRUE(walker.attemptMoveDirection(core::UP, false));
    EXPECT_FALSE(walker.isMoving());
    walker.updatePosition();
    scene.show();
    scene.deactivate();

    XMLRoot root = getRoot(entitytest::dataMap("missing_map.xml"));
    ASSERT_TRUE(root);
    EXPECT_EQ(nullptr, core::Scene::buildFromXMLElement(root.get()));
    EXPECT_NE(std::string::npos, errors.text().find("Scene::buildFromXMLElement - Failed to parse scene"));
    EXPECT_EQ(nullptr, core::Scene::buildFromXMLElement(nullptr));
}

TEST(SceneTest, InsertingRefusesNullAndDuplicateIds)
{
    TestScene scene("open.tmx", "open");
    TestEntity first("twin");
    TestEntity second("twin");
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    testsupport::LogTail sceneLog("Scene");

    scene->insertEntity(nullptr, 0, 0);
    EXPECT_NE(std::string::npos, errors.text().find("Scene::insertEntity - Unable to insert NULL entity"));
    EXPECT_TRUE(scene->getEntities().empty());

    scene->insertEntity(&first, 1, 2);
    EXPECT_NE(std::string::npos, sceneLog.text().find("Inserting Entity at 1 2"));
    scene->insertEntity(&second, 3, 3);
    EXPECT_NE(std::string::npos, sceneLog.text().find("Scene::insertEntity - twin is already in scene open"));
    ASSERT_EQ(1u, scene->getEntities().size());
    EXPECT_EQ(&first, scene->getEntity("twin"));
    EXPECT_EQ(scene.get(), first.getScene());
    EXPECT_FLOAT_EQ(1.0f, first.getPosition().x);
    EXPECT_FLOAT_EQ(2.0f, first.getPosition().y);
    EXPECT_EQ(nullptr, second.getScene());

    EXPECT_EQ(nullptr, scene->getEntity("nobody"));
    EXPECT_EQ(1u, scene->getEntities().size());
    scene->removeEntity("twin");
    EXPECT_EQ(nullptr, scene->getEntity("twin"));
    scene->removeEntity("twin");
}

TEST(SceneTest, CullRemovesOnlyKilledEntities)
{
    TestScene scene("open.tmx");
    TestEntity a("a"), b("b"), c("c"), d("d"), e("e");
    int column = 0;
    for (TestEntity* entity : {&a, &b, &c, &d, &e})
        scene->insertEntity(entity, 0, column++);
    b.kill();
    e.kill();
    scene->cull();

    ASSERT_EQ(3u, scene->getEntities().size());
    EXPECT_EQ(&a, scene->getEntity("a"));
    EXPECT_EQ(&c, scene->getEntity("c"));
    EXPECT_EQ(&d, scene->getEntity("d"));
    EXPECT_EQ(nullptr, scene->getEntity("b"));
    EXPECT_EQ(nullptr, b.getScene());
    EXPECT_EQ(scene.get(), a.getScene());

    // A culled entity no longer blocks the tile it stood on.
    EXPECT_TRUE(a.attemptMoveDirection(core::RIGHT, false));
    EXPECT_TRUE(a.isMoving());
}

TEST(SceneTest, SceneFileBuildsItsCharactersAtTheirTiles)
{
    entitytest::registerLuaClasses();
    XMLRoot root = getRoot(entitytest::dataMap("town_main.xml"));
    ASSERT_TRUE(root);
    std::unique_ptr<core::Scene> scene = core::Scene::buildFromXMLElement(root.get());
    ASSERT_NE(nullptr, scene);
    EXPECT_EQ("town_main", scene->getId());
    ASSERT_EQ(2u, scene->getEntities().size());

    core::Entity* aldric = scene->getEntity("aldric");
    core::Entity* brune = scene->getEntity("brune");
    ASSERT_NE(nullptr, aldric);
    ASSERT_NE(nullptr, brune);
    EXPECT_EQ("character", aldric->getType());
    EXPECT_FLOAT_EQ(1.0f, aldric->getPosition().x);
    EXPECT_FLOAT_EQ(2.0f, aldric->getPosition().y);
    EXPECT_FLOAT_EQ(3.0f, brune->getPosition().x);
    EXPECT_FLOAT_EQ(4.0f, brune->getPosition().y);
    EXPECT_EQ(scene.get(), brune->getScene());
    ASSERT_NE(nullptr, brune->getInteractScript());
    EXPECT_EQ(nullptr, aldric->getInteractScript());

    // Elements other than "character" are skipped; the file form works too.
    scene->insertEntitiesFromXMLFile(entitytest::dataMap("town_main.xml"));
    EXPECT_EQ(2u, scene->getEntities().size());
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    scene->insertEntitiesFromXMLFile(entitytest::dataMap("none.xml"));
    EXPECT_NE(std::string::npos, errors.text().find("Scene::insertEntitiesFromXML - Failed to load or parse file " +
                                                    entitytest::dataMap("none.xml")));
    scene.reset();
}

namespace
{
// Activation hands layers and sprites to the graphics scene manager, which
// needs a GL context: these run under xvfb-run.
class SceneActivationTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display (run under xvfb-run)";
        window = application::GLFWApp::getGLFWApp()->createWindow(640, 480);
        ASSERT_NE(nullptr, window);
        ASSERT_NE(nullptr, window->GetHandle());
        glfwMakeContextCurrent(window->GetHandle());
        renderer.reset(new tamsygraphics::Renderer(nullptr, "."));
    }

    application::GLFWWindow* window = nullptr;
    std::unique_ptr<tamsygraphics::Renderer> renderer;
};
}

TEST_F(SceneActivationTest, ActivateSubmitsLayersAndSpritesDeactivateTakesLayersBack)
{
    tamsygraphics::SceneManager* sm = renderer->GetSceneManager();
    ASSERT_NE(nullptr, sm);
    TestScene scene("town.tmx", "town_main");
    TestEntity hero("hero");
    TestEntity ghost("ghost", false);
    scene->insertEntity(&hero, 1, 1);
    scene->insertEntity(&ghost, 2, 2);

    scene->activate(nullptr);
    EXPECT_FALSE(scene->isVisible());

    scene->activate(sm);
    EXPECT_TRUE(scene->isVisible());
    EXPECT_EQ(hero.getSprite(), sm->GetSprite("hero"));
    EXPECT_EQ(nullptr, sm->GetSprite("ghost"));
    const auto layers = scene->getDrawnLayers();
    ASSERT_EQ(2u, layers.size());
    EXPECT_EQ(layers[0], sm->GetMap("town_mainGround"));
    EXPECT_EQ(layers[1], sm->GetMap("town_mainRoofs"));
    // The drawn layers are made from the level map's plain ones, cell for cell.
    const DrawableMapList plain = scene->getLevelMap()->getDrawableMaps();
    ASSERT_EQ(2u, plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i)
    {
        EXPECT_EQ(plain[i]->name, layers[i]->name);
        ASSERT_EQ(plain[i]->rows, layers[i]->rows);
        ASSERT_EQ(plain[i]->cols, layers[i]->cols);
        for (int r = 0; r < plain[i]->rows; ++r)
            for (int c = 0; c < plain[i]->cols; ++c)
            {
                const MapTile cell = plain[i]->tileAt(r, c);
                const tamsygraphics::DrawableTile* drawn = layers[i]->GetTile(r, c);
                ASSERT_NE(nullptr, drawn);
                EXPECT_TRUE(cell.visible == drawn->visible &&
                            (!cell.visible || (cell.row == drawn->row && cell.col == drawn->col)))
                    << plain[i]->name << " " << r << "," << c;
            }
    }
    // Combat's marks on the level map show on the topmost drawn layer, and go
    // with it.
    scene->getLevelMap()->highlightTile(1, 2);
    EXPECT_EQ(layers[1]->GetHighlightedTiles(), (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_TRUE(layers[0]->GetHighlightedTiles().empty());
    scene->getLevelMap()->unHighlightTile(1, 2);
    EXPECT_TRUE(layers[1]->GetHighlightedTiles().empty());
    scene->getLevelMap()->highlightTile(0, 1);

    scene->deactivate();
    EXPECT_FALSE(scene->isVisible());
    EXPECT_EQ(nullptr, sm->GetMap("town_mainGround"));
    EXPECT_EQ(nullptr, sm->GetMap("town_mainRoofs"));
    EXPECT_EQ(nullptr, hero.getScene());
    EXPECT_EQ(nullptr, ghost.getScene());
    // The scene manager deleted the drawn layers; the scene keeps none, while
    // the level map keeps its own plain layers and the mark for a later visit.
    EXPECT_TRUE(scene->getDrawnLayers().empty());
    EXPECT_EQ(2u, scene->getLevelMap()->getDrawableMaps().size());
    scene->getLevelMap()->unHighlightTile(0, 1);
    EXPECT_TRUE(scene->getLevelMap()->getHighlightedTiles().empty());
    // The characters of a scene left behind are no longer drawn; each keeps
    // its sprite for a later visit.
    EXPECT_EQ(nullptr, sm->GetSprite("hero"));
    EXPECT_EQ(0u, renderer->GetSprites().count("hero"));
    ASSERT_NE(nullptr, hero.getSprite());

    // Leaving a scene that is not active changes nothing more.
    scene->deactivate();
    EXPECT_FALSE(scene->isVisible());
}

TEST(SceneTest, CharactersPlacedOutsideTheMapAreRefusedWithALine)
{
    entitytest::registerLuaClasses();
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    const std::string file = entitytest::dataMap("town_strays.xml");
    XMLRoot root = getRoot(file);
    ASSERT_TRUE(root);
    std::unique_ptr<core::Scene> scene = core::Scene::buildFromXMLElement(root.get());
    ASSERT_NE(nullptr, scene);
    // The map is 4 rows by 5 columns; "two" reads as row 0 after its own line.
    EXPECT_NE(nullptr, scene->getEntity("inside"));
    EXPECT_NE(nullptr, scene->getEntity("notANumber"));
    EXPECT_EQ(2u, scene->getEntities().size());
    const struct
    {
        const char* id;
        int line;
        const char* where;
    } refused[] = {{"farRow", 3, "row 4, column 0"},
                   {"farColumn", 4, "row 0, column 5"},
                   {"negative", 5, "row -1, column 2"},
                   {"wrapped", 6, "row -2147483648, column -2147483648"}};
    for (const auto& stray : refused)
    {
        SCOPED_TRACE(stray.id);
        EXPECT_EQ(nullptr, scene->getEntity(stray.id));
        EXPECT_NE(std::string::npos, errors.text().find("Scene::insertEntitiesFromXML - " + file + ", line " +
                                                        std::to_string(stray.line) + ": character \"" + stray.id +
                                                        "\" at " + stray.where + " is outside the map; skipped\n"))
            << errors.text();
    }
    EXPECT_NE(std::string::npos,
              errors.text().find(file + ", line 7, <character> attribute \"row\" = \"two\" is not a whole number"))
        << errors.text();
    scene.reset();
}

// The world knows no kind of character itself: until the game hands it a
// maker, a scene file's characters are skipped with a line, never built
// half-way, and the scene itself still loads.
TEST(SceneTest, CharactersWaitForTheGamesMaker)
{
    entitytest::registerLuaClasses();
    testsupport::ErrorCapture errors(testsupport::ErrorCapture::ErrorsAndWarnings);
    const std::string file = entitytest::dataMap("town_strays.xml");
    XMLRoot root = getRoot(file);
    ASSERT_TRUE(root);
    core::Scene::setCharacterMaker(nullptr);
    std::unique_ptr<core::Scene> scene = core::Scene::buildFromXMLElement(root.get());
    core::Scene::setCharacterMaker(
        [](tinyxml2::XMLElement* element) -> core::Entity* { return core::Character::buildFromXMLElement(element); });
    ASSERT_NE(nullptr, scene);
    EXPECT_TRUE(scene->getEntities().empty());
    EXPECT_NE(std::string::npos,
              errors.text().find("Scene::insertEntitiesFromXML - " + file +
                                 ", line 2: no maker of characters was set; \"inside\" skipped"))
        << errors.text();
    scene.reset();
}

// An effect's sprite is lent to the scene manager while shown. It must be
// freed exactly once, whichever goes first: the scene taking it off, the
// scene manager going with the renderer, or the effect never being shown.
// (A second free, or none, fails the sanitizer run.)
TEST_F(SceneActivationTest, AnEffectsSpriteIsFreedOnceWhoeverGoesFirst)
{
    enum class End
    {
        RemovedFromTheScene,
        RendererGoesFirst,
        NeverShown
    };
    for (End end : {End::RemovedFromTheScene, End::RendererGoesFirst, End::NeverShown})
    {
        SCOPED_TRACE(static_cast<int>(end));
        if (!renderer)
            renderer.reset(new tamsygraphics::Renderer(nullptr, "."));
        tamsygraphics::SceneManager* sm = renderer->GetSceneManager();
        TestScene scene("town.tmx", "town_main");
        scene->activate(sm);
        auto effect = std::make_unique<core::Effect>("fire");
        ASSERT_NE(nullptr, effect->getSprite());
        const std::string id = effect->getUniqueId();
        if (end != End::NeverShown)
        {
            scene->insertEffect(effect.get());
            EXPECT_EQ(effect->getSprite(), sm->GetSprite(id));
        }
        if (end == End::RemovedFromTheScene)
        {
            EXPECT_TRUE(scene->removeEffect(effect.get()));
            EXPECT_EQ(nullptr, sm->GetSprite(id));
            EXPECT_FALSE(scene->removeEffect(effect.get())) << "taken off twice";
        }
        else if (end == End::NeverShown)
        {
            EXPECT_FALSE(scene->removeEffect(effect.get()));
        }
        if (end == End::RendererGoesFirst)
        {
            scene->deactivate();
            renderer.reset();
        }
        effect.reset();
    }
}
