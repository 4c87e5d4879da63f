#pragma once

#include <array>
#include <functional>
#include <string>

namespace application
{
// The first gamepad the windowing library knows a mapping for, read once a
// frame and turned into the keys of the actions: the d-pad and the left
// stick walk (W, A, S, D, which also move a menu's focus), A talks and
// chooses (Z), B backs out (X), Y opens the menu (M) and Start pauses
// (Escape). Where the states come from is a seam: a test hands in its own.
class GamepadInput
{
public:
    // The windowing library's gamepad layout (GLFWgamepadstate): buttons in
    // its order (A, B, X, Y, LB, RB, Back, Start, Guide, LS, RS, Up, Right,
    // Down, Left), pressed as 1; axes -1 to 1 (left x, left y, right x,
    // right y, left trigger, right trigger), y growing downwards.
    struct State
    {
        std::array<unsigned char, 15> buttons{};
        std::array<float, 6> axes{};
    };
    // Fills the state and returns true when a gamepad is there.
    using Source = std::function<bool(State&)>;

    // The keys of the actions in the order of keyFor's list.
    static const int KEY_COUNT = 8;

    GamepadInput();

    // The first connected joystick with a gamepad mapping (the default).
    static Source connectedGamepad();
    // A file holding 15 button values (0 or 1) and 6 axis values, separated
    // by blanks, read afresh each frame: the game's end-to-end tests drive it
    // through ZOLT_GAMEPAD_FILE. A missing or short file is no gamepad.
    static Source stateFile(const std::string& path);
    void setSource(Source source);

    // Reads the state and records a press or release for every action key
    // whose state changed since the last read.
    void update();
    // Which action keys the state holds down, in keyFor's order.
    static std::array<bool, KEY_COUNT> pressedKeys(const State& state);
    // The action key of each index of pressedKeys.
    static int keyFor(int index);

private:
    Source _source;
    std::array<bool, KEY_COUNT> _pressed{};
};
}
