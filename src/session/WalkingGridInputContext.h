#pragma once

#include "input/InputContext.h"

namespace core
{
class Session;

// F3 shows a maker where the map can be walked: the closed sides of its
// cells and its trigger tiles, drawn over the map; F3 again hides them.
class WalkingGridInputContext : public application::InputContext
{
public:
    explicit WalkingGridInputContext(Session* session);

    using application::InputContext::dispatch;
    bool dispatch(int key, int keyState) override;

private:
    Session* _session;
};
}
