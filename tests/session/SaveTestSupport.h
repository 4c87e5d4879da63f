#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "session/QuestManager.h"
#include "save/SaveGameManager.h"
#include "session/Session.h"
#include "support/Files.h"

namespace savetest
{
// The game's abilities and classes, loaded once (characters refer to them).
void loadGameRecords();

// A session standing in the test scene "testA" at (3, 2), with a quest log
// and saves of its own in a scratch folder; the messages the player would
// see are collected in `shown`.
class SavedSession : public sessiontest::SessionFixture
{
protected:
    void SetUp() override;

    testsupport::ScratchFolder folder{"zolt-save-test"};
    core::Session* session = nullptr;
    std::unique_ptr<core::QuestManager> quests;
    std::unique_ptr<core::SaveGameManager> saves;
    std::vector<std::string> shown;
};
}
