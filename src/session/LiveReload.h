#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "session/ReloadPlanner.h"
#include "util/FileWatcher.h"

namespace core
{
class Session;

// Takes in the changes a game maker makes to the running game's files: the
// current scene's map, tilesets, scene file and characters, dialogs, scripts
// and data files. What the player has (party, flags, quests, the avatar's
// tile and facing, the fight, the conversation) stays. A file that does not
// read well leaves the old version in use, and the error, naming the file,
// goes to the notice line, standard error and the log.
class LiveReload
{
public:
    typedef std::function<void(const std::string&)> Notifier;
    typedef std::function<double()> Clock;

    // `clock` gives seconds from any steady origin; the default is the
    // process's steady clock.
    explicit LiveReload(Session* session, FileWatcher watcher = FileWatcher(), Clock clock = Clock());

    // The on-screen notice line.
    void setNotifier(Notifier notifier) { _notifier = std::move(notifier); }

    // Once a frame, when no entity is being walked: looks at the files about
    // twice a second and takes in what changed, or what waited and may now.
    void update();
    // F6: looks at once, and rebuilds the current scene even when nothing
    // seems changed.
    void reloadNow();

    bool isSceneWaiting() const { return _sceneDue; }

private:
    void takeIn(const std::vector<FileChange>& changes, bool forceScene);
    ReloadState currentState() const;
    void run(const ReloadStep& step);
    void rebuildScene();
    // The current scene's changed files, each parsed: those that do not
    // parse are refused; the others (path to text) are let through.
    std::map<std::string, std::string> tryChangedSceneFiles();
    void checkFile(const std::string& path);
    void checkDialog(const std::string& path);
    void checkScript(const std::string& path);
    void reloadRecords(const std::string& path);
    void say(const std::string& message);
    // Marks the file broken (readers get its last good version) and says so.
    void refuse(const std::string& path, const std::string& problem);
    void report(const std::string& what, const std::string& problem);

    Session* _session;
    FileWatcher _watcher;
    Clock _clock;
    Notifier _notifier;
    bool _sceneDue = false;
    // F6: the scene is built again even when no change of it was taken.
    bool _forcing = false;
    // The current scene's files changed since it was last built.
    std::set<std::string> _sceneChanges;
    bool _waitSaid = false;
};
}
