#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SaveTestSupport.h"
#include "core/SaveStore.h"

using core::SaveStore;

namespace
{
const std::string OLD_SAVE = "<zoltsave version=\"1\">the previous save</zoltsave>\n";
const std::string NEW_SAVE = "<zoltsave version=\"1\">the new save, somewhat longer than the old</zoltsave>\n";
}

// A crash at any step of writing a slot leaves the slot holding the old save
// whole; the next write then succeeds over whatever the crash left behind.
TEST(SaveStore, ACrashAtEveryWriteStepKeepsThePreviousSave)
{
    for (int crashAt = 0; crashAt < SaveStore::NUM_WRITE_STEPS; ++crashAt)
    {
        testsupport::ScratchFolder folder("zolt-save-test");
        SaveStore store(folder.path() + "/saves");
        std::string error;
        ASSERT_TRUE(store.write("slot1", OLD_SAVE, error)) << error;

        int stepsSeen = 0;
        store.setCrashHook(
            [&](SaveStore::WriteStep step)
            {
                ++stepsSeen;
                return step != crashAt;
            });
        EXPECT_FALSE(store.write("slot1", NEW_SAVE, error)) << "step " << crashAt;
        EXPECT_EQ(stepsSeen, crashAt + 1);

        std::string contents;
        ASSERT_TRUE(store.read("slot1", contents, error)) << error;
        if (crashAt <= SaveStore::RENAME_OVER_SLOT)
            EXPECT_EQ(contents, OLD_SAVE) << "crash before step " << crashAt << " finished";
        else
            EXPECT_EQ(contents, NEW_SAVE) << "the rename had happened";

        store.setCrashHook(nullptr);
        ASSERT_TRUE(store.write("slot1", NEW_SAVE, error)) << error;
        ASSERT_TRUE(store.read("slot1", contents, error));
        EXPECT_EQ(contents, NEW_SAVE);
        EXPECT_FALSE(std::filesystem::exists(store.temporaryPathOf("slot1")));
    }
}

TEST(SaveStore, AFolderThatCannotBeMadeIsReportedAndNothingIsWritten)
{
    testsupport::ScratchFolder folder("zolt-save-test");
    testsupport::writeText(folder.path() + "/file", "in the way");
    SaveStore store(folder.path() + "/file/saves");
    std::string error;
    EXPECT_FALSE(store.write("slot1", NEW_SAVE, error));
    EXPECT_NE(error.find("cannot make the save folder"), std::string::npos) << error;

    SaveStore nowhere("");
    EXPECT_FALSE(nowhere.write("slot1", NEW_SAVE, error));
    EXPECT_NE(error.find("no folder for saves"), std::string::npos) << error;
}

TEST(SaveStore, AMissingSlotIsNamedWhenRead)
{
    testsupport::ScratchFolder folder("zolt-save-test");
    SaveStore store(folder.path());
    std::string contents, error;
    EXPECT_FALSE(store.exists("slot2"));
    EXPECT_FALSE(store.read("slot2", contents, error));
    EXPECT_EQ(error, "there is no save in " + folder.path() + "/slot2.xml");
}

// The browser copies saves to its storage only when told: the written hook
// runs once for every write that completed, with the store's folder, and
// never for a write that failed, which would store a half-written slot.
TEST(SaveStore, TheWrittenHookRunsOnlyAfterACompletedWrite)
{
    testsupport::ScratchFolder folder("zolt-save-test");
    const std::string saves = folder.path() + "/saves";
    std::vector<std::string> flushed;
    SaveStore::setWrittenHook([&](const std::string& where) { flushed.push_back(where); });
    SaveStore store(saves);
    std::string error;
    ASSERT_TRUE(store.write("slot1", OLD_SAVE, error)) << error;
    ASSERT_TRUE(store.write("slot2", NEW_SAVE, error)) << error;
    for (int crashAt = 0; crashAt < SaveStore::NUM_WRITE_STEPS; ++crashAt)
    {
        store.setCrashHook([crashAt](SaveStore::WriteStep step) { return step != crashAt; });
        EXPECT_FALSE(store.write("slot1", NEW_SAVE, error)) << "step " << crashAt;
    }
    SaveStore::setWrittenHook(nullptr);
    EXPECT_EQ(flushed, std::vector<std::string>({saves, saves}));
}
