#include "event/EndQuestEvent.h"

namespace event
{
EndQuestEvent::EndQuestEvent(core::Quest* quest) : _quest(quest)
{
}

core::Quest* EndQuestEvent::getQuest() const
{
    return _quest;
}
}
