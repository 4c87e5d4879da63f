#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "Log/Log.h"
#include "application/BaseInputContext.h"
#include "application/GLFWApp.h"
#include "application/GLFWInput.h"
#include "input/InputManager.h"
#include "input/KeyBindings.h"
#include "application/RecordingContext.h"
#include "util/util.h"

using namespace application;

namespace
{
const int PRESS = 1;
const int RELEASE = 0;

// A named stream stays silent once written to before its registration, and
// every push writes to "input", so it is registered while the binary loads.
std::ostringstream inputLog;
const bool inputLogRegistered = (Log::setNamedStream("input", &inputLog), true);

class InputManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InputManager::init();
        InputManager::reset();
        GLFWApp::quitApplication = false;
    }
    void TearDown() override
    {
        InputManager::reset();
        GLFWApp::quitApplication = false;
    }
};
}

TEST_F(InputManagerTest, KeyStateTableFollowsPressesAndReleases)
{
    InputManager::processKey(KEY_A, RELEASE);
    EXPECT_EQ(InputManager::getKeyState(KEY_A), KEYUP) << "a release of an up key changes nothing";
    InputManager::processKey(KEY_A, PRESS);
    EXPECT_EQ(InputManager::getKeyState(KEY_A), KEYHIT);
    InputManager::processKey(KEY_A, PRESS);
    EXPECT_EQ(InputManager::getKeyState(KEY_A), KEYHIT);
    InputManager::processKey(KEY_A, RELEASE);
    EXPECT_EQ(InputManager::getKeyState(KEY_A), KEYLETGO);
    InputManager::processKey(KEY_A, RELEASE);
    EXPECT_EQ(InputManager::getKeyState(KEY_A), KEYLETGO);
    InputManager::processKey(KEY_A, PRESS);
    EXPECT_EQ(InputManager::getKeyState(KEY_A), KEYHIT) << "a let-go key pressed again is hit";

    // Repeats and unknown actions are not presses.
    InputManager::processKey(KEY_B, 2);
    EXPECT_EQ(InputManager::getKeyState(KEY_B), KEYUP);

    // Codes outside the table are ignored without touching the table.
    InputManager::processKey(NUM_KEYS, PRESS);
    InputManager::processKey(-1, PRESS);
    InputManager::processKey(100000, PRESS);
    EXPECT_EQ(InputManager::getKeyState(NUM_KEYS), KEYUP);
    EXPECT_EQ(InputManager::getKeyState(-1), KEYUP);
    EXPECT_EQ(InputManager::getKeyState(NUM_KEYS - 1), KEYUP);
}

TEST_F(InputManagerTest, HeldKeyIsHitThenHeldThenLetGoThenUp)
{
    RecordingContext context;
    InputManager::pushContext(&context);

    InputManager::processKey(KEY_D, PRESS);
    InputManager::update();
    InputManager::update();
    InputManager::update();
    EXPECT_EQ(InputManager::getKeyState(KEY_D), KEYHELD);
    InputManager::processKey(KEY_D, RELEASE);
    InputManager::update();
    InputManager::update();

    EXPECT_EQ(context.statesOf(KEY_D), (std::vector<int>{KEYHIT, KEYHELD, KEYHELD, KEYLETGO, KEYUP}));
    EXPECT_EQ(InputManager::getKeyState(KEY_D), KEYUP);
}

TEST_F(InputManagerTest, PressAndReleaseInOneFrameArriveOnlyAsLetGo)
{
    RecordingContext context;
    InputManager::pushContext(&context);

    InputManager::processKey(KEY_W, PRESS);
    InputManager::processKey(KEY_W, RELEASE);
    InputManager::update();
    InputManager::update();

    EXPECT_EQ(context.statesOf(KEY_W), (std::vector<int>{KEYLETGO, KEYUP}));
}

TEST_F(InputManagerTest, EveryKeyIsOfferedEveryFrameTopFirstUntilConsumed)
{
    RecordingContext bottom;
    RecordingContext top;
    top.consumeKey = [](int key, int) { return key == KEY_S; };
    InputManager::pushContext(&bottom);
    InputManager::pushContext(&top);

    InputManager::update();

    ASSERT_EQ(top.keys.size(), static_cast<size_t>(NUM_KEYS));
    for (int key = 0; key < NUM_KEYS; ++key)
    {
        EXPECT_EQ(top.keys[key].key, key) << "keys go in ascending order";
        EXPECT_EQ(top.keys[key].state, KEYUP) << "up keys are offered too";
    }
    EXPECT_EQ(bottom.keys.size(), static_cast<size_t>(NUM_KEYS - 1));
    EXPECT_TRUE(bottom.statesOf(KEY_S).empty()) << "a consumed key stops at the consumer";
}

TEST_F(InputManagerTest, EmptyStackLeavesKeyStatesPending)
{
    InputManager::processKey(KEY_Z, PRESS);
    InputManager::update();
    InputManager::update();
    EXPECT_EQ(InputManager::getKeyState(KEY_Z), KEYHIT);

    RecordingContext context;
    InputManager::pushContext(&context);
    InputManager::update();
    EXPECT_EQ(context.activeStatesOf(KEY_Z), (std::vector<int>{KEYHIT}));
    EXPECT_EQ(InputManager::getKeyState(KEY_Z), KEYHELD);
}

TEST_F(InputManagerTest, ContextsPushedDuringDispatchJoinFromTheNextKey)
{
    RecordingContext bottom;
    RecordingContext pushed;
    bottom.onKey = [&](int key)
    {
        if (key == 10)
            InputManager::pushContext(&pushed);
    };
    InputManager::pushContext(&bottom);

    InputManager::update();

    ASSERT_FALSE(pushed.keys.empty());
    EXPECT_EQ(pushed.keys.front().key, 11);
    EXPECT_EQ(pushed.keys.size(), static_cast<size_t>(NUM_KEYS - 11));
    EXPECT_EQ(bottom.keys.size(), static_cast<size_t>(NUM_KEYS)) << "the pushed context consumes nothing";
}

TEST_F(InputManagerTest, ContextsRemovedDuringDispatchAreNotCalledAgain)
{
    RecordingContext bottom;
    RecordingContext* doomed = new RecordingContext();
    RecordingContext top;
    // The top context tears down the one below it (removed and deleted, as an
    // owner leaving combat would) in the middle of a walk.
    top.onKey = [&](int key)
    {
        if (key == 20 && doomed)
        {
            InputManager::removeContext(doomed);
            delete doomed;
            doomed = nullptr;
        }
    };
    RecordingContext selfRemoving;
    selfRemoving.onKey = [&](int key)
    {
        if (key == 30)
            InputManager::removeContext(&selfRemoving);
    };
    InputManager::pushContext(&bottom);
    InputManager::pushContext(doomed);
    InputManager::pushContext(&selfRemoving);
    InputManager::pushContext(&top);

    InputManager::update();

    EXPECT_EQ(doomed, nullptr);
    EXPECT_EQ(bottom.keys.size(), static_cast<size_t>(NUM_KEYS)) << "the walk goes on below a removed context";
    ASSERT_FALSE(selfRemoving.keys.empty());
    EXPECT_EQ(selfRemoving.keys.back().key, 30);
    EXPECT_EQ(top.keys.size(), static_cast<size_t>(NUM_KEYS));
}

TEST_F(InputManagerTest, ContextPushedTwiceIsOfferedTwiceAndRemovedAtOnce)
{
    RecordingContext bottom;
    RecordingContext twice;
    InputManager::pushContext(&twice);
    InputManager::pushContext(&bottom);
    InputManager::pushContext(&twice);

    InputManager::processKey(KEY_E, PRESS);
    InputManager::update();
    EXPECT_EQ(twice.activeStatesOf(KEY_E), (std::vector<int>{KEYHIT, KEYHIT}));
    EXPECT_EQ(bottom.activeStatesOf(KEY_E), (std::vector<int>{KEYHIT}));

    InputManager::removeContext(&twice);
    twice.keys.clear();
    bottom.keys.clear();
    InputManager::update();
    EXPECT_TRUE(twice.keys.empty()) << "one removeContext removes every occurrence";
    EXPECT_EQ(bottom.activeStatesOf(KEY_E), (std::vector<int>{KEYHELD}));
}

TEST_F(InputManagerTest, EveryPushIsAnnouncedOnTheInputStreamAndRemovalIsQuiet)
{
    ASSERT_TRUE(inputLogRegistered);
    RecordingContext context;
    inputLog.str("");
    InputManager::pushContext(&context);
    InputManager::pushContext(&context);
    InputManager::removeContext(&context);
    InputManager::removeContext(&context); // no longer there: nothing happens
    EXPECT_EQ(inputLog.str(), "[input]        Pushed new input context\n"
                              "[input]        Pushed new input context\n");
    InputManager::update();
    EXPECT_TRUE(context.keys.empty());
}

TEST_F(InputManagerTest, MouseEventsAreOfferedAtOnceTopFirst)
{
    RecordingContext bottom;
    RecordingContext top;
    InputManager::pushContext(&bottom);
    InputManager::pushContext(&top);

    InputManager::processMousePosition(0.25, -0.5);
    InputManager::processMouseButton(1, MOUSE_DOWN, 0.25, -0.5);
    ASSERT_EQ(top.moves.size(), 1u);
    ASSERT_EQ(bottom.moves.size(), 1u) << "an unconsumed move goes on down";
    EXPECT_DOUBLE_EQ(bottom.moves[0].x, 0.25);
    ASSERT_EQ(bottom.buttons.size(), 1u);
    EXPECT_EQ(bottom.buttons[0].button, 1);
    EXPECT_EQ(bottom.buttons[0].action, MOUSE_DOWN);
    EXPECT_DOUBLE_EQ(bottom.buttons[0].y, -0.5);

    top.consumeMouse = true;
    InputManager::processMouseButton(0, MOUSE_UP, 0.0, 0.0);
    InputManager::processMousePosition(0.0, 0.0);
    EXPECT_EQ(top.buttons.size(), 2u);
    EXPECT_EQ(bottom.buttons.size(), 1u) << "a consumed button stops at the consumer";
    EXPECT_EQ(bottom.moves.size(), 1u);
    EXPECT_TRUE(top.keys.empty()) << "mouse events never wait for update()";

    InputManager::reset();
    InputManager::processMouseButton(0, MOUSE_DOWN, 0.0, 0.0); // empty stack: dropped
    EXPECT_EQ(top.buttons.size(), 2u);
}

TEST_F(InputManagerTest, WindowBridgeFeedsTheManager)
{
    RecordingContext context;
    InputManager::pushContext(&context);

    // Key events from the window are recorded, not dispatched, until update().
    GLFWInput::processKey(KEY_ESC, PRESS);
    EXPECT_TRUE(context.keys.empty());
    EXPECT_EQ(InputManager::getKeyState(KEY_ESC), KEYHIT);

    // A button event carries the position of the last move, in screen units.
    GLFWInput::processMousePosition(160, 360);
    GLFWInput::processMouseButton(0, MOUSE_DOWN);
    ASSERT_EQ(context.moves.size(), 1u);
    EXPECT_DOUBLE_EQ(context.moves[0].x, -0.5);
    EXPECT_DOUBLE_EQ(context.moves[0].y, -0.5);
    ASSERT_EQ(context.buttons.size(), 1u);
    EXPECT_DOUBLE_EQ(context.buttons[0].x, toScreenX(160));
    EXPECT_DOUBLE_EQ(context.buttons[0].y, toScreenY(360));
}

TEST_F(InputManagerTest, EscapeQuitsOnlyFromTheBottomAndOnlyWhenHit)
{
    BaseInputContext base;
    EXPECT_FALSE(base.dispatch(KEY_A, KEYHIT));
    EXPECT_FALSE(base.dispatch(0, MOUSE_DOWN, 0.0, 0.0));
    EXPECT_FALSE(base.dispatch(0.0, 0.0));
    for (int state : {KEYUP, KEYHELD, KEYLETGO})
        EXPECT_TRUE(base.dispatch(KEY_ESC, state)) << "Escape never passes below, state " << state;
    EXPECT_FALSE(GLFWApp::quitApplication);

    RecordingContext above;
    RecordingContext below;
    InputManager::pushContext(&below);
    InputManager::pushContext(&base);
    InputManager::pushContext(&above);

    InputManager::processKey(KEY_ESC, PRESS);
    EXPECT_FALSE(GLFWApp::quitApplication) << "the quit waits for the next update";
    InputManager::update();
    EXPECT_TRUE(GLFWApp::quitApplication);
    EXPECT_EQ(above.activeStatesOf(KEY_ESC), (std::vector<int>{KEYHIT}));
    EXPECT_TRUE(below.statesOf(KEY_ESC).empty());

    // A context above that takes Escape keeps the game running.
    GLFWApp::quitApplication = false;
    above.consumeKey = [](int key, int) { return key == KEY_ESC; };
    InputManager::processKey(KEY_ESC, RELEASE);
    InputManager::processKey(KEY_ESC, PRESS);
    InputManager::update();
    EXPECT_FALSE(GLFWApp::quitApplication);
}

TEST_F(InputManagerTest, AnOverlayHearsKeysBeforeContextsPushedAfterIt)
{
    RecordingContext overlay;
    RecordingContext later;
    overlay.consumeKey = [](int key, int) { return key == KEY_W; };
    InputManager::pushOverlay(&overlay);
    InputManager::pushContext(&later);
    InputManager::processKey(KEY_W, PRESS);
    InputManager::processKey(KEY_Q, PRESS);
    InputManager::update();
    EXPECT_EQ(overlay.statesOf(KEY_W), std::vector<int>({KEYHIT}));
    EXPECT_TRUE(later.statesOf(KEY_W).empty()) << "the overlay consumed W first";
    EXPECT_EQ(later.statesOf(KEY_Q), std::vector<int>({KEYHIT})) << "what it leaves goes on down";
    InputManager::removeContext(&overlay);
    InputManager::update();
    EXPECT_EQ(later.statesOf(KEY_W), std::vector<int>({KEYHELD})) << "a removed overlay hears nothing";
}

TEST_F(InputManagerTest, KeysGoThroughThePlayersBindings)
{
    KeyBindings bindings;
    ASSERT_TRUE(bindings.bind("walk_up", KEY_UP));
    InputManager::setKeyBindings(&bindings);
    RecordingContext context;
    InputManager::pushContext(&context);
    InputManager::processKey(KEY_UP, PRESS);
    InputManager::processKey(KEY_W, PRESS);
    EXPECT_EQ(InputManager::getKeyState(KEY_W), KEYHIT) << "the bound arrow arrives as the action's key";
    EXPECT_EQ(InputManager::getKeyState(KEY_UP), KEYUP);
    // A gamepad's keys are the actions' keys already.
    InputManager::recordKey(KEY_UP, PRESS);
    EXPECT_EQ(InputManager::getKeyState(KEY_UP), KEYHIT);
}

TEST_F(InputManagerTest, ACapturedKeyGoesToTheCaptureOnly)
{
    KeyBindings bindings;
    ASSERT_TRUE(bindings.bind("walk_up", KEY_I));
    InputManager::setKeyBindings(&bindings);
    std::vector<int> captured;
    InputManager::captureNextKey([&captured](int key) { captured.push_back(key); });
    InputManager::processKey(KEY_W, PRESS);
    EXPECT_EQ(captured, std::vector<int>({KEY_W})) << "a key the bindings drop can still be chosen";
    EXPECT_EQ(InputManager::getKeyState(KEY_W), KEYUP);
    InputManager::processKey(KEY_W, RELEASE);
    InputManager::processKey(KEY_I, PRESS);
    EXPECT_EQ(captured.size(), 1u) << "only the next key is captured";
    EXPECT_EQ(InputManager::getKeyState(KEY_W), KEYHIT);
}
