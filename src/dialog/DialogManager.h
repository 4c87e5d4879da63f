#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialog/DialogHost.h"
#include "dialog/DialogView.h"

namespace core
{
class DialogNode;
class Entity;

// Runs one conversation at a time between the avatar and another entity:
// shows a node through its view (the dialog menu), moves on when the player picks an option,
// and ends on "exit".
class DialogManager
{
public:
    explicit DialogManager(DialogHost* session);
    virtual ~DialogManager();
    DialogManager(const DialogManager&) = delete;
    DialogManager& operator=(const DialogManager&) = delete;

    void initializePlayer(Entity* entity);
    // An empty calling entity id keeps the entity of the previous dialog.
    void startNewDialog(const std::string& path, const std::string& nodeId, const std::string& callingEntityId);
    void optionSelected(int index);
    void endDialog();

    Entity* getPlayer() const { return _player; }
    Entity* getNPC() const { return _NPC; }
    const DialogNode* getNode() const { return _node.get(); }
    // What the player sees of the conversation (never null).
    DialogView* getView() const { return _view.get(); }
    // The dialog file of the conversation shown (or shown last).
    const std::string& getPath() const { return _path; }
    bool isOpen() const;
    // Reads the shown node again from its file and shows it, without running
    // its scripts; false, with the old node left showing, when it cannot.
    bool refreshNode();

private:
    void showNode();
    void showFace();
    static bool isTexture(const std::string& name);
    void closeConversation();

    // Borrowed: entities belong to their scenes and Lua.
    Entity* _player;
    Entity* _NPC;
    std::string _path;
    std::string _nodeId;
    std::string _callingEntity;
    std::unique_ptr<DialogNode> _node;
    std::unique_ptr<DialogView> _view;
    DialogHost* _session;
};
}
