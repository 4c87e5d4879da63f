#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/QuestManager.h"
#include "core/SaveGameManager.h"
#include "core/Session.h"

namespace savetest
{
// A folder of its own under the system's temporary folder, removed with the
// object.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

// The game's abilities and classes, loaded once (characters refer to them).
void loadGameRecords();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);

// A session standing in the test scene "testA" at (3, 3), with a quest log
// and saves of its own in a scratch folder; the messages the player would
// see are collected in `shown`.
class SavedSession : public ::testing::Test
{
protected:
    void SetUp() override;

    ScratchFolder folder;
    core::Session* session = nullptr;
    std::unique_ptr<core::QuestManager> quests;
    std::unique_ptr<core::SaveGameManager> saves;
    std::vector<std::string> shown;
};
}
