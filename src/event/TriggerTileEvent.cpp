#include "event/TriggerTileEvent.h"

#include "Log/Log.h"

namespace event
{
TriggerTileEvent::ScriptRunner TriggerTileEvent::_runner = nullptr;

void TriggerTileEvent::setScriptRunner(ScriptRunner runner)
{
    _runner = runner;
}

TriggerTileEvent::ScriptRunner TriggerTileEvent::scriptRunner()
{
    return _runner;
}

TriggerTileEvent::TriggerTileEvent(const std::string& script, const ParameterList& params)
    : _script(script), _params(params)
{
}

void TriggerTileEvent::trigger()
{
    if (!_runner)
    {
        Log::error() << "Trigger script " << _script << " cannot run: no script engine is loaded" << std::endl;
        return;
    }
    _runner(_script, _params);
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
