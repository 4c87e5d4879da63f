#include "event/TriggerTileEvent.h"

#include "script/LuaInterface.h"

namespace event
{
TriggerTileEvent::TriggerTileEvent(const std::string& script, const ParameterList& params)
    : _script(script), _params(params)
{
}

void TriggerTileEvent::trigger()
{
    // The globals outlive the script on purpose: later scripts may read
    // what the last trigger published.
    for (const auto& param : _params)
        core::LuaInterface::registerGlobal(param.second, param.first);
    core::LuaInterface::runScript(_script);
}

const std::string& TriggerTileEvent::getScript() const
{
    return _script;
}

const ParameterList& TriggerTileEvent::getParams() const
{
    return _params;
}
}
