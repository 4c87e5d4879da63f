#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

#include "SaveTestSupport.h"
#include "save/SaveStore.h"

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

// A link planted at the temporary name must not carry the save out of the
// folder: the write replaces the link, the file it pointed to is untouched
// and the slot ends up a plain file of its own.
TEST(SaveStore, APlantedTemporaryLinkDoesNotRedirectTheWrite)
{
    testsupport::ScratchFolder folder("zolt-save-test");
    SaveStore store(folder.path() + "/saves");
    std::string error;
    ASSERT_TRUE(store.write("quick", OLD_SAVE, error)) << error;
    const std::string outside = folder.path() + "/outside.txt";
    testsupport::writeText(outside, "the player's own file");
    ASSERT_EQ(::symlink(outside.c_str(), store.temporaryPathOf("quick").c_str()), 0);

    ASSERT_TRUE(store.write("quick", NEW_SAVE, error)) << error;
    EXPECT_EQ(testsupport::readText(outside), "the player's own file");
    EXPECT_FALSE(std::filesystem::is_symlink(store.pathOf("quick")));
    std::string contents;
    ASSERT_TRUE(store.read("quick", contents, error)) << error;
    EXPECT_EQ(contents, NEW_SAVE);
}

TEST(SaveStore, AFolderWhereTheSlotShouldBeIsNamedAndKept)
{
    testsupport::ScratchFolder folder("zolt-save-test");
    SaveStore store(folder.path());
    std::filesystem::create_directory(store.pathOf("quick"));
    std::string error, contents;
    EXPECT_FALSE(store.write("quick", NEW_SAVE, error));
    EXPECT_EQ(error, store.pathOf("quick") + " is a folder, where the save should be");
    EXPECT_TRUE(std::filesystem::is_directory(store.pathOf("quick")));
    EXPECT_FALSE(store.read("quick", contents, error));
    EXPECT_EQ(error, store.pathOf("quick") + " is a folder, not a save file");
    EXPECT_TRUE(store.exists("quick")) << "shown as taken, not as free";
}

// A file that grows past the limit is refused whole; one at the limit reads.
TEST(SaveStore, ASlotLargerThanTheLimitIsRefusedUnread)
{
    testsupport::ScratchFolder folder("zolt-save-test");
    SaveStore store(folder.path(), 100);
    std::string error, contents;
    testsupport::writeText(store.pathOf("slot1"), std::string(100, 'a'));
    EXPECT_TRUE(store.read("slot1", contents, error)) << error;
    EXPECT_EQ(contents.size(), 100u);
    testsupport::writeText(store.pathOf("slot1"), std::string(101, 'a'));
    contents.clear();
    EXPECT_FALSE(store.read("slot1", contents, error));
    EXPECT_NE(error.find("101 bytes, more than the 100"), std::string::npos) << error;
    EXPECT_TRUE(contents.empty());
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
