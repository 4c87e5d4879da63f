#pragma once

#include "event/Event.h"

namespace core
{
class Quest;
}

namespace event
{
class EndQuestEvent : public Event
{
public:
    explicit EndQuestEvent(core::Quest* quest);

    core::Quest* getQuest() const;

private:
    core::Quest* _quest;
};
}
