#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "application/GamepadInput.h"
#include "input/InputContext.h"
#include "input/InputManager.h"
#include "support/Files.h"

using application::GamepadInput;
using application::InputManager;

namespace
{
class GamepadInputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InputManager::reset();
        _gamepad.setSource(
            [this](GamepadInput::State& state)
            {
                state = _state;
                return _connected;
            });
    }
    void TearDown() override { InputManager::reset(); }

    GamepadInput _gamepad;
    GamepadInput::State _state;
    bool _connected = true;
};
}

TEST_F(GamepadInputTest, ButtonsAndTheStickBecomeTheKeysOfTheirActions)
{
    struct Case
    {
        const char* name;
        int button; // -1: none
        int axis;   // -1: none
        float value;
        int key;
    };
    const std::vector<Case> cases = {
        {"d-pad up", 11, -1, 0.0f, application::KEY_W},   {"d-pad right", 12, -1, 0.0f, application::KEY_D},
        {"d-pad down", 13, -1, 0.0f, application::KEY_S}, {"d-pad left", 14, -1, 0.0f, application::KEY_A},
        {"stick up", -1, 1, -0.9f, application::KEY_W},   {"stick down", -1, 1, 0.9f, application::KEY_S},
        {"stick left", -1, 0, -0.9f, application::KEY_A}, {"stick right", -1, 0, 0.9f, application::KEY_D},
        {"A", 0, -1, 0.0f, application::KEY_Z},           {"B", 1, -1, 0.0f, application::KEY_X},
        {"Y", 3, -1, 0.0f, application::KEY_M},           {"Start", 7, -1, 0.0f, application::KEY_ESC},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        _state = GamepadInput::State();
        _gamepad.update();
        if (c.button >= 0)
            _state.buttons[static_cast<size_t>(c.button)] = 1;
        if (c.axis >= 0)
            _state.axes[static_cast<size_t>(c.axis)] = c.value;
        _gamepad.update();
        EXPECT_EQ(InputManager::getKeyState(c.key), application::KEYHIT);
        _state = GamepadInput::State();
        _gamepad.update();
        EXPECT_EQ(InputManager::getKeyState(c.key), application::KEYLETGO);
        InputManager::reset();
    }
}

TEST_F(GamepadInputTest, ASlightLeanOfTheStickIsNoStep)
{
    _state.axes[0] = 0.3f;
    _state.axes[1] = -0.3f;
    _gamepad.update();
    for (int i = 0; i < GamepadInput::KEY_COUNT; ++i)
        EXPECT_EQ(InputManager::getKeyState(GamepadInput::keyFor(i)), application::KEYUP) << i;
}

TEST_F(GamepadInputTest, APulledOutGamepadLetsGoOfWhatItHeld)
{
    _state.buttons[0] = 1;
    _gamepad.update();
    ASSERT_EQ(InputManager::getKeyState(application::KEY_Z), application::KEYHIT);
    _connected = false;
    _gamepad.update();
    EXPECT_EQ(InputManager::getKeyState(application::KEY_Z), application::KEYLETGO);
}

TEST(GamepadStateFile, ReadsWholeStatesAndNothingElse)
{
    testsupport::ScratchFolder folder("zolt-gamepad");
    const std::string path = folder.path() + "/pad";
    GamepadInput::Source source = GamepadInput::stateFile(path);
    GamepadInput::State state;
    EXPECT_FALSE(source(state)) << "no file, no gamepad";
    testsupport::writeText(path, "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0  0 0.75 0 0 0 0\n");
    ASSERT_TRUE(source(state));
    EXPECT_EQ(state.buttons[0], 1);
    EXPECT_EQ(state.buttons[1], 0);
    EXPECT_FLOAT_EQ(state.axes[1], 0.75f);
    for (const char* bad : {"1 0 0", "", "a b c", "1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0.5"})
    {
        testsupport::writeText(path, bad);
        EXPECT_FALSE(source(state)) << "'" << bad << "' is no whole state";
    }
}
