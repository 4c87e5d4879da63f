#include "save/SaveGameManager.h"

#include <cstdio>

#include "Log/Log.h"
#include "save/SaveFields.h"
#include "session/Session.h"
#include "util/DataPaths.h"

namespace core
{
namespace
{
const char* const LOG_NAME = "SaveGame";
// A notice names this many skipped things at most, then counts the rest.
const size_t MAX_SKIPPED_NAMED = 8;

std::string clockTime(long seconds)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

std::string calendarTime(std::time_t when)
{
    char text[32];
    std::tm local = {};
    localtime_r(&when, &local);
    std::strftime(text, sizeof(text), "%d %b %H:%M", &local);
    return text;
}
}

const char* const SaveGameManager::QUICK_SLOT = "quick";

SaveGameManager::SaveGameManager(Session* session, const std::string& folder)
    : _session(session), _store(folder, SaveGame::maxBytes()), _clockStart(std::chrono::steady_clock::now()),
      _playSecondsBefore(0)
{
}

std::string SaveGameManager::slotName(int number)
{
    return "slot" + std::to_string(number);
}

std::string SaveGameManager::defaultFolder()
{
    const std::string data = DataPaths::userDataDirectory();
    return data.empty() ? data : data + "/saves";
}

long SaveGameManager::playSeconds() const
{
    const auto elapsed = std::chrono::steady_clock::now() - _clockStart;
    return _playSecondsBefore + static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count());
}

void SaveGameManager::tell(const std::string& message)
{
    _lastMessage = message;
    if (_notifier)
        _notifier(message);
}

bool SaveGameManager::refuse(const std::string& what, const std::string& reason, const std::string& path)
{
    const std::string message = what + ": " + reason;
    Log::error() << "SaveGameManager - " << message << (path.empty() ? "" : " (" + path + ")") << std::endl;
    tell(message);
    return false;
}

bool SaveGameManager::busy(std::string& reason) const
{
    if (!_session)
        reason = "there is no game under way";
    else if (_session->getCombatManager().isInCombat())
        reason = "not during a fight";
    else if (_session->hasFlag("flag_isDialogOpen") && _session->getFlag("flag_isDialogOpen") != 0)
        reason = "not while someone is talking";
    return !reason.empty();
}

bool SaveGameManager::save(const std::string& slot)
{
    const std::string what = "Cannot save";
    std::string reason;
    if (busy(reason))
        return refuse(what, reason);
    SaveGame save;
    if (!SaveGame::capture(*_session, playSeconds(), std::time(nullptr), save, reason))
        return refuse(what, reason);
    if (!_store.write(slot, save.toXml(), reason))
        return refuse(what, reason);
    Log::named(LOG_NAME) << "Saved " << slot << " to " << _store.pathOf(slot) << std::endl;
    tell("Saved (" + slot + ")");
    return true;
}

bool SaveGameManager::load(const std::string& slot)
{
    const std::string what = "Cannot load " + slot;
    std::string reason;
    std::string text;
    SaveGame save;
    if (busy(reason))
        return refuse(what, reason);
    if (!_store.read(slot, text, reason) || !SaveGame::fromXml(text, save, reason))
        return refuse(what, reason, _store.pathOf(slot));
    for (const std::string& warning : save.getWarnings())
        Log::error() << "SaveGameManager - " << _store.pathOf(slot) << ": " << warning << std::endl;
    std::vector<std::string> skipped;
    if (!save.applyTo(*_session, skipped, reason))
        return refuse(what, reason, _store.pathOf(slot));
    ++_loadCount;
    _playSecondsBefore = save.getSummary().playSeconds;
    _clockStart = std::chrono::steady_clock::now();
    std::string message = "Loaded (" + slot + ")";
    if (!skipped.empty())
    {
        message += "; no longer in the game, skipped:";
        for (size_t i = 0; i < skipped.size() && i < MAX_SKIPPED_NAMED; ++i)
            message += " " + skipped[i] + ",";
        message.pop_back();
        if (skipped.size() > MAX_SKIPPED_NAMED)
            message += " and " + std::to_string(skipped.size() - MAX_SKIPPED_NAMED) + " more";
    }
    Log::named(LOG_NAME) << message << " from " << _store.pathOf(slot) << std::endl;
    if (!skipped.empty())
        Log::error() << "SaveGameManager - " << message << " (" << _store.pathOf(slot) << ")" << std::endl;
    tell(message);
    return true;
}

SaveGameManager::SlotInfo SaveGameManager::inspect(const std::string& slot) const
{
    SlotInfo info;
    info.slot = slot;
    info.used = _store.exists(slot);
    if (!info.used)
        return info;
    std::string text;
    SaveGame save;
    info.readable = _store.read(slot, text, info.problem) && SaveGame::fromXml(text, save, info.problem);
    if (info.readable)
        info.summary = save.getSummary();
    return info;
}

std::vector<SaveGameManager::SlotInfo> SaveGameManager::listSlots() const
{
    std::vector<SlotInfo> slots = {inspect(QUICK_SLOT)};
    for (int number = 1; number <= NUM_SLOTS; ++number)
        slots.push_back(inspect(slotName(number)));
    return slots;
}

std::string SaveGameManager::describe(const SlotInfo& info)
{
    if (!info.used)
        return "empty";
    if (!info.readable)
        return "unreadable";
    return SaveFields::shortened(info.summary.sceneId, 24) + " " + clockTime(info.summary.playSeconds) + " " +
           calendarTime(info.summary.savedAt);
}

bool SaveGameManager::hasSaves() const
{
    for (const SlotInfo& info : listSlots())
    {
        if (info.readable)
            return true;
    }
    return false;
}

bool SaveGameManager::loadLatest()
{
    const SlotInfo* latest = nullptr;
    const std::vector<SlotInfo> slots = listSlots();
    for (const SlotInfo& info : slots)
    {
        if (info.readable && (!latest || info.summary.savedAt > latest->summary.savedAt))
            latest = &info;
    }
    if (!latest)
        return refuse("Cannot load", "there is no save yet");
    return load(latest->slot);
}
}
