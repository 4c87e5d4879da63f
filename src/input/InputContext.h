#pragma once

namespace application
{
// Size of the key state table; every key code is below it.
const int NUM_KEYS = 512;

enum
{
    KEYUP = 0,   // not pressed
    KEYHIT = 1,  // pressed since the last frame
    KEYHELD = 2, // still pressed
    KEYLETGO = 3 // released since the last frame
};

enum Keycode
{
    KEY_A = 65,
    KEY_B,
    KEY_C,
    KEY_D,
    KEY_E,
    KEY_F,
    KEY_G,
    KEY_H,
    KEY_I,
    KEY_J,
    KEY_K,
    KEY_L,
    KEY_M,
    KEY_N,
    KEY_O,
    KEY_P,
    KEY_Q,
    KEY_R,
    KEY_S,
    KEY_T,
    KEY_U,
    KEY_V,
    KEY_W,
    KEY_X,
    KEY_Y,
    KEY_Z,
    // Special keys keep the older windowing library's numbering, which game
    // code was written against: Escape, then F1 to F25, the arrows, the
    // modifiers, the editing keys and the keypad in runs.
    KEY_ESC = 257,
    KEY_F1 = 258,
    KEY_F3 = 260,
    KEY_F5 = 262,
    KEY_F6 = 263,
    KEY_F9 = 266,
    KEY_F12 = 269,
    KEY_UP = 283,
    KEY_LSHIFT = 287,
    KEY_TAB = 293,
    KEY_KP_0 = 302,
    KEY_KP_DIVIDE = 312
};

enum MouseButtonActionCode
{
    MOUSE_UP = 0,
    MOUSE_DOWN = 1
};

// One layer of the input stack. Each operation returns true when the context
// consumed the event, which stops it from reaching the contexts below.
class InputContext
{
public:
    virtual ~InputContext() = default;

    // A key and its current state (KEYUP, KEYHIT, KEYHELD or KEYLETGO).
    virtual bool dispatch(int key, int keyState);
    // A mouse button (0 left, 1 right, 2 middle), MOUSE_DOWN or MOUSE_UP, and
    // the cursor in normalised screen coordinates.
    virtual bool dispatch(int button, int action, double x, double y);
    // The cursor moved to (x, y), normalised screen coordinates.
    virtual bool dispatch(double x, double y);
};
}
