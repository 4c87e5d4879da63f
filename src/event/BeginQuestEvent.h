#pragma once

#include "event/Event.h"

namespace core
{
class Quest;
}

namespace event
{
class BeginQuestEvent : public Event
{
public:
    explicit BeginQuestEvent(core::Quest* quest);

    core::Quest* getQuest() const;

private:
    core::Quest* _quest;
};
}
