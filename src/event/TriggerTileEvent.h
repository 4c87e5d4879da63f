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
    TriggerTileEvent(const std::string& script, const ParameterList& params);
    virtual ~TriggerTileEvent() = default;

    // Publishes every parameter as a Lua global, then runs the script.
    virtual void trigger();

    const std::string& getScript() const;
    const ParameterList& getParams() const;

private:
    std::string _script;
    ParameterList _params;
};
}
