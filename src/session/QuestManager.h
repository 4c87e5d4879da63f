#pragma once

#include <map>
#include <string>
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
class QuestManager : public event::Listener<event::BeginQuestEvent>, public event::Listener<event::EndQuestEvent>
{
public:
    enum State
    {
        NOT_BEGUN = 0,
        ACTIVE = 1,
        FINISHED = 2
    };
    // What the log knows of one quest of the story.
    struct Entry
    {
        std::string id;
        std::string title;
        State state;
    };

    explicit QuestManager(Session* session);

    void eventCallback(event::BeginQuestEvent* event) override;
    void eventCallback(event::EndQuestEvent* event) override;

    Session* getSession() const;

    // The quest log: quests with an id are recorded as they begin and end,
    // in the order they began.
    State getState(const std::string& id) const;
    const std::string& getTitle(const std::string& id) const;
    const std::vector<Entry>& getEntries() const { return _entries; }
    // Puts an entry back as it was (loading a saved game).
    void restoreEntry(const Entry& entry);
    // Forgets every quest (before a saved log is put back).
    void clear() { _entries.clear(); }

private:
    Entry* find(const std::string& id);

    // Kept, as every listener keeps it; the log below is what is read.
    std::vector<Quest*> _activeQuests;
    Session* _session;
    std::vector<Entry> _entries;
};
}
