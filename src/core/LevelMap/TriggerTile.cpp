#include "core/LevelMap/TriggerTile.h"

#include "event/EventManager.h"

namespace
{
const char* const PORTAL_SCRIPT = "portal.lua";
const char* const PORTAL_WITH_MUSIC_SCRIPT = "portalWithMusic.lua";
const char* const WANDER_REGION_SCRIPT = "wanderRegion.lua";

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
    return hasEventWithScript(PORTAL_SCRIPT) || hasEventWithScript(PORTAL_WITH_MUSIC_SCRIPT);
}

bool TriggerTile::isNPCTrigger() const
{
    return hasEventWithScript(WANDER_REGION_SCRIPT);
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
