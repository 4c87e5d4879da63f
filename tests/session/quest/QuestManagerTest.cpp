#include <gtest/gtest.h>

#include <vector>

#include "session/Quest.h"
#include "session/QuestManager.h"
#include "event/EventManager.h"

using event::EventManager;
using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

namespace
{
// Registers the way start-up does: once through each listener base.
core::QuestManager* registeredQuestManager(core::Session* session)
{
    // The event manager keeps every registered manager for good; so does
    // this list, which lives as long as the program.
    static std::vector<core::QuestManager*>* const kept = new std::vector<core::QuestManager*>();
    auto* manager = new core::QuestManager(session);
    kept->push_back(manager);
    EventManager::registerEventListener(static_cast<event::Listener<event::BeginQuestEvent>*>(manager));
    EventManager::registerEventListener(static_cast<event::Listener<event::EndQuestEvent>*>(manager));
    return manager;
}
}

TEST(Quest, KeepsItsScripts)
{
    core::Quest quest("bananaStart.lua", "bananaEnd.lua");
    EXPECT_EQ(quest.getQuestStartScript(), "bananaStart.lua");
    EXPECT_EQ(quest.getQuestEndScript(), "bananaEnd.lua");

    event::BeginQuestEvent begin(&quest);
    event::EndQuestEvent end(&quest);
    EXPECT_EQ(begin.getQuest(), &quest);
    EXPECT_EQ(end.getQuest(), &quest);
}

// One test, because the manager cannot forget a listener: the silent case
// has to come before the registration.
TEST(QuestManager, AnnouncesEachPushedQuestEventOnce)
{
    core::Quest quest("start.lua", "end.lua");
    event::BeginQuestEvent begin(&quest);
    event::EndQuestEvent end(&quest);

    CaptureStdout();
    EventManager::pushEvent(&end);
    EventManager::pushEvent(&begin);
    EXPECT_EQ(GetCapturedStdout(), "");

    auto* session = reinterpret_cast<core::Session*>(0x1234);
    core::QuestManager* manager = registeredQuestManager(session);
    EXPECT_EQ(manager->getSession(), session);

    CaptureStdout();
    EventManager::pushEvent(&begin);
    EXPECT_EQ(GetCapturedStdout(), "started your banana quest\n");

    CaptureStdout();
    EventManager::pushEvent(&end);
    EXPECT_EQ(GetCapturedStdout(), "finished your banana quest\n");

    // Quest-less events are announced the same way: the callbacks never
    // look at the quest.
    event::EndQuestEvent bare(nullptr);
    CaptureStdout();
    EventManager::pushEvent(&bare);
    EventManager::pushEvent(&begin);
    EXPECT_EQ(GetCapturedStdout(), "finished your banana quest\nstarted your banana quest\n");
}
