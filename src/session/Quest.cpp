#include "session/Quest.h"

namespace core
{
Quest::Quest(const std::string& questStartScript, const std::string& questEndScript)
    : _questStartScript(questStartScript), _questEndScript(questEndScript)
{
}

Quest::Quest(const std::string& id, const std::string& title, const std::string& questStartScript,
             const std::string& questEndScript)
    : _questStartScript(questStartScript), _questEndScript(questEndScript), _id(id), _title(title)
{
}

const std::string& Quest::getQuestStartScript() const
{
    return _questStartScript;
}

const std::string& Quest::getQuestEndScript() const
{
    return _questEndScript;
}
}
