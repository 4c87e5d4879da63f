#pragma once

#include <set>
#include <string>
#include <vector>

#include "util/FileWatcher.h"

namespace core
{
// What live reload does with one changed file.
enum class ReloadAction
{
    RebuildScene, // the current scene is built again from its files
    CheckFile,    // a map or scene file of another scene: read when entered, checked now
    CheckDialog,  // taken in (and the open conversation shown again) when it reads well
    CheckScript,  // taken in when it compiles
    ReloadRecords // its items, abilities and classes replace those of the same names
};

struct ReloadStep
{
    ReloadAction action;
    std::string path;
};

// What the game is doing when changes arrive: some are not safe to take in
// at every moment.
struct ReloadState
{
    bool hasScene = false;
    bool inCombat = false;
    // Mid-step the avatar stands between two tiles, where no new map can
    // put it.
    bool avatarMoving = false;
    // The current scene's scene file, map and tilesets, normalized.
    std::set<std::string> sceneFiles;
};

struct ReloadPlan
{
    std::vector<ReloadStep> steps;
    // Set with no RebuildScene step when the scene must wait; the waiting
    // caller asks again each frame.
    bool sceneWaits = false;
    // Said once to the player when the scene waits for something they see.
    std::string waitReason;
};

// Decides, without touching the game, what each changed file leads to.
class ReloadPlanner
{
public:
    // `sceneAlreadyDue` carries a rebuild that waited in an earlier frame.
    static ReloadPlan plan(const std::vector<FileChange>& changes, const ReloadState& state, bool sceneAlreadyDue);
    // Whether the change is one of the current scene's own files.
    static bool touchesScene(const FileChange& change, const ReloadState& state);
};
}
