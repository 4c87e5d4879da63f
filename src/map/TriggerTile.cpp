#include "map/TriggerTile.h"

#include "event/EventManager.h"
#include "util/GameManifest.h"

namespace
{
// The game's manifest says which of its scripts are portals and which keeps
// wanderers in their region.
const char* const PORTAL_ROLE = "sceneChange";
const char* const WANDER_ROLE = "wander";
}

void TriggerTile::addEvent(std::unique_ptr<event::TriggerTileEvent> e)
{
    if (e)
        events.push_back(std::move(e));
}

void TriggerTile::addEvent(std::unique_ptr<event::BeginQuestEvent> e)
{
    if (e)
        _beginQuestEvents.push_back(std::move(e));
}

void TriggerTile::addEvent(std::unique_ptr<event::EndQuestEvent> e)
{
    if (e)
        _endQuestEvents.push_back(std::move(e));
}

bool TriggerTile::isTrigger() const
{
    return !events.empty() || !_beginQuestEvents.empty() || !_endQuestEvents.empty();
}

bool TriggerTile::isPortal() const
{
    for (const std::string& script : GameManifest::current().scriptsFor(PORTAL_ROLE))
    {
        if (hasEventWithScript(script))
            return true;
    }
    return false;
}

bool TriggerTile::isNPCTrigger() const
{
    for (const std::string& script : GameManifest::current().scriptsFor(WANDER_ROLE))
    {
        if (hasEventWithScript(script))
            return true;
    }
    return false;
}

bool TriggerTile::hasEventWithScript(const std::string& script) const
{
    for (const std::unique_ptr<event::TriggerTileEvent>& e : events)
    {
        if (e->getScript() == script)
            return true;
    }
    return false;
}

void TriggerTile::triggerEvents()
{
    for (const std::unique_ptr<event::TriggerTileEvent>& e : events)
        e->trigger();
    for (const std::unique_ptr<event::BeginQuestEvent>& e : _beginQuestEvents)
        event::EventManager::pushEvent(e.get());
    for (const std::unique_ptr<event::EndQuestEvent>& e : _endQuestEvents)
        event::EventManager::pushEvent(e.get());
}

std::vector<event::TriggerTileEvent*> TriggerTile::getEvents() const
{
    std::vector<event::TriggerTileEvent*> borrowed;
    borrowed.reserve(events.size());
    for (const std::unique_ptr<event::TriggerTileEvent>& e : events)
        borrowed.push_back(e.get());
    return borrowed;
}
