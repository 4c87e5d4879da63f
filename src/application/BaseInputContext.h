#pragma once

#include "input/InputContext.h"

namespace application
{
// The bottom of the input stack: Escape quits the game.
class BaseInputContext : public InputContext
{
public:
    using InputContext::dispatch;
    bool dispatch(int key, int keyState) override;

    // Quits on a fresh press; consumes Escape in every state so it never
    // passes below this context.
    bool handleEsc(int keyState);
};
}
