#include "event/EventManager.h"

namespace event
{
namespace
{
// Takes the list by value so that a listener registering another listener
// during dispatch cannot invalidate the iteration.
template <typename T>
void dispatch(std::vector<Listener<T>*> snapshot, T* event)
{
    for (Listener<T>* listener : snapshot)
        listener->eventCallback(event);
}
}

EventManager* EventManager::getInstance()
{
    static EventManager instance;
    return &instance;
}

void EventManager::init()
{
    getInstance();
}

void EventManager::registerEventListener(Listener<TriggerTileEvent>* listener)
{
    if (listener)
        getInstance()->_triggerTileEventListeners.push_back(listener);
}

void EventManager::registerEventListener(Listener<BeginQuestEvent>* listener)
{
    if (listener)
        getInstance()->_beginQuestEventListeners.push_back(listener);
}

void EventManager::registerEventListener(Listener<EndQuestEvent>* listener)
{
    if (listener)
        getInstance()->_endQuestEventListeners.push_back(listener);
}

void EventManager::registerEventListener(Listener<PortalEvent>* listener)
{
    if (listener)
        getInstance()->_portalEventListeners.push_back(listener);
}

// Trigger-tile events are run by their tiles, and portal events carry
// nothing, so pushing either reaches no listener.
void EventManager::pushEvent(TriggerTileEvent*)
{
}

void EventManager::pushEvent(BeginQuestEvent* event)
{
    dispatch(getInstance()->_beginQuestEventListeners, event);
}

void EventManager::pushEvent(EndQuestEvent* event)
{
    dispatch(getInstance()->_endQuestEventListeners, event);
}

void EventManager::pushEvent(PortalEvent*)
{
}
}
