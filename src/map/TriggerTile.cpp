#include "map/TriggerTile.h"

#include "event/EventManager.h"
#include "util/GameManifest.h"

namespace
{
// The game's manifest says which of its scripts are portals and which keeps
// wanderers in their region.
const char* const PORTAL_ROLE = "sceneChange";
const char* const WANDER_ROLE = "wander";

template <typename T>
void deleteAll(std::vector<T*>& list)
{
    for (T* item : list)
        delete item;
    list.clear();
}
}

TriggerTile::~TriggerTile()
{
    deleteAll(events);
    deleteAll(_beginQuestEvents);
    deleteAll(_endQuestEvents);
}

void TriggerTile::addEvent(event::TriggerTileEvent* e)
{
    if (e)
        events.push_back(e);
}

void TriggerTile::addEvent(event::BeginQuestEvent* e)
{
    if (e)
        _beginQuestEvents.push_back(e);
}

void TriggerTile::addEvent(event::EndQuestEvent* e)
{
    if (e)
        _endQuestEvents.push_back(e);
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
    for (const event::TriggerTileEvent* e : events)
    {
        if (e->getScript() == script)
            return true;
    }
    return false;
}

void TriggerTile::triggerEvents()
{
    for (event::TriggerTileEvent* e : events)
        e->trigger();
    for (event::BeginQuestEvent* e : _beginQuestEvents)
        event::EventManager::pushEvent(e);
    for (event::EndQuestEvent* e : _endQuestEvents)
        event::EventManager::pushEvent(e);
}

const std::vector<event::TriggerTileEvent*>& TriggerTile::getEvents() const
{
    return events;
}
