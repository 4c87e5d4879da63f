#include "session/ReloadInputContext.h"

#include "session/LiveReload.h"

namespace core
{
ReloadInputContext::ReloadInputContext(LiveReload* reload) : _reload(reload)
{
}

bool ReloadInputContext::dispatch(int key, int keyState)
{
    if (key != application::KEY_F6)
        return false;
    // Once per press: a held key does not reload every frame.
    if (keyState == application::KEYHIT && _reload)
        _reload->reloadNow();
    return true;
}
}
