#pragma once

#include "input/InputContext.h"

namespace core
{
class SaveGameManager;

// F5 saves to the quick slot and F9 loads it, wherever the player is.
class SaveInputContext : public application::InputContext
{
public:
    explicit SaveInputContext(SaveGameManager* saves);

    using application::InputContext::dispatch;
    // Acts once per press; a held key does not save or load again.
    bool dispatch(int key, int keyState) override;

private:
    SaveGameManager* _saves;
};
}
