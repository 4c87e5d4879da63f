#include <gtest/gtest.h>

#include <set>
#include <vector>

#include <GLFW/glfw3.h>

#include "application/GLFWInput.h"
#include "input/InputContext.h"
#include "input/InputManager.h"
#include "util/util.h"

using namespace application;

namespace
{
struct Recorded
{
    std::vector<std::pair<int, int>> keys;
    std::vector<std::pair<double, double>> moves;
    std::vector<std::vector<double>> buttons;
};
Recorded recorded;

void recordKey(int key, int action)
{
    recorded.keys.push_back({key, action});
}
void recordMove(double x, double y)
{
    recorded.moves.push_back({x, y});
}
void recordButton(int button, int action, double x, double y)
{
    recorded.buttons.push_back({double(button), double(action), x, y});
}

// What a button event carries before the cursor has ever moved can only be
// seen before anything else in the process moves it, so it is taken while the
// test binary loads.
std::vector<double> firstButtonEvent = []
{
    GLFWInput::RegisterMouseButtonCallback(&recordButton);
    GLFWInput::processMouseButton(0, 1);
    GLFWInput::RegisterMouseButtonCallback(&InputManager::processMouseButton);
    std::vector<double> event = recorded.buttons.empty() ? std::vector<double>() : recorded.buttons.back();
    recorded.buttons.clear();
    return event;
}();

// Installs recording handlers for one test and puts the input manager's back
// afterwards, since both live in the same process.
class GLFWInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        recorded = Recorded();
        GLFWInput::RegisterKeyCallback(&recordKey);
        GLFWInput::RegisterMousePosCallback(&recordMove);
        GLFWInput::RegisterMouseButtonCallback(&recordButton);
    }
    void TearDown() override
    {
        GLFWInput::RegisterKeyCallback(&InputManager::processKey);
        GLFWInput::RegisterMousePosCallback(&InputManager::processMousePosition);
        GLFWInput::RegisterMouseButtonCallback(&InputManager::processMouseButton);
    }
};
}

TEST(GLFWInputFirstEvent, ButtonBeforeAnyMoveIsAtTheScreenCentre)
{
    ASSERT_EQ(firstButtonEvent.size(), 4u);
    EXPECT_EQ(firstButtonEvent[0], 0.0);
    EXPECT_EQ(firstButtonEvent[1], 1.0);
    EXPECT_EQ(firstButtonEvent[2], 0.0);
    EXPECT_EQ(firstButtonEvent[3], 0.0);
}

TEST_F(GLFWInputTest, KeyCodesMapOntoTheEngineNumbering)
{
    for (int letter = GLFW_KEY_A; letter <= GLFW_KEY_Z; ++letter)
        EXPECT_EQ(GLFWInput::translateKey(letter), letter);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_ESCAPE), KEY_ESC);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_SPACE), ' ');
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_0), '0');
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_F1), 258);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_F25), 282);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_UP), 283);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_RIGHT), 286);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_ENTER), 294);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_KP_0), 302);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_KP_9), 311);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_MENU), 325);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_UNKNOWN), -1);
    EXPECT_EQ(GLFWInput::translateKey(GLFW_KEY_PRINT_SCREEN), -1);

    // Every key the library knows gets its own code inside the state table.
    std::set<int> seen;
    for (int key = GLFW_KEY_SPACE; key <= GLFW_KEY_LAST; ++key)
    {
        int code = GLFWInput::translateKey(key);
        if (code < 0)
            continue;
        EXPECT_LT(code, NUM_KEYS) << "library key " << key;
        EXPECT_TRUE(seen.insert(code).second) << "engine code " << code << " used twice";
    }
}

TEST_F(GLFWInputTest, WindowCallbacksForwardOnlyPressAndRelease)
{
    GLFWInput::onGLFWKey(nullptr, GLFW_KEY_ESCAPE, 9, GLFW_PRESS, 0);
    GLFWInput::onGLFWKey(nullptr, GLFW_KEY_ESCAPE, 9, GLFW_REPEAT, 0);
    GLFWInput::onGLFWKey(nullptr, GLFW_KEY_ESCAPE, 9, GLFW_RELEASE, 0);
    GLFWInput::onGLFWKey(nullptr, GLFW_KEY_UNKNOWN, 200, GLFW_PRESS, 0);
    EXPECT_EQ(recorded.keys, (std::vector<std::pair<int, int>>{{KEY_ESC, 1}, {KEY_ESC, 0}}));
}

TEST_F(GLFWInputTest, CursorPositionsArriveAsScreenUnitsOfWholePixels)
{
    GLFWInput::onGLFWCursorPos(nullptr, 320.75, 240.25);
    ASSERT_EQ(recorded.moves.size(), 1u);
    EXPECT_DOUBLE_EQ(recorded.moves[0].first, toScreenX(320));
    EXPECT_DOUBLE_EQ(recorded.moves[0].second, toScreenY(240));

    GLFWInput::onGLFWCursorPos(nullptr, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(recorded.moves[1].first, -1.0);
    EXPECT_DOUBLE_EQ(recorded.moves[1].second, 1.0);

    GLFWInput::onGLFWMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, GLFW_PRESS, 0);
    GLFWInput::onGLFWMouseButton(nullptr, GLFW_MOUSE_BUTTON_RIGHT, GLFW_RELEASE, 0);
    ASSERT_EQ(recorded.buttons.size(), 2u);
    EXPECT_EQ(recorded.buttons[0], (std::vector<double>{1.0, MOUSE_DOWN, -1.0, 1.0}));
    EXPECT_EQ(recorded.buttons[1], (std::vector<double>{1.0, MOUSE_UP, -1.0, 1.0}));
}

TEST_F(GLFWInputTest, EventsWithoutHandlersAreDroppedButThePositionIsKept)
{
    GLFWInput::RegisterKeyCallback(nullptr);
    GLFWInput::RegisterMousePosCallback(nullptr);
    GLFWInput::RegisterMouseButtonCallback(nullptr);
    GLFWInput::processKey(KEY_A, 1);
    GLFWInput::processMousePosition(480, 120);
    GLFWInput::processMouseButton(0, 1);
    EXPECT_TRUE(recorded.keys.empty());
    EXPECT_TRUE(recorded.moves.empty());
    EXPECT_TRUE(recorded.buttons.empty());

    GLFWInput::RegisterMouseButtonCallback(&recordButton);
    GLFWInput::processMouseButton(2, 0);
    ASSERT_EQ(recorded.buttons.size(), 1u);
    EXPECT_EQ(recorded.buttons[0], (std::vector<double>{2.0, 0.0, 0.5, 0.5}));
    EXPECT_DOUBLE_EQ(GLFWInput::getLastMouseX(), 0.5);
    EXPECT_DOUBLE_EQ(GLFWInput::getLastMouseY(), 0.5);
}
