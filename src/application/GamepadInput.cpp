#include "application/GamepadInput.h"

#include <fstream>
#include <utility>

#include <GLFW/glfw3.h>

#include "input/InputContext.h"
#include "input/InputManager.h"

namespace application
{
namespace
{
// How far a stick must lean before it counts as a direction.
const float STICK_THRESHOLD = 0.5f;

enum Button
{
    BUTTON_A = 0,
    BUTTON_B = 1,
    BUTTON_Y = 3,
    BUTTON_START = 7,
    DPAD_UP = 11,
    DPAD_RIGHT = 12,
    DPAD_DOWN = 13,
    DPAD_LEFT = 14
};

const int ACTION_KEYS[GamepadInput::KEY_COUNT] = {KEY_W, KEY_A, KEY_S, KEY_D, KEY_Z, KEY_X, KEY_M, KEY_ESC};
}

GamepadInput::GamepadInput() : _source(connectedGamepad())
{
}

GamepadInput::Source GamepadInput::connectedGamepad()
{
    return [](State& state)
    {
#ifdef __EMSCRIPTEN__
        // The browser's windowing library has no gamepad mappings.
        (void)state;
        return false;
#else
        for (int joystick = GLFW_JOYSTICK_1; joystick <= GLFW_JOYSTICK_LAST; ++joystick)
        {
            GLFWgamepadstate read;
            if (glfwJoystickIsGamepad(joystick) && glfwGetGamepadState(joystick, &read))
            {
                for (size_t i = 0; i < state.buttons.size(); ++i)
                    state.buttons[i] = read.buttons[i];
                for (size_t i = 0; i < state.axes.size(); ++i)
                    state.axes[i] = read.axes[i];
                return true;
            }
        }
        return false;
#endif
    };
}

GamepadInput::Source GamepadInput::stateFile(const std::string& path)
{
    return [path](State& state)
    {
        std::ifstream file(path);
        State read;
        for (unsigned char& button : read.buttons)
        {
            int value = 0;
            if (!(file >> value))
                return false;
            button = value != 0 ? 1 : 0;
        }
        for (float& axis : read.axes)
        {
            if (!(file >> axis))
                return false;
        }
        state = read;
        return true;
    };
}

void GamepadInput::setSource(Source source)
{
    _source = std::move(source);
}

std::array<bool, GamepadInput::KEY_COUNT> GamepadInput::pressedKeys(const State& state)
{
    const float x = state.axes[0];
    const float y = state.axes[1];
    return {state.buttons[DPAD_UP] != 0 || y < -STICK_THRESHOLD,
            state.buttons[DPAD_LEFT] != 0 || x < -STICK_THRESHOLD,
            state.buttons[DPAD_DOWN] != 0 || y > STICK_THRESHOLD,
            state.buttons[DPAD_RIGHT] != 0 || x > STICK_THRESHOLD,
            state.buttons[BUTTON_A] != 0,
            state.buttons[BUTTON_B] != 0,
            state.buttons[BUTTON_Y] != 0,
            state.buttons[BUTTON_START] != 0};
}

int GamepadInput::keyFor(int index)
{
    return index >= 0 && index < KEY_COUNT ? ACTION_KEYS[index] : -1;
}

void GamepadInput::update()
{
    State state;
    // A gamepad pulled out lets go of everything it held.
    const bool present = _source && _source(state);
    const std::array<bool, KEY_COUNT> pressed = present ? pressedKeys(state) : std::array<bool, KEY_COUNT>{};
    for (int i = 0; i < KEY_COUNT; ++i)
    {
        if (pressed[static_cast<size_t>(i)] != _pressed[static_cast<size_t>(i)])
            InputManager::recordKey(ACTION_KEYS[i], pressed[static_cast<size_t>(i)] ? 1 : 0);
    }
    _pressed = pressed;
}
}
