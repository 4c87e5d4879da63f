#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include "SessionTestSupport.h"
#include "application/GLFWApp.h"
#include "application/GLFWWindow.h"
#include "data/Character.h"
#include "world/Scene.h"
#include "graphics/TGCamera.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGSceneManager.h"
#include "graphics/TGSprite.h"

using namespace sessiontest;

using SessionDrawing = SessionFixture;

// Entering scenes hands their layers and sprites to the scene manager and
// takes the old scene's layers back; needs a GL context (run under Xvfb).
TEST_F(SessionDrawing, ScenesSubmitLayersUnderTheirOwnKeysAndTheCameraFollowsTheAvatar)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "no X display (run under xvfb-run)";
    application::GLFWWindow* window = application::GLFWApp::getGLFWApp()->createWindow(640, 480);
    ASSERT_NE(window, nullptr);
    glfwMakeContextCurrent(window->GetHandle());
    std::unique_ptr<tamsygraphics::Renderer> renderer(new tamsygraphics::Renderer(nullptr, "."));
    tamsygraphics::SceneManager* sm = renderer->GetSceneManager();
    ASSERT_NE(sm, nullptr);
    tamsygraphics::Camera* camera = sm->CreateCamera("sessionCam");

    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    session->setSceneManager(sm);
    session->setCamera(camera);
    session->setNextScene("testA", 2, 2);
    session->update();
    EXPECT_NE(sm->GetMap("testAGround"), nullptr) << "layers are keyed by scene id and layer name";
    EXPECT_NE(sm->GetSprite("fenwy"), nullptr);
    EXPECT_NE(sm->GetSprite("guard"), nullptr);
    EXPECT_EQ(session->getAvatar()->getSprite()->GetCamera(), camera);
    EXPECT_TRUE(session->getCurrentScene()->isVisible());

    core::Entity* guard = session->getEntity("guard");
    ASSERT_NE(guard, nullptr);
    session->setNextScene("testB", 1, 1);
    session->update();
    EXPECT_EQ(sm->GetMap("testAGround"), nullptr) << "the old scene's layers are taken back";
    EXPECT_NE(sm->GetMap("testBGround"), nullptr);
    EXPECT_NE(sm->GetSprite("sailor"), nullptr);
    EXPECT_EQ(sm->GetSprite("guard"), nullptr) << "the old scene's characters are no longer drawn";
    EXPECT_EQ(guard->getScene(), nullptr);
    EXPECT_EQ(session->getAvatar()->getSprite()->GetCamera(), camera);

    // Coming back builds the scene anew under the same keys.
    session->setNextScene("testA", 3, 3);
    session->update();
    EXPECT_NE(sm->GetMap("testAGround"), nullptr);
    EXPECT_EQ(sm->GetMap("testBGround"), nullptr);

    // A character killed (in a fight, or by a script) stops being drawn.
    ASSERT_NE(sm->GetSprite("guard"), nullptr);
    session->getEntity("guard")->kill();
    session->update();
    EXPECT_EQ(sm->GetSprite("guard"), nullptr);
    EXPECT_NE(sm->GetSprite("fenwy"), nullptr);
    session->setSceneManager(nullptr);
    session->setCamera(nullptr);
}
