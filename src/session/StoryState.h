#pragma once

#include <map>
#include <set>
#include <string>

namespace core
{
class QuestManager;

// Where the story stands, as scripts and saves see it: the game's named
// flags, the characters that left a scene for good, and the quests (through
// the quest manager, which keeps the quest log). Part of the running
// session; saved and loaded whole.
class StoryState
{
public:
    // False when the flag already had that value.
    bool setFlag(const std::string& name, int value);
    // Reading creates the flag with 0, so the console and scripts can list it.
    int getFlag(const std::string& name);
    bool hasFlag(const std::string& name) const;
    const std::map<std::string, int>& getFlags() const { return _flags; }
    void clearFlags() { _flags.clear(); }

    // Scene id to the ids of the characters that left it for good (killed,
    // or gone with the party): a scene rebuilt from its file on a later
    // visit leaves them out.
    typedef std::map<std::string, std::set<std::string>> DepartedMap;
    const DepartedMap& getDeparted() const { return _departed; }
    void setDeparted(const DepartedMap& departed) { _departed = departed; }
    void noteDeparted(const std::string& sceneId, const std::string& characterId)
    {
        _departed[sceneId].insert(characterId);
    }

    // The quest log's keeper (not owned; set at start-up).
    void setQuestManager(QuestManager* questManager) { _questManager = questManager; }
    QuestManager* getQuestManager() const { return _questManager; }
    // False when the quest has begun before (or the id is empty).
    bool beginQuest(const std::string& id, const std::string& title);
    // False unless the quest is under way.
    bool endQuest(const std::string& id);
    // 0 never begun, 1 under way, 2 finished.
    int questState(const std::string& id) const;

private:
    std::map<std::string, int> _flags;
    DepartedMap _departed;
    QuestManager* _questManager = nullptr;
};
}
