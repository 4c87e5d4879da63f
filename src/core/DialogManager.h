#pragma once

#include <string>
#include <vector>

namespace core
{
class DialogNode;
class Entity;
class Session;

// Runs one conversation at a time between the avatar and another entity:
// shows a node, moves on when the player picks an option, and ends on
// "exit". What the dialog menu shows is kept here as its text and options.
class DialogManager
{
public:
    explicit DialogManager(Session* session);
    virtual ~DialogManager();
    DialogManager(const DialogManager&) = delete;
    DialogManager& operator=(const DialogManager&) = delete;

    void initializePlayer(Entity* entity);
    // An empty calling entity id keeps the entity of the previous dialog.
    void startNewDialog(const std::string& path, const std::string& nodeId,
                        const std::string& callingEntityId);
    void optionSelected(int index);
    void endDialog();

    Entity* getPlayer() const { return _player; }
    Entity* getNPC() const { return _NPC; }
    const DialogNode* getNode() const { return _node; }
    bool isMenuVisible() const { return _menuVisible; }
    const std::string& getMenuText() const { return _menuText; }
    const std::vector<std::string>& getMenuOptions() const { return _menuOptions; }

private:
    void showNode();
    void hideMenu();

    Entity* _player;
    Entity* _NPC;
    std::string _path;
    std::string _callingEntity;
    DialogNode* _node;
    bool _menuVisible;
    std::string _menuText;
    std::vector<std::string> _menuOptions;
    Session* _session;
};
}
