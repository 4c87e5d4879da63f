#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "combat/LatestSave.h"
#include "save/SaveGame.h"
#include "save/SaveStore.h"

namespace core
{
class Session;

// Saving and loading the running game: numbered slots for the menus, a
// quick slot for F5 and F9, and the play time the slots show. Every refusal
// is told to the player (through the notifier the GUI sets) and to the log,
// and leaves the running game as it was.
class SaveGameManager : public LatestSave
{
public:
    static const int NUM_SLOTS = 5;
    static const char* const QUICK_SLOT;

    // What one slot holds, for the slot menus.
    struct SlotInfo
    {
        std::string slot;
        bool used = false;
        bool readable = false;
        SaveGame::Summary summary;
        std::string problem;
    };

    SaveGameManager(Session* session, const std::string& folder);

    // "slot1" to "slotN".
    static std::string slotName(int number);
    // $XDG_DATA_HOME/zolt/saves, or ~/.local/share/zolt/saves.
    static std::string defaultFolder();

    bool save(const std::string& slot);
    bool load(const std::string& slot);
    bool quickSave() { return save(QUICK_SLOT); }
    bool quickLoad() { return load(QUICK_SLOT); }
    // Loads the save written most recently, whichever slot holds it.
    bool loadLatest() override;
    bool hasSaves() const override;
    // How many loads have succeeded: a menu that started one sees it done.
    int loadCount() const { return _loadCount; }

    // The quick slot first, then the numbered ones.
    std::vector<SlotInfo> listSlots() const;
    SlotInfo inspect(const std::string& slot) const;
    // "town_main 1:02:03 07 Dec 11:00", "empty" or "unreadable".
    static std::string describe(const SlotInfo& info);

    // Seconds of play, counting the time recorded in the save last loaded.
    long playSeconds() const;

    void setNotifier(std::function<void(const std::string&)> notifier) { _notifier = std::move(notifier); }
    // The last message the player was shown.
    const std::string& getLastMessage() const { return _lastMessage; }
    SaveStore& getStore() { return _store; }

private:
    // `path`, when given, names the save file in the log.
    bool refuse(const std::string& what, const std::string& reason, const std::string& path = "");
    void tell(const std::string& message);
    bool busy(std::string& reason) const;

    Session* _session;
    SaveStore _store;
    std::chrono::steady_clock::time_point _clockStart;
    long _playSecondsBefore;
    std::function<void(const std::string&)> _notifier;
    int _loadCount = 0;
    std::string _lastMessage;
};
}
