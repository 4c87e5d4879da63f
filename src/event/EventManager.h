#pragma once

#include <vector>

#include "event/BeginQuestEvent.h"
#include "event/EndQuestEvent.h"
#include "event/Listener.h"
#include "event/PortalEvent.h"
#include "event/TriggerTileEvent.h"

namespace event
{
// Process-wide registry of listeners per event type. Dispatch is
// synchronous: a pushed event reaches every listener of its type, in
// registration order, before pushEvent returns. Listeners and events stay
// owned by their callers.
class EventManager
{
public:
    static EventManager* getInstance();
    static void init();

    static void registerEventListener(Listener<TriggerTileEvent>* listener);
    static void registerEventListener(Listener<BeginQuestEvent>* listener);
    static void registerEventListener(Listener<EndQuestEvent>* listener);
    static void registerEventListener(Listener<PortalEvent>* listener);

    static void pushEvent(TriggerTileEvent* event);
    static void pushEvent(BeginQuestEvent* event);
    static void pushEvent(EndQuestEvent* event);
    static void pushEvent(PortalEvent* event);

    EventManager(const EventManager&) = delete;
    EventManager& operator=(const EventManager&) = delete;

private:
    EventManager() = default;

    std::vector<Listener<TriggerTileEvent>*> _triggerTileEventListeners;
    std::vector<Listener<BeginQuestEvent>*> _beginQuestEventListeners;
    std::vector<Listener<EndQuestEvent>*> _endQuestEventListeners;
    std::vector<Listener<PortalEvent>*> _portalEventListeners;
};
}
