#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session/ReloadPlanner.h"
#include "util/FileWatcher.h"

// Which change leads to what, decided without a game: one table over the
// kinds of file, the current scene's own files against others', and the
// moments at which the scene cannot be rebuilt.
namespace
{
using core::ReloadAction;

FileStamp stamp(bool exists, long long modified, long long size)
{
    FileStamp s;
    s.exists = exists;
    s.modifiedNs = modified;
    s.size = size;
    return s;
}

struct PlanCase
{
    const char* name;
    std::vector<FileChange> changes;
    bool inCombat;
    bool moving;
    bool alreadyDue;
    std::vector<ReloadAction> expected;
    bool waits;
    bool saysWhy;
};

FileChange change(const char* path, FileKind kind)
{
    return FileChange{path, kind, stamp(true, 2, 2)};
}
}

TEST(ReloadPlanner, EachChangeLeadsToItsStepOrWaits)
{
    const std::vector<PlanCase> cases = {
        {"own map",
         {change("maps/here.tmx", FileKind::Map)},
         false,
         false,
         false,
         {ReloadAction::RebuildScene},
         false,
         false},
        {"own tileset",
         {change("maps/tiles.tsx", FileKind::Map)},
         false,
         false,
         false,
         {ReloadAction::RebuildScene},
         false,
         false},
        {"own scene file",
         {change("maps/here.xml", FileKind::Scene)},
         false,
         false,
         false,
         {ReloadAction::RebuildScene},
         false,
         false},
        {"map and scene file together: one rebuild",
         {change("maps/here.tmx", FileKind::Map), change("maps/here.xml", FileKind::Scene)},
         false,
         false,
         false,
         {ReloadAction::RebuildScene},
         false,
         false},
        {"another scene's map",
         {change("maps/there.tmx", FileKind::Map)},
         false,
         false,
         false,
         {ReloadAction::CheckFile},
         false,
         false},
        {"a character template",
         {change("characters/a.xml", FileKind::Character)},
         false,
         false,
         false,
         {ReloadAction::RebuildScene},
         false,
         false},
        {"dialog",
         {change("dialogs/a.xml", FileKind::Dialog)},
         false,
         false,
         false,
         {ReloadAction::CheckDialog},
         false,
         false},
        {"script",
         {change("scripts/a.lua", FileKind::Script)},
         false,
         false,
         false,
         {ReloadAction::CheckScript},
         false,
         false},
        {"data file",
         {change("items.xml", FileKind::Data)},
         false,
         false,
         false,
         {ReloadAction::ReloadRecords},
         false,
         false},
        {"own map in a fight waits, said once",
         {change("maps/here.tmx", FileKind::Map)},
         true,
         false,
         false,
         {},
         true,
         true},
        {"dialog in a fight is taken in",
         {change("dialogs/a.xml", FileKind::Dialog)},
         true,
         false,
         false,
         {ReloadAction::CheckDialog},
         false,
         false},
        {"own map mid-step waits quietly",
         {change("maps/here.tmx", FileKind::Map)},
         false,
         true,
         false,
         {},
         true,
         false},
        {"a waiting rebuild comes when it is safe", {}, false, false, true, {ReloadAction::RebuildScene}, false, false},
        {"a waiting rebuild keeps waiting in the fight", {}, true, false, true, {}, true, true},
        {"nothing changed", {}, false, false, false, {}, false, false},
    };
    core::ReloadState state;
    state.hasScene = true;
    state.sceneFiles = {"maps/here.tmx", "maps/tiles.tsx", "maps/here.xml"};
    for (const PlanCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        state.inCombat = c.inCombat;
        state.avatarMoving = c.moving;
        const core::ReloadPlan plan = core::ReloadPlanner::plan(c.changes, state, c.alreadyDue);
        std::vector<ReloadAction> actions;
        for (const core::ReloadStep& step : plan.steps)
            actions.push_back(step.action);
        EXPECT_EQ(actions, c.expected);
        EXPECT_EQ(plan.sceneWaits, c.waits);
        EXPECT_EQ(!plan.waitReason.empty(), c.saysWhy);
    }
}

TEST(ReloadPlanner, WithoutASceneNoMapChangeRebuildsAnything)
{
    core::ReloadState state;
    const core::ReloadPlan plan = core::ReloadPlanner::plan(
        {change("maps/here.tmx", FileKind::Map), change("characters/a.xml", FileKind::Character)}, state, true);
    ASSERT_EQ(plan.steps.size(), 1u);
    EXPECT_EQ(plan.steps[0].action, ReloadAction::CheckFile);
    EXPECT_FALSE(plan.sceneWaits);
}

TEST(FileWatcher, WhatCountsAsAChange)
{
    struct Row
    {
        const char* name;
        FileStamp before;
        FileStamp now;
        bool changed;
    };
    const std::vector<Row> rows = {
        {"untouched", stamp(true, 5, 10), stamp(true, 5, 10), false},
        {"written later", stamp(true, 5, 10), stamp(true, 6, 10), true},
        {"same time, other size", stamp(true, 5, 10), stamp(true, 5, 11), true},
        {"written with an older time", stamp(true, 5, 10), stamp(true, 4, 10), true},
        {"gone (mid-rename)", stamp(true, 5, 10), stamp(false, 0, 0), false},
        {"back after being gone", stamp(false, 0, 0), stamp(true, 5, 10), true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FileWatcher::isChange(row.before, row.now), row.changed) << row.name;
}

TEST(FileWatcher, LooksAtMostTwiceASecondAndReportsEachChangeOnce)
{
    LoadedFiles::reset();
    LoadedFiles::note("./watched//a.xml", FileKind::Dialog);
    LoadedFiles::note("watched/b.lua", FileKind::Script);
    long long version = 0;
    int stats = 0;
    FileWatcher watcher(
        [&](const std::string& path)
        {
            ++stats;
            return stamp(true, path == "watched/a.xml" ? version : 0, 1);
        });
    // Neither file existed when noted, so both are new to the first look.
    EXPECT_EQ(watcher.poll(10.0).size(), 2u);
    const int statsPerLook = stats;
    EXPECT_EQ(statsPerLook, 2) << "one stat per file read, nothing else";
    version = 7;
    EXPECT_TRUE(watcher.poll(10.3).empty()) << "too soon";
    EXPECT_EQ(stats, statsPerLook);
    const std::vector<FileChange> changes = watcher.poll(10.6);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].path, "watched/a.xml");
    EXPECT_EQ(changes[0].kind, FileKind::Dialog);
    EXPECT_TRUE(watcher.pollNow().empty()) << "a change is reported once";
    EXPECT_EQ(stats, 3 * statsPerLook);
    LoadedFiles::reset();
}
