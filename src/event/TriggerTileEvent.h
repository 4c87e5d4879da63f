#pragma once

#include <string>
#include <utility>
#include <vector>

#include "event/Event.h"

namespace event
{
// (name, value) pairs published to the script as string globals, in order.
typedef std::vector<std::pair<std::string, std::string>> ParameterList;

// The scripted event of a map cell: run directly by its trigger tile.
class TriggerTileEvent : public Event
{
public:
    // Publishes the parameters and runs the named script. Events know no
    // script engine: the Lua state installs itself here (script/LuaInterface).
    typedef void (*ScriptRunner)(const std::string& script, const ParameterList& params);
    static void setScriptRunner(ScriptRunner runner);
    static ScriptRunner scriptRunner();

    TriggerTileEvent(const std::string& script, const ParameterList& params);
    virtual ~TriggerTileEvent() = default;

    // Publishes every parameter as a Lua global, then runs the script;
    // without a script engine it logs that the script could not run.
    virtual void trigger();

    const std::string& getScript() const;
    const ParameterList& getParams() const;

private:
    static ScriptRunner _runner;
    std::string _script;
    ParameterList _params;
};
}
