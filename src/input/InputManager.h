#pragma once

#include <list>

#include "input/InputContext.h"

namespace application
{
// Routes keyboard and mouse input to a stack of contexts, topmost first.
// Keys are sampled into a state table and offered once per frame by update();
// mouse events are offered as soon as they arrive.
class InputManager
{
public:
    static InputManager* getInstance();
    // Creates the manager, which installs its handlers with the window bridge.
    static void init();

    static void pushContext(InputContext* context);
    // Removes every occurrence of the context; the context is not deleted.
    static void removeContext(InputContext* context);

    static void processKey(int key, int action);
    static void processMouseButton(int button, int action, double x, double y);
    static void processMousePosition(double x, double y);

    // Offers every key with its state to the contexts, then advances the states.
    static void update();

    // The recorded state of a key; KEYUP for codes outside the table.
    static int getKeyState(int key);
    // Empties the stack and releases every key, for a clean start (tests).
    static void reset();

private:
    InputManager();
    InputManager(const InputManager&) = delete;
    InputManager& operator=(const InputManager&) = delete;

    static bool isOnStack(const InputContext* context);
    static void offerKey(int key);
    static void advanceKeyState(int key);

    std::list<InputContext*> _contextStack;
    static int _keyStates[NUM_KEYS];
};
}
