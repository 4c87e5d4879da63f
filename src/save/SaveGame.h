#pragma once

#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "save/CharacterSnapshot.h"
#include "session/QuestManager.h"

namespace core
{
class Session;

// Everything the player has changed, as one save file holds it: where the
// avatar stands and faces, the party and its members, the items, the
// session flags, the quest log and who left their scenes for good. Saves
// are XML with a format version, so a game can tell a save it cannot read
// from one it can.
class SaveGame
{
public:
    // The newest format this build writes and reads.
    static const int FORMAT_VERSION = 1;

    // What the slot list shows of a save.
    struct Summary
    {
        std::string sceneId;
        long playSeconds = 0;
        std::time_t savedAt = 0;
    };

    // False, with the reason, when there is nothing to save (no scene yet, or
    // no avatar to stand in it).
    static bool capture(Session& session, long playSeconds, std::time_t now, SaveGame& save, std::string& error);

    std::string toXml() const;
    // False with the reason when the text is not a save this build can read
    // (empty, cut short, malformed, from a newer version, lacking where the
    // avatar stands); nothing is changed anywhere in that case.
    static bool fromXml(const std::string& text, SaveGame& save, std::string& error);

    // Puts the session back where the save says. The save's scene is built
    // first: when it cannot be, nothing changes and the answer is false.
    // Otherwise everything that still exists in the game is restored and
    // what no longer does is named in `skipped`. The scene change itself
    // happens at the end of the session's next update.
    bool applyTo(Session& session, std::vector<std::string>& skipped, std::string& error) const;

    // What was read in place of values out of range or unreadable, one line
    // each, for the log.
    const std::vector<std::string>& getWarnings() const { return _warnings; }
    // Saves larger than this are refused unread.
    static size_t maxBytes();

    const Summary& getSummary() const { return _summary; }
    int getRow() const { return _row; }
    int getColumn() const { return _column; }
    int getFacing() const { return _facing; }
    const std::vector<CharacterSnapshot>& getMembers() const { return _members; }
    const std::vector<std::string>& getItems() const { return _items; }
    const std::map<std::string, int>& getFlags() const { return _flags; }
    const std::vector<QuestManager::Entry>& getQuests() const { return _quests; }
    const std::map<std::string, std::set<std::string>>& getDeparted() const { return _departed; }

private:
    bool readBody(const tinyxml2::XMLElement* root, std::string& error);
    bool readMembers(const tinyxml2::XMLElement* party, std::string& error);
    bool readRest(const tinyxml2::XMLElement* root, const tinyxml2::XMLElement* party, std::string& error);
    void restoreParty(Session& session, std::vector<std::string>& skipped) const;
    void restoreItems(Session& session, std::vector<std::string>& skipped) const;
    void restoreQuests(Session& session) const;

    Summary _summary;
    int _row = 0;
    int _column = 0;
    int _facing = 0;
    std::string _partyId;
    std::vector<CharacterSnapshot> _members;
    std::vector<std::string> _items;
    std::map<std::string, int> _flags;
    std::vector<QuestManager::Entry> _quests;
    std::map<std::string, std::set<std::string>> _departed;
    std::vector<std::string> _warnings;
};
}
