#include "core/QuestManager.h"

#include <iostream>

namespace core
{
QuestManager::QuestManager(Session* session) : _session(session)
{
}

void QuestManager::eventCallback(event::BeginQuestEvent*)
{
    std::cout << "started your banana quest" << std::endl;
}

void QuestManager::eventCallback(event::EndQuestEvent*)
{
    std::cout << "finished your banana quest" << std::endl;
}

Session* QuestManager::getSession() const
{
    return _session;
}
}
