#include "session/QuestManager.h"

#include <ostream>

#include "Log/Log.h"
#include "session/Quest.h"

namespace core
{
QuestManager::QuestManager(Session* session) : _session(session)
{
}

void QuestManager::eventCallback(event::BeginQuestEvent* event)
{
    Log::plain() << "started your banana quest" << std::endl;
    const Quest* quest = event ? event->getQuest() : nullptr;
    if (!quest || quest->getId().empty() || getState(quest->getId()) != NOT_BEGUN)
        return;
    _entries.push_back(Entry{quest->getId(), quest->getTitle(), ACTIVE});
    Log::plain() << "Quest started: " << quest->getTitle() << std::endl;
}

void QuestManager::eventCallback(event::EndQuestEvent* event)
{
    Log::plain() << "finished your banana quest" << std::endl;
    const Quest* quest = event ? event->getQuest() : nullptr;
    Entry* entry = quest ? find(quest->getId()) : nullptr;
    if (!entry || entry->state != ACTIVE)
        return;
    entry->state = FINISHED;
    Log::plain() << "Quest finished: " << entry->title << std::endl;
}

Session* QuestManager::getSession() const
{
    return _session;
}

QuestManager::Entry* QuestManager::find(const std::string& id)
{
    for (Entry& entry : _entries)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

QuestManager::State QuestManager::getState(const std::string& id) const
{
    for (const Entry& entry : _entries)
        if (entry.id == id)
            return entry.state;
    return NOT_BEGUN;
}

const std::string& QuestManager::getTitle(const std::string& id) const
{
    static const std::string none;
    for (const Entry& entry : _entries)
        if (entry.id == id)
            return entry.title;
    return none;
}

void QuestManager::restoreEntry(const Entry& entry)
{
    if (Entry* known = find(entry.id))
        *known = entry;
    else if (entry.state != NOT_BEGUN)
        _entries.push_back(entry);
}
}
