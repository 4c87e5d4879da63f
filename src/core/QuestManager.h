#pragma once

#include <vector>

#include "event/BeginQuestEvent.h"
#include "event/EndQuestEvent.h"
#include "event/Listener.h"

namespace core
{
class Quest;
class Session;

// Reacts to quest events pushed through the event manager. Register it
// once per event type, through the matching Listener base:
//   EventManager::registerEventListener(
//       static_cast<event::Listener<event::EndQuestEvent>*>(questManager));
class QuestManager : public event::Listener<event::BeginQuestEvent>,
                     public event::Listener<event::EndQuestEvent>
{
public:
    explicit QuestManager(Session* session);

    void eventCallback(event::BeginQuestEvent* event) override;
    void eventCallback(event::EndQuestEvent* event) override;

    Session* getSession() const;

private:
    std::vector<Quest*> _activeQuests;
    Session* _session;
};
}
