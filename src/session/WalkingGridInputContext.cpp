#include "session/WalkingGridInputContext.h"

#include "session/Session.h"

namespace core
{
WalkingGridInputContext::WalkingGridInputContext(Session* session) : _session(session)
{
}

bool WalkingGridInputContext::dispatch(int key, int keyState)
{
    if (key != application::KEY_F3)
        return false;
    // Once per press: a held key does not flicker the view.
    if (keyState == application::KEYHIT && _session)
        _session->showWalkingGrid(!_session->isWalkingGridShown());
    return true;
}
}
