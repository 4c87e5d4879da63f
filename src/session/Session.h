#pragma once

#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "combat/CombatHost.h"
#include "combat/CombatManager.h"
#include "dialog/DialogHost.h"
#include "map/Direction.h"
#include "session/Console.h"
#include "session/ConsoleHost.h"
#include "session/PartyHost.h"
#include "session/PartyState.h"
#include "session/StoryState.h"
#include "session/WorldHost.h"
#include "session/WorldState.h"
#include "world/ScreenStack.h"

namespace tamsygraphics
{
class SceneManager;
class Camera;
}

namespace core
{
class Character;
class DialogManager;
class EndingView;
class Entity;
class InventoryView;
class LevelInputContext;
class Party;
class PartyView;
class QuestManager;
class Scene;

typedef std::list<Character*> CharacterList;

// The running game: combat, dialogs and the entities' turn each frame; and
// the services it holds: the scenes and the camera (WorldState), the party
// and its items (PartyState), the developer console (Console) and where the
// story stands (StoryState: flags, departed characters, quests). Scripts
// reach it as the Lua global "s"; the calls they make on a service go
// through the session's forwarders of the same names.
class Session : public CombatHost, public DialogHost, public PartyHost, public ConsoleHost, public WorldHost
{
public:
    Session();
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Published to scripts as "s" for as long as it lives; null when the
    // file cannot be read.
    static std::unique_ptr<Session> buildFromXMLFile(const std::string& fileName);

    void update();
    void input();

    // The scenes, the pending scene change and the camera.
    WorldState& world() { return _world; }
    const WorldState& world() const { return _world; }

    void setSceneManager(tamsygraphics::SceneManager* sm) { _world.setSceneManager(sm); }
    tamsygraphics::SceneManager* getSceneManager() const { return _world.getSceneManager(); }
    void setCamera(tamsygraphics::Camera* cam) { _world.setCamera(cam); }
    tamsygraphics::Camera* getCamera() const override { return _world.getCamera(); }

    // A change still pending when the frame ends during a fight is dropped,
    // with a warning. An unknown scene, or a tile off its map or closed on
    // every side, is refused (false), and an earlier request stays. The
    // reason goes to `why` when given, else to the warning log.
    bool setNextScene(const std::string& sceneId, int row, int column, std::string* why = nullptr)
    {
        return _world.setNextScene(sceneId, row, column, why);
    }
    // Enters the scene as a pending change; the scene may be null (a failed
    // lookup), in which case no change will happen. A pending scene that
    // this replaces is freed.
    void setNextScene(std::unique_ptr<Scene> scene, int row, int column);
    Scene* getNextScene() const { return _world.getNextScene(); }
    // The scene left behind is freed once the new one is shown.
    void attemptEnterScene(std::unique_ptr<Scene> scene, int row, int column);
    // Keeps the camera on the map, in a fight as far past its top and bottom
    // edges as the result box and the menu cover; called on entering a scene
    // and when a fight starts or ends.
    void fitCameraToScene() { _world.fitCameraToScene(); }
    // The maker's view of closed sides and trigger tiles (F3), kept from
    // one scene to the next.
    void showWalkingGrid(bool shown) { _world.showWalkingGrid(shown); }
    bool isWalkingGridShown() const { return _world.isWalkingGridShown(); }
    // Shows a scene rebuilt from changed files in place of the current one,
    // with the avatar on the tile it stood on and facing the same way; no
    // trigger fires, since the avatar took no step.
    void reenterScene(std::unique_ptr<Scene> scene);

    Scene* getCurrentScene() const override { return _world.getCurrentScene(); }
    Party* getCurrentParty() const override;
    // The party replaced is freed; its members stay in the store.
    void setCurrentParty(std::unique_ptr<Party> party);
    CharacterList& getCurrentOpponents();
    CombatManager& getCombatManager();
    DialogManager* getDialogManager() const;
    LevelInputContext* getLevelInputContext() const;

    Character* getAvatar() const override;
    Entity* getEntity(const std::string& id) const override;
    bool isFightOn() const override { return _combatManager.isInCombat(); }
    const CombatView* getCombatView() const override { return _combatManager.getView(); }
    // Readies conversations for the avatar that entered a scene.
    void avatarEnteredScene(Character* avatar) override;
    void moveAvatar(Direction direction);
    void tryInteract();
    void setInputIsEnabled(bool enabled);

    // Ids separated (and usually ended) by ";"; stops at the first empty id.
    static std::vector<std::string> parseOpponentIds(const std::string& list);
    // The first of the listed ids that names a member of the party, empty
    // when none does: the party cannot be its own enemy.
    std::string partyMemberAmong(const std::string& opponentList) const;
    // The fight plays `music` until it is over, then the scene's music again.
    // A list naming a member of the party is refused with a warning.
    void attemptEnterCombat(const std::string& opponentList, const std::string& music = CombatManager::battleMusic());
    void attemptExitCombat();

    bool hasItem(const std::string& itemId) const { return _party.hasItem(itemId); }
    void gainItem(const std::string& itemId) { _party.gainItem(itemId); }
    void loseItem(const std::string& itemId) { _party.loseItem(itemId); }

    // The flags a conversation asks for; the rest of the story's state is
    // story().
    bool setFlag(const std::string& name, int value) override;
    int getFlag(const std::string& name) override;
    bool hasFlag(const std::string& name) const override;

    // Flags, departed characters and quests.
    StoryState& story() { return _story; }
    const StoryState& story() const { return _story; }

    // The party, its items and the menus that show them.
    PartyState& party() { return _party; }
    const PartyState& party() const { return _party; }

    // Adds the entity of the current scene with that id to the avatar's
    // party; false, logged, when there is no such character or no party.
    bool addToParty(const std::string& characterId) { return _party.addToParty(characterId); }

    void setLuaRef(int luaRef);
    int getLuaRef() const;

    // The developer console and its screens.
    Console& console() { return _console; }
    const Console& console() const { return _console; }

    void prompt() { _console.prompt(*this); }
    void openConsole() { _console.open(); }
    void closeConsole() { _console.close(); }
    bool isConsoleOpen() const { return _console.isOpen(); }
    ScreenStack& getScreenStack() { return _console.getScreenStack(); }
    void subjectVerbObject(const std::string& subject, const std::string& verb, const std::string& object)
    {
        _console.subjectVerbObject(subject, verb, object);
    }
    void subjectScriptObject(const std::string& subjectId, const std::string& scriptName, const std::string& objectId)
    {
        _console.subjectScriptObject(subjectId, scriptName, objectId);
    }

    // Saving and loading (not owned; set at start-up, null in tests that
    // need none): the lost-fight choices offer the latest save through it.
    void setSaveGames(LatestSave* saves) { _saveGames = saves; }
    LatestSave* getSaveGames() const override { return _saveGames; }

    // Runs the item's script for the avatar ("obj"); false, logged, when the
    // party holds no such item, the item is unknown, or a fight is on.
    bool useItem(const std::string& itemId) { return _party.useItem(itemId); }

    // The menus the view hooks open; the application hands them over once
    // they exist (not owned: widgets belong to the GUI manager).
    void setPartyView(PartyView* partyMenu) { _party.setPartyView(partyMenu); }
    void setInventoryView(InventoryView* inventoryMenu) { _party.setInventoryView(inventoryMenu); }
    void viewParty() { _party.viewParty(); }
    void viewInventory() { _party.viewInventory(); }
    // Opens the party menu on that member's sheet.
    void viewCharacter(const std::string& id) { _party.viewCharacter(id); }

    // The story is over: the ending screen (not owned; handed over at
    // start-up) takes the window as soon as no conversation or fight is
    // showing, so the closing words are read first, and the walking keys
    // are taken away. False, logged, when there is no ending screen.
    bool theEnd();
    void setEndingView(EndingView* endScreen) { _endingView = endScreen; }
    bool isEndingRequested() const { return _endingRequested; }

private:
    void readSessionElements(tinyxml2::XMLElement* first);
    void updateEntities();
    // Runs one of the entity's scripts with "obj" bound to it.
    void runEntityScripts(Entity* entity, Character* avatar);
    void showEndingWhenFree();

    // The world reads the departed characters from the story, so the story
    // is made before it and goes after it.
    StoryState _story;
    // The scenes are freed last, after the party, the fight and the dialogs.
    WorldState _world;
    // Held where the party itself was, so that it is still freed before
    // the scenes and after the fight and the dialogs.
    PartyState _party;
    CharacterList _currentOpponents;
    // The list the combat manager fights against; it removes the dead from
    // it, so it must outlive the fight.
    CharacterList _combatOpponents;
    Console _console;
    CombatManager _combatManager;
    std::unique_ptr<DialogManager> _dialogManager;
    std::unique_ptr<LevelInputContext> _levelInputContext;
    // Borrowed: the ending screen belongs to the GUI manager, the save
    // manager to the application.
    EndingView* _endingView = nullptr;
    bool _endingRequested = false;
    LatestSave* _saveGames = nullptr;
    int _luaRef;
};
}
