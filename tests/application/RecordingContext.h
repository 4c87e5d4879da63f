#pragma once

#include <functional>
#include <vector>

#include "input/InputContext.h"

// An input context that records what it is offered and consumes what its
// predicates say. Hooks let a test act from inside a dispatch.
struct RecordingContext : application::InputContext
{
    struct KeyEvent
    {
        int key;
        int state;
    };
    struct ButtonEvent
    {
        int button;
        int action;
        double x;
        double y;
    };
    struct MoveEvent
    {
        double x;
        double y;
    };

    std::vector<KeyEvent> keys;
    std::vector<ButtonEvent> buttons;
    std::vector<MoveEvent> moves;

    std::function<bool(int key, int state)> consumeKey = [](int, int) { return false; };
    bool consumeMouse = false;
    std::function<void(int key)> onKey;

    bool dispatch(int key, int keyState) override
    {
        keys.push_back({key, keyState});
        if (onKey)
            onKey(key);
        return consumeKey(key, keyState);
    }

    bool dispatch(int button, int action, double x, double y) override
    {
        buttons.push_back({button, action, x, y});
        return consumeMouse;
    }

    bool dispatch(double x, double y) override
    {
        moves.push_back({x, y});
        return consumeMouse;
    }

    // The states this context was offered for one key, in order.
    std::vector<int> statesOf(int key) const
    {
        std::vector<int> states;
        for (const KeyEvent& event : keys)
            if (event.key == key)
                states.push_back(event.state);
        return states;
    }

    // Every state this context saw for the key except KEYUP.
    std::vector<int> activeStatesOf(int key) const
    {
        std::vector<int> states;
        for (int state : statesOf(key))
            if (state != application::KEYUP)
                states.push_back(state);
        return states;
    }
};
