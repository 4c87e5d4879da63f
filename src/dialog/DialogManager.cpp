#include "dialog/DialogManager.h"

#include "Log/Log.h"
#include "data/Character.h"
#include "dialog/DialogNode.h"
#include "graphics/TGSprite.h"
#include "util/GameManifest.h"
#include "world/Entity.h"
#include "script/LuaInterface.h"
#include "session/Session.h"
#include "gui/DialogMenu.h"
#include "util/util.h"

namespace core
{
namespace
{
const char* const DIALOG_OPEN_FLAG = "flag_isDialogOpen";
}

DialogManager::DialogManager(Session* session)
    : _player(nullptr), _NPC(nullptr), _dialogMenu(nullptr), _session(session)
{
    _dialogMenu = gui::GUIElement::make<gui::DialogMenu>(this, "", "");
    _dialogMenu->hide();
}

DialogManager::~DialogManager()
{
    _dialogMenu->destroy();
}

void DialogManager::initializePlayer(Entity* entity)
{
    _player = entity;
}

void DialogManager::startNewDialog(const std::string& path, const std::string& nodeId,
                                   const std::string& callingEntityId)
{
    // A fighter's step onto a square whose script talks (a guard's
    // challenge at a camp's edge) must not open a conversation over the
    // fight: its band would lie over the combat menu and take its clicks,
    // and its options could start the fight already under way. Nothing of
    // the conversation shown so far changes.
    if (_session && _session->getCombatManager().isInCombat())
    {
        Log::warn() << "DialogManager::startNewDialog - " << path << " (" << nodeId << ") is not opened during a fight"
                    << std::endl;
        return;
    }
    if (!_player)
    {
        Log::named("dialogs") << "Error: Did not initialize player for dialogManager" << std::endl;
        return;
    }
    _callingEntity = callingEntityId;
    LuaInterface::registerAlias(_player->getLuaRef(), "player");
    if (!callingEntityId.empty() && _session)
        _NPC = _session->getEntity(callingEntityId);
    if (!_NPC || !_NPC->getScene())
    {
        Log::named("dialogs") << "Error: Did not initialize NPC for dialogManager" << std::endl;
        return;
    }
    LuaInterface::registerAlias(_player->getLuaRef(), "player");
    LuaInterface::registerAlias(_NPC->getLuaRef(), "NPC");

    auto node = std::make_unique<DialogNode>(WORKING_DIRECTORY + "/" + path, nodeId);
    // An invalid node leaves the conversation shown so far as it was.
    if (!node->isValid())
        return;
    _path = path;
    _nodeId = nodeId;
    _node = std::move(node);
    // A node whose script starts a fight hands the screen to the fight: its
    // band would lie over the combat menu and take its clicks.
    if (_session && _session->getCombatManager().isInCombat())
    {
        closeConversation();
        return;
    }
    if (_session)
        _session->setFlag(DIALOG_OPEN_FLAG, 1);
    showNode();
}

bool DialogManager::isOpen() const
{
    return _node && _session && _session->hasFlag(DIALOG_OPEN_FLAG) && _session->getFlag(DIALOG_OPEN_FLAG) == 1;
}

bool DialogManager::refreshNode()
{
    if (!_node)
        return false;
    auto node = std::make_unique<DialogNode>(WORKING_DIRECTORY + "/" + _path, _nodeId, false);
    if (!node->isValid())
        return false;
    _node = std::move(node);
    showNode();
    return true;
}

void DialogManager::showNode()
{
    _dialogMenu->show();
    // The speaker's name heads the band.
    _dialogMenu->setTitle(_node->getName());
    showFace();
    // Always with the node's own options, none included: a node without
    // options must not offer the previous node's.
    _dialogMenu->reset(_node->getText(), _node->getOptionTexts());
}

bool DialogManager::isTexture(const std::string& name)
{
    for (const ManifestTexture& texture : GameManifest::current().textures())
        if (texture.name == name)
            return true;
    return false;
}

// A portrait named on the character, else the first frame of its sprite;
// nothing to show leaves the band to the text.
void DialogManager::showFace()
{
    Character* speaker = dynamic_cast<Character*>(_NPC);
    if (speaker && !speaker->getPortrait().empty())
    {
        if (isTexture(speaker->getPortrait()))
        {
            _dialogMenu->setFace(speaker->getPortrait(), glm::ivec4(0));
            return;
        }
        // The sprite stands in for the face the maker meant.
        Log::error() << "DialogManager - character " << speaker->getId() << " has portrait \""
                     << speaker->getPortrait() << "\", which is no texture of the game's manifest" << std::endl;
    }
    const tamsygraphics::Sprite* sprite = _NPC ? _NPC->getSprite() : nullptr;
    if (!sprite || sprite->GetTextureName().empty())
    {
        _dialogMenu->clearFace();
        return;
    }
    const glm::vec2 frame = sprite->GetSize();
    _dialogMenu->setFace(sprite->GetTextureName(),
                         glm::ivec4(0, 0, static_cast<int>(frame.x), static_cast<int>(frame.y)));
}

void DialogManager::closeConversation()
{
    _dialogMenu->hide();
    if (_session)
        _session->setFlag(DIALOG_OPEN_FLAG, 0);
}

void DialogManager::optionSelected(int index)
{
    if (!_node)
        return;
    const std::string next = _node->getNextNode(index);
    if (next != "exit" && !next.empty())
    {
        startNewDialog(_path, next, _callingEntity);
        return;
    }
    closeConversation();
}

void DialogManager::endDialog()
{
    // However a conversation ends, talk scripts must be able to open the
    // next one, so the open flag goes back to 0 here too.
    closeConversation();
    _dialogMenu->reset("");
}
}
