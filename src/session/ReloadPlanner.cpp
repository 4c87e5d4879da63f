#include "session/ReloadPlanner.h"

namespace core
{
bool ReloadPlanner::touchesScene(const FileChange& change, const ReloadState& state)
{
    if (!state.hasScene)
        return false;
    // A character template may be used by anyone standing in the scene;
    // rebuilding it is cheap next to finding out who.
    if (change.kind == FileKind::Character)
        return true;
    return (change.kind == FileKind::Map || change.kind == FileKind::Scene) && state.sceneFiles.count(change.path);
}

ReloadPlan ReloadPlanner::plan(const std::vector<FileChange>& changes, const ReloadState& state, bool sceneAlreadyDue)
{
    ReloadPlan plan;
    bool sceneDue = sceneAlreadyDue && state.hasScene;
    for (const FileChange& change : changes)
    {
        if (touchesScene(change, state))
        {
            sceneDue = true;
            continue;
        }
        switch (change.kind)
        {
        case FileKind::Map:
        case FileKind::Scene:
            plan.steps.push_back({ReloadAction::CheckFile, change.path});
            break;
        case FileKind::Character:
            break;
        case FileKind::Dialog:
            plan.steps.push_back({ReloadAction::CheckDialog, change.path});
            break;
        case FileKind::Script:
            plan.steps.push_back({ReloadAction::CheckScript, change.path});
            break;
        case FileKind::Data:
            plan.steps.push_back({ReloadAction::ReloadRecords, change.path});
            break;
        }
    }
    if (!sceneDue)
        return plan;
    if (state.inCombat)
    {
        // The fight's grid, fighters and highlights stand on the map as it is.
        plan.sceneWaits = true;
        plan.waitReason = "The map changed; it is reloaded when the fight ends";
    }
    else if (state.avatarMoving)
        plan.sceneWaits = true;
    else
        plan.steps.push_back({ReloadAction::RebuildScene, std::string()});
    return plan;
}
}
