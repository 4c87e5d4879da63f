#include "session/LiveReload.h"

#include <chrono>
#include <iostream>

#include <tinyxml2.h>

#include "Log/ErrorTee.h"
#include "Log/Log.h"
#include "data/Character.h"
#include "combat/CombatManager.h"
#include "dialog/DialogManager.h"
#include "script/LuaInterface.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "session/Session.h"
#include "util/LoadedFiles.h"
#include "util/util.h"

namespace core
{
namespace
{
const char* const LOG_NAME = "LiveReload";

// Reads a changed XML file whole; false with tinyxml2's words when it does
// not parse.
bool parses(const std::string& path, std::string& text, std::string& problem)
{
    if (!LoadedFiles::readWhole(path, text))
    {
        problem = "cannot be read";
        return false;
    }
    tinyxml2::XMLDocument document;
    if (document.Parse(text.c_str(), text.size()) != tinyxml2::XML_SUCCESS)
    {
        problem = nullToEmpty(document.ErrorStr());
        return false;
    }
    return true;
}

double steadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}

LiveReload::LiveReload(Session* session, FileWatcher watcher, Clock clock)
    : _session(session), _watcher(std::move(watcher)), _clock(clock ? std::move(clock) : Clock(&steadySeconds))
{
    Log::setNamedStream(LOG_NAME, &std::cout);
}

void LiveReload::update()
{
    std::vector<FileChange> changes = _watcher.poll(_clock());
    // The idle frame: nothing changed and nothing waits.
    if (changes.empty() && !_sceneDue)
        return;
    takeIn(changes, false);
}

void LiveReload::reloadNow()
{
    say("Reloading the game's files (F6)");
    _forcing = true;
    takeIn(_watcher.pollNow(), true);
    _forcing = false;
}

ReloadState LiveReload::currentState() const
{
    ReloadState state;
    Scene* scene = _session ? _session->getCurrentScene() : nullptr;
    if (!scene)
        return state;
    state.hasScene = true;
    state.inCombat = _session->getCombatManager().isInCombat();
    Character* avatar = _session->getAvatar();
    state.avatarMoving = avatar && avatar->isMoving();
    auto row = levelNameMap.find(scene->getId());
    if (row != levelNameMap.end())
        state.sceneFiles.insert(LoadedFiles::normalize(row->second));
    const std::string map = LoadedFiles::normalize(scene->getName());
    state.sceneFiles.insert(map);
    for (const auto& entry : LoadedFiles::entries())
        if (entry.second.usedBy.count(map))
            state.sceneFiles.insert(entry.first);
    return state;
}

void LiveReload::takeIn(const std::vector<FileChange>& changes, bool forceScene)
{
    const ReloadState state = currentState();
    for (const FileChange& change : changes)
        if (ReloadPlanner::touchesScene(change, state))
            _sceneChanges.insert(change.path);
    const ReloadPlan plan = ReloadPlanner::plan(changes, state, _sceneDue || forceScene);
    _sceneDue = plan.sceneWaits;
    if (plan.sceneWaits && !plan.waitReason.empty() && !_waitSaid)
    {
        say(plan.waitReason);
        _waitSaid = true;
    }
    if (!plan.sceneWaits)
        _waitSaid = false;
    for (const ReloadStep& step : plan.steps)
        run(step);
}

void LiveReload::run(const ReloadStep& step)
{
    switch (step.action)
    {
    case ReloadAction::RebuildScene:
        rebuildScene();
        break;
    case ReloadAction::CheckFile:
        checkFile(step.path);
        break;
    case ReloadAction::CheckDialog:
        checkDialog(step.path);
        break;
    case ReloadAction::CheckScript:
        checkScript(step.path);
        break;
    case ReloadAction::ReloadRecords:
        reloadRecords(step.path);
        break;
    }
}

void LiveReload::rebuildScene()
{
    Scene* current = _session->getCurrentScene();
    const bool anyChanged = !_sceneChanges.empty();
    std::map<std::string, std::string> tried = tryChangedSceneFiles();
    // Every change refused: the scene as built is what the files now give.
    if (!current || (anyChanged && tried.empty() && !_forcing))
        return;
    const std::string id = current->getId();
    std::unique_ptr<Scene> scene;
    std::string problem;
    {
        ErrorTee errors;
        scene = ResourceManager::getScene(id);
        problem = errors.firstLine();
    }
    if (!scene)
    {
        // Which of the changes broke it the loaders' words tell; all of them
        // wait for the next save, so the scene still builds when entered.
        for (const auto& file : tried)
            LoadedFiles::refuse(file.first);
        report(id, problem.empty() ? "the scene could not be built" : problem);
        return;
    }
    for (const auto& file : tried)
        LoadedFiles::accept(file.first, file.second);
    _session->reenterScene(std::move(scene));
    say("Reloaded scene " + id + (problem.empty() ? std::string() : " (" + problem + ")"));
}

std::map<std::string, std::string> LiveReload::tryChangedSceneFiles()
{
    // A file that does not even parse is refused alone: the scene is built
    // with its last good version and the other changes.
    std::map<std::string, std::string> tried;
    for (const std::string& path : _sceneChanges)
    {
        std::string text;
        std::string problem;
        if (!parses(path, text, problem))
        {
            refuse(path, problem);
            continue;
        }
        LoadedFiles::retry(path);
        tried[path] = text;
    }
    _sceneChanges.clear();
    return tried;
}

void LiveReload::checkFile(const std::string& path)
{
    std::string text;
    std::string problem;
    if (!parses(path, text, problem))
    {
        refuse(path, problem);
        return;
    }
    LoadedFiles::accept(path, text);
    Log::named(LOG_NAME) << "LiveReload - " << path << " changed; it is read when its scene is entered" << std::endl;
}

void LiveReload::checkDialog(const std::string& path)
{
    std::string text;
    std::string problem;
    if (!parses(path, text, problem))
    {
        refuse(path, problem);
        return;
    }
    tinyxml2::XMLDocument document;
    document.Parse(text.c_str(), text.size());
    tinyxml2::XMLElement* root = document.FirstChildElement("root");
    if (!root || !root->FirstChildElement("name"))
    {
        refuse(path, root ? "no name element" : "no root element");
        return;
    }
    LoadedFiles::accept(path, text);
    DialogManager* dialogs = _session ? _session->getDialogManager() : nullptr;
    const bool shown = dialogs && dialogs->isOpen() && LoadedFiles::normalize(dialogs->getPath()) == path;
    if (shown && !dialogs->refreshNode())
    {
        say(path + ": the node shown is gone or broken; it stays as it was until the next one");
        return;
    }
    say("Reloaded dialog " + path);
}

void LiveReload::checkScript(const std::string& path)
{
    std::string text;
    std::string problem;
    if (!LoadedFiles::readWhole(path, text))
    {
        refuse(path, "cannot be read");
        return;
    }
    if (!LuaInterface::compiles(path, text, problem))
    {
        // Lua's message already starts with the file and line.
        LoadedFiles::refuse(path);
        say(problem + " (the old version runs)");
        Log::plainError() << "LiveReload - " << problem << " (the old version runs)" << std::endl;
        return;
    }
    LoadedFiles::accept(path, text);
    say("Reloaded script " + path);
}

void LiveReload::reloadRecords(const std::string& path)
{
    bool read = false;
    int skipped = 0;
    std::string problem;
    {
        ErrorTee errors;
        read = ResourceManager::reloadFromXMLFile(path, &skipped);
        problem = errors.firstLine();
    }
    if (!read)
    {
        refuse(path, problem);
        return;
    }
    if (!problem.empty())
    {
        // Records that did not build keep their old versions.
        say(problem + " (the old record stays)");
        Log::plainError() << "LiveReload - " << problem << " (the old record stays)" << std::endl;
        return;
    }
    if (skipped > 0)
    {
        say("Reloaded data file " + path + "; its animations and characters are read at start only (restart for them)");
        return;
    }
    say("Reloaded data file " + path);
}

void LiveReload::say(const std::string& message)
{
    Log::named(LOG_NAME) << "LiveReload - " << message << std::endl;
    if (_notifier)
        _notifier(message);
}

void LiveReload::refuse(const std::string& path, const std::string& problem)
{
    LoadedFiles::refuse(path);
    report(path, problem);
}

void LiveReload::report(const std::string& what, const std::string& problem)
{
    const std::string message = what + " was not reloaded: " + problem + " (the old version stays)";
    Log::plainError() << "LiveReload - " << message << std::endl;
    say(message);
}
}
