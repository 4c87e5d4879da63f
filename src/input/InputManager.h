#pragma once

#include <functional>
#include <list>
#include <vector>

#include "input/InputContext.h"

namespace application
{
class KeyBindings;

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
    // A context that stays above every context pushed before or after it
    // (menu navigation: a fight's context must not take the arrows from an
    // open menu). Overlays pushed later stand above earlier ones.
    static void pushOverlay(InputContext* context);
    // Removes every occurrence of the context (overlays too); the context is
    // not deleted.
    static void removeContext(InputContext* context);

    // A key from the keyboard: translated through the player's bindings (when
    // set), then recorded.
    static void processKey(int key, int action);
    // A key recorded as it is, past the bindings: what the gamepad's mapping
    // produces is already the key of an action.
    static void recordKey(int key, int action);
    // The bindings keyboard keys go through (not owned); null: none.
    static void setKeyBindings(const KeyBindings* bindings);
    // The next key pressed goes to the callback instead of the game, untranslated
    // (choosing a key in the settings); an empty callback cancels.
    static void captureNextKey(std::function<void(int)> capture);
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

    // Bottom first, overlays above the rest.
    std::vector<InputContext*> topFirstContexts() const;

    std::list<InputContext*> _contextStack;
    std::list<InputContext*> _overlays;
    const KeyBindings* _bindings = nullptr;
    std::function<void(int)> _capture;
    static int _keyStates[NUM_KEYS];
};
}
