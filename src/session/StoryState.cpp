#include "session/StoryState.h"

#include "Log/Log.h"
#include "event/BeginQuestEvent.h"
#include "event/EndQuestEvent.h"
#include "event/EventManager.h"
#include "session/Quest.h"
#include "session/QuestManager.h"

namespace core
{
bool StoryState::setFlag(const std::string& name, int value)
{
    auto found = _flags.find(name);
    const int current = found == _flags.end() ? 0 : found->second;
    if (current == value)
        return false;
    _flags[name] = value;
    return true;
}

int StoryState::getFlag(const std::string& name)
{
    return _flags[name];
}

bool StoryState::hasFlag(const std::string& name) const
{
    return _flags.count(name) > 0;
}

bool StoryState::beginQuest(const std::string& id, const std::string& title)
{
    if (id.empty() || questState(id) != QuestManager::NOT_BEGUN)
    {
        Log::named("Session") << "Session::beginQuest - Not beginning quest '" << id << "' again" << std::endl;
        return false;
    }
    Quest quest(id, title, "", "");
    event::BeginQuestEvent begin(&quest);
    event::EventManager::pushEvent(&begin);
    return true;
}

bool StoryState::endQuest(const std::string& id)
{
    if (questState(id) != QuestManager::ACTIVE)
    {
        Log::named("Session") << "Session::endQuest - Quest '" << id << "' is not under way" << std::endl;
        return false;
    }
    Quest quest(id, _questManager->getTitle(id), "", "");
    event::EndQuestEvent end(&quest);
    event::EventManager::pushEvent(&end);
    return true;
}

int StoryState::questState(const std::string& id) const
{
    return _questManager ? static_cast<int>(_questManager->getState(id)) : 0;
}
}
