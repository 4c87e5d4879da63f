#include "core/DialogManager.h"

#include "Log/Log.h"
#include "core/DialogNode.h"
#include "core/Entity.h"
#include "core/LuaInterface.h"
#include "core/Session.h"
#include "util/util.h"

namespace core
{
namespace
{
const char* const DIALOG_OPEN_FLAG = "flag_isDialogOpen";
}

DialogManager::DialogManager(Session* session)
    : _player(nullptr), _NPC(nullptr), _node(nullptr), _menuVisible(false), _session(session)
{
}

DialogManager::~DialogManager()
{
    delete _node;
}

void DialogManager::initializePlayer(Entity* entity)
{
    _player = entity;
}

void DialogManager::startNewDialog(const std::string& path, const std::string& nodeId,
                                   const std::string& callingEntityId)
{
    if (!_player)
    {
        Log::named("vosk") << "Error: Did not initialize player for dialogManager" << std::endl;
        return;
    }
    _callingEntity = callingEntityId;
    LuaInterface::registerAlias(_player->getLuaRef(), "player");
    if (!callingEntityId.empty() && _session)
        _NPC = _session->getEntity(callingEntityId);
    if (!_NPC || !_NPC->getScene())
    {
        Log::named("vosk") << "Error: Did not initialize NPC for dialogManager" << std::endl;
        return;
    }
    LuaInterface::registerAlias(_player->getLuaRef(), "player");
    LuaInterface::registerAlias(_NPC->getLuaRef(), "NPC");

    DialogNode* node = new DialogNode(WORKING_DIRECTORY + "/" + path, nodeId);
    if (!node->isValid())
    {
        // The conversation shown so far stays as it was.
        delete node;
        return;
    }
    _path = path;
    delete _node;
    _node = node;
    if (_session)
        _session->setFlag(DIALOG_OPEN_FLAG, 1);
    showNode();
}

void DialogManager::showNode()
{
    _menuVisible = true;
    _menuText = _node->getText();
    _menuOptions = _node->getOptionTexts();
}

void DialogManager::hideMenu()
{
    _menuVisible = false;
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
    hideMenu();
    if (_session)
        _session->setFlag(DIALOG_OPEN_FLAG, 0);
}

void DialogManager::endDialog()
{
    hideMenu();
    _menuText.clear();
    _menuOptions.clear();
}
}
