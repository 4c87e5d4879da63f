#pragma once

#include <functional>

#include "input/InputContext.h"

namespace application
{
// The bottom of the input stack: Escape quits the game, unless the pause
// handler takes the press (it opens the pause menu, from which a second
// Escape quits).
class BaseInputContext : public InputContext
{
public:
    // Returns true when it took the press; false lets the game quit.
    void setPauseHandler(std::function<bool()> handler) { _pause = std::move(handler); }

    using InputContext::dispatch;
    bool dispatch(int key, int keyState) override;

    // Quits on a fresh press; consumes Escape in every state so it never
    // passes below this context.
    bool handleEsc(int keyState);

private:
    std::function<bool()> _pause;
};
}
