#include "event/BeginQuestEvent.h"

namespace event
{
BeginQuestEvent::BeginQuestEvent(core::Quest* quest) : _quest(quest)
{
}

core::Quest* BeginQuestEvent::getQuest() const
{
    return _quest;
}
}
