#include "session/LevelInputContext.h"

#include "Log/Log.h"
#include "data/Character.h"
#include "session/Session.h"

namespace core
{
namespace
{
bool isDownOrHeld(int action)
{
    return action == application::KEYHIT || action == application::KEYHELD;
}
}

LevelInputContext::LevelInputContext(Session* session) : _session(session), isEnabled(true)
{
}

void LevelInputContext::setIsEnabled(bool enabled)
{
    isEnabled = enabled;
}

bool LevelInputContext::getIsEnabled() const
{
    return isEnabled;
}

bool LevelInputContext::dispatch(int key, int action)
{
    if (!isEnabled || !_session)
        return false;
    if (key < application::KEY_A || key > application::KEY_Z)
        return false;
    switch (key)
    {
    case application::KEY_W:
        return handleW(action);
    case application::KEY_A:
        return handleA(action);
    case application::KEY_S:
        return handleS(action);
    case application::KEY_D:
        return handleD(action);
    case application::KEY_P:
        return handleP(action);
    case application::KEY_Z:
        return handleZ(action);
    case application::KEY_C:
        return handleC(action);
    default:
        return false;
    }
}

bool LevelInputContext::handleMove(Direction direction, const std::string& keyName, int action)
{
    if (!isDownOrHeld(action))
        return true;
    if (Character* avatar = _session->getAvatar())
        avatar->takeStep(direction);
    Log::named("input") << "got " << keyName << " in LevelInput" << action << std::endl;
    return true;
}

bool LevelInputContext::handleW(int action)
{
    return handleMove(UP, "W", action);
}

bool LevelInputContext::handleA(int action)
{
    return handleMove(LEFT, "A", action);
}

bool LevelInputContext::handleS(int action)
{
    return handleMove(DOWN, "S", action);
}

bool LevelInputContext::handleD(int action)
{
    return handleMove(RIGHT, "D", action);
}

bool LevelInputContext::handleP(int action)
{
    if (isDownOrHeld(action))
    {
        _session->openConsole();
        Log::named("input") << "got P in LevelInput" << std::endl;
    }
    return true;
}

bool LevelInputContext::handleZ(int action)
{
    if (action == application::KEYHIT)
    {
        _session->setFlag("flag_isInteractKeyDown", 1);
        _session->tryInteract();
        Log::named("input") << "got Z in LevelInput" << std::endl;
    }
    else if (action != application::KEYHELD)
    {
        _session->setFlag("flag_isInteractKeyDown", 0);
    }
    return true;
}

bool LevelInputContext::handleC(int action)
{
    // A test shortcut: fights whatever the current-opponent list holds.
    // Nothing fills that list yet, and a fight with nobody would trap the
    // player: until the combat menu exists only Escape leaves it.
    if (action != application::KEYHIT || _session->getCurrentOpponents().empty())
        return false;
    _session->getCombatManager().enterCombat(&_session->getCurrentOpponents());
    return true;
}
}
