#pragma once

#include <string>

#include "input/InputContext.h"
#include "map/Direction.h"

namespace core
{
class Session;

// The keys of the map: W, A, S, D walk the avatar, Z interacts, P opens the
// console and C starts a fight with the session's current opponents.
// Scripts switch it off during cut-scenes.
class LevelInputContext : public application::InputContext
{
public:
    explicit LevelInputContext(Session* session);

    bool dispatch(int key, int action) override;
    using application::InputContext::dispatch;

    void setIsEnabled(bool enabled);
    bool getIsEnabled() const;

    bool handleW(int action);
    bool handleA(int action);
    bool handleS(int action);
    bool handleD(int action);
    bool handleP(int action);
    bool handleZ(int action);

private:
    bool handleMove(Direction direction, const std::string& keyName, int action);
    bool handleC(int action);

    Session* _session;
    bool isEnabled;
};
}
