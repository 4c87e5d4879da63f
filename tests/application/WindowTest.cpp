#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <unistd.h>

#include <GLFW/glfw3.h>

#include "application/GLFWApp.h"
#include "application/GLFWTimer.h"
#include "application/GLFWWindow.h"
#include "input/InputManager.h"
#include "application/RecordingContext.h"
#include "support/Commands.h"
#include "util/util.h"

using namespace application;

// The windowing library and its one window belong to the whole process, so
// everything that needs the real window happens in one test, in order.

namespace
{
std::string runCommand(const std::string& command)
{
    std::string output = testsupport::runCommand(command).out;
    while (!output.empty() && (output.back() == '\n' || output.back() == ' '))
        output.pop_back();
    return output;
}

// Swaps (and so polls) until the condition holds or about two seconds pass.
template <typename Condition>
bool swapUntil(GLFWWindow* window, Condition condition)
{
    for (int frame = 0; frame < 200; ++frame)
    {
        window->SwapBuffers();
        InputManager::update();
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
}

TEST(GLFWTimerTest, TimersMeasureFromTheirLastReset)
{
    // The clock runs only once the windowing library has started, which on X
    // needs a display.
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GLFWApp* app = GLFWApp::getGLFWApp();

    // Past a tenth of a second, a timer counting from its own creation can no
    // longer pass for one counting from the library's start.
    while (glfwGetTime() < 0.1)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    GLFWTimer* timer = app->createTimer("clockTimer");
    ASSERT_NE(timer, nullptr);
    double sinceStart = timer->getTime();
    EXPECT_NEAR(sinceStart, glfwGetTime(), 0.02) << "never reset: time since the library started";

    timer->reset();
    double afterReset = timer->getTime();
    EXPECT_GE(afterReset, 0.0);
    EXPECT_LT(afterReset, sinceStart + 0.05);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    double later = timer->getTime();
    EXPECT_GE(later, 0.029);

    testing::internal::CaptureStdout();
    GLFWTimer* again = app->createTimer("clockTimer");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(again, timer);
    EXPECT_GE(again->getTime(), later) << "an existing timer is not reset";
    app->destroyTimer(timer);
}

TEST(GLFWTimerTest, TimersAreKeptByNameAndMissingOnesAreReported)
{
    GLFWApp* app = GLFWApp::getGLFWApp();

    GLFWTimer* timer = app->createTimer("testTimer");
    ASSERT_NE(timer, nullptr);
    testing::internal::CaptureStdout();
    GLFWTimer* again = app->createTimer("testTimer");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(again, timer);
    EXPECT_EQ(out, "(GLFWApp::createTimer) Timer with identifier testTimer already exists, not creating new timer\n");
    EXPECT_EQ(app->getTimer("testTimer"), timer);

    testing::internal::CaptureStdout();
    EXPECT_EQ(app->getTimer("noSuchTimer"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "(GLFWApp::getTimer) Timer with identifier noSuchTimer does not exist\n");

    app->destroyTimer("testTimer");
    testing::internal::CaptureStdout();
    EXPECT_EQ(app->getTimer("testTimer"), nullptr);
    app->destroyTimer("testTimer");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "(GLFWApp::getTimer) Timer with identifier testTimer does not exist\n"
              "(GLFWApp::destroyTimer) Timer with identifier testTimer does not exist\n");

    GLFWTimer* byPointer = app->createTimer("byPointer");
    GLFWTimer stranger;
    testing::internal::CaptureStdout();
    app->destroyTimer(&stranger);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "(GLFWApp::destroyTimer) Failed to destroy timer\n");
    app->destroyTimer(byPointer);
    testing::internal::CaptureStdout();
    EXPECT_EQ(app->getTimer("byPointer"), nullptr);
    testing::internal::GetCapturedStdout();
}

TEST(GLFWWindowTest, OneCoreContextWindowThatDeliversInputInsideTheSwap)
{
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    GLFWApp* app = GLFWApp::getGLFWApp();

    testing::internal::CaptureStdout();
    EXPECT_EQ(app->getWindow(), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "(GLFWApp::getWindow() Attempting to retrieve window that does not exists\n");

    GLFWWindow* window = app->createWindow(640, 480);
    ASSERT_NE(window, nullptr);
    ASSERT_NE(window->GetHandle(), nullptr);
    EXPECT_EQ(window->IsOpen(), 1);
    testing::internal::CaptureStdout();
    EXPECT_EQ(app->createWindow(800, 600), window);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "(GLFWApp::createWindow) Window has already been created. Returning existing window\n");
    EXPECT_EQ(app->getWindow(), window);

    int width = 0;
    int height = 0;
    window->GetDimensions(&width, &height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);

    GLFWwindow* handle = window->GetHandle();
    int major = glfwGetWindowAttrib(handle, GLFW_CONTEXT_VERSION_MAJOR);
    int minor = glfwGetWindowAttrib(handle, GLFW_CONTEXT_VERSION_MINOR);
    EXPECT_TRUE(major > 3 || (major == 3 && minor >= 2)) << major << "." << minor;
    EXPECT_EQ(glfwGetWindowAttrib(handle, GLFW_OPENGL_PROFILE), GLFW_OPENGL_CORE_PROFILE);
    EXPECT_EQ(glfwGetWindowAttrib(handle, GLFW_RESIZABLE), GLFW_TRUE) << "the picture is letterboxed in any size";
    EXPECT_EQ(glfwGetCurrentContext(), handle);

    // The X server sees one 640 x 480 window titled "OpenGL".
    window->SwapBuffers();
    std::string id =
        runCommand("xdotool search --onlyvisible --pid " + std::to_string(getpid()) + " 2>/dev/null | head -1");
    ASSERT_FALSE(id.empty()) << "no visible window of this process";
    EXPECT_EQ(runCommand("xdotool getwindowname " + id), "OpenGL");
    EXPECT_NE(runCommand("xdotool getwindowgeometry " + id).find("Geometry: 640x480"), std::string::npos);

    // Real key and mouse events reach the input contexts through the swap.
    // Each xdotool call returns before the next swap, so a press and its
    // release sent together land in one poll; they are sent apart here.
    InputManager::init();
    InputManager::reset();
    RecordingContext context;
    InputManager::pushContext(&context);
    ASSERT_EQ(
        std::system(
            ("xdotool windowfocus --sync " + id + " mousemove --window " + id + " 160 120 keydown Escape").c_str()),
        0);
    EXPECT_TRUE(swapUntil(window, [&] { return !context.activeStatesOf(KEY_ESC).empty(); }));
    ASSERT_EQ(std::system("xdotool keyup Escape click 1"), 0);
    EXPECT_TRUE(swapUntil(
        window, [&] { return context.activeStatesOf(KEY_ESC).back() == KEYLETGO && context.buttons.size() >= 2; }));
    EXPECT_EQ(context.activeStatesOf(KEY_ESC).front(), KEYHIT) << "the library's Escape becomes 257";
    ASSERT_FALSE(context.moves.empty());
    EXPECT_DOUBLE_EQ(context.moves.back().x, toScreenX(160));
    EXPECT_DOUBLE_EQ(context.moves.back().y, toScreenY(120));
    ASSERT_GE(context.buttons.size(), 2u);
    EXPECT_EQ(context.buttons[0].button, 0);
    EXPECT_EQ(context.buttons[0].action, MOUSE_DOWN);
    EXPECT_EQ(context.buttons[1].action, MOUSE_UP);
    EXPECT_DOUBLE_EQ(context.buttons[0].x, -0.5);
    EXPECT_DOUBLE_EQ(context.buttons[0].y, 0.5);

    // A key held across many frames (long enough for auto-repeat) is one press.
    ASSERT_EQ(std::system("xdotool keydown d"), 0);
    for (int frame = 0; frame < 60; ++frame)
    {
        window->SwapBuffers();
        InputManager::update();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(std::system("xdotool keyup d"), 0);
    swapUntil(window,
              [&]
              {
                  std::vector<int> states = context.activeStatesOf(KEY_D);
                  return !states.empty() && states.back() == KEYLETGO;
              });
    std::vector<int> dStates = context.activeStatesOf(KEY_D);
    ASSERT_GE(dStates.size(), 3u);
    EXPECT_EQ(dStates.front(), KEYHIT);
    EXPECT_EQ(std::count(dStates.begin(), dStates.end(), int(KEYHIT)), 1);
    EXPECT_EQ(std::count(dStates.begin(), dStates.end(), int(KEYLETGO)), 1);
    EXPECT_EQ(dStates.back(), KEYLETGO);
    InputManager::reset();

    window->HideMouseCursor();
    EXPECT_EQ(glfwGetInputMode(handle, GLFW_CURSOR), GLFW_CURSOR_DISABLED);
    window->ShowMouseCursor();
    EXPECT_EQ(glfwGetInputMode(handle, GLFW_CURSOR), GLFW_CURSOR_NORMAL);

    // Once asked to close, the window reports itself closed to the frame loop.
    glfwSetWindowShouldClose(handle, GLFW_TRUE);
    EXPECT_EQ(window->IsOpen(), 0);
}
