#pragma once

#include "input/InputContext.h"

namespace core
{
class LiveReload;

// F6 takes in changed game files at once, wherever the player is.
class ReloadInputContext : public application::InputContext
{
public:
    explicit ReloadInputContext(LiveReload* reload);

    using application::InputContext::dispatch;
    bool dispatch(int key, int keyState) override;

private:
    LiveReload* _reload;
};
}
