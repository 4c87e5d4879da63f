#include "core/Quest.h"

namespace core
{
Quest::Quest(const std::string& questStartScript, const std::string& questEndScript)
    : _questStartScript(questStartScript), _questEndScript(questEndScript)
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
