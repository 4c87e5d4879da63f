#include "core/LuaBindings.h"

#include <iostream>
#include <string>

#include "Log/Log.h"
#include "core/Character.h"
#include "core/DialogManager.h"
#include "core/EntityWalkToProcess.h"
#include "core/LuaBindingTemplates.h"
#include "core/LuaInterface.h"
#include "core/Party.h"
#include "core/ProcessManager2.h"
#include "core/Scene.h"
#include "core/Session.h"
#include "sound/SoundHandler.h"
#include "util/SafeNumbers.h"

// Every binding reads all of its arguments before it builds any object that
// needs cleaning up: a bad argument raises a Lua error, which unwinds past
// C++ destructors. The generated ones (LuaBindingTemplates.h) do so by
// construction; the functions below that they call receive arguments that
// have all been checked.
//
// Every binding reports exactly one result. One with nothing to return
// leaves whatever is on top of the stack; scripts must not use it.
namespace core
{
namespace
{
// ---- Character methods: glue the generated bindings call ----

// Scripts pass the amount first; the character takes the flag first.
template <void (Character::*Add)(bool, int)>
void addAmountThenMax(Character& character, int amount, bool max)
{
    (character.*Add)(max, amount);
}

void walkTo(Character& character, int row, int col)
{
    ProcessManager2::getProcessManager2()->addProcess(new EntityWalkToProcess(&character, row, col));
}

int rowOf(Character& character)
{
    return clampToInt(character.getPosition().x);
}

int colOf(Character& character)
{
    return clampToInt(character.getPosition().y);
}

void stepInDirection(Character& character, int direction)
{
    // The entity refuses values that are not one of the four directions.
    character.attemptMoveDirection(static_cast<Direction>(direction), false);
}

void setIsInWanderRegion(Character& character, int flag)
{
    character.setIsInWanderRegion(flag != 0);
}

// ---- Session methods: glue the generated bindings call ----

void enterScene(Session& session, const std::string& id, int row, int col)
{
    session.setNextScene(id, row, col);
}

void viewParty(Session& session)
{
    session.viewParty();
    std::cout << "HELP" << std::endl;
}

void printEntityIds(const char* heading, EntityMap* entities)
{
    std::cout << heading << std::endl;
    if (!entities)
        return;
    for (const auto& entry : *entities)
        if (entry.second)
            std::cout << entry.second->getId() << std::endl;
}

void printCharacters(Session& session)
{
    Party* party = session.getCurrentParty();
    Scene* scene = session.getCurrentScene();
    printEntityIds("Party:", party ? &party->getMembers() : nullptr);
    printEntityIds("Scene:", scene ? &scene->getEntities() : nullptr);
}

void openDialog(Session& session, const std::string& fileName, const std::string& id,
                const std::string& callingEntityId)
{
    Log::named("scripts") << "Opening dialog with filename: " << fileName << " AND id: " << id << " for entity "
                         << callingEntityId << std::endl;
    session.getDialogManager()->startNewDialog(fileName, id, callingEntityId);
}

void endDialog(Session& session)
{
    session.getDialogManager()->endDialog();
}

void enableInput(Session& session)
{
    session.setInputIsEnabled(true);
}

void disableInput(Session& session)
{
    session.setInputIsEnabled(false);
}

Party* avatarsParty(Session& session)
{
    Character* avatar = session.getAvatar();
    return avatar ? avatar->getParty() : nullptr;
}

void removeFromParty(Session& session, const std::string& name)
{
    if (Party* party = avatarsParty(session))
        party->removeMember(name);
}

// Where a fight stands, for the console and scripts: "none" out of combat.
std::string combatStage(Session& session)
{
    const CombatManager& combat = session.getCombatManager();
    return combat.isInCombat() ? CombatManager::stageName(combat.getStage()) : "none";
}

// ---- Bindings with stack handling of their own ----

int sessionFight(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    const char* opponent = LuaInterface::getLuaString(ls, pos);
    // An optional second argument names the fight's music.
    const std::string music = lua_gettop(ls) >= pos ? LuaInterface::getLuaString(ls, pos) : CombatManager::battleMusic();
    Log::named("scripts") << "fighting " << opponent << std::endl;
    session->attemptEnterCombat(std::string(opponent), music);
    return 1;
}

// Without a party there is no number to report.
int sessionGetPartySize(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    if (Party* party = avatarsParty(*session))
        lua_pushinteger(ls, static_cast<lua_Integer>(party->getMembers().size()));
    return 1;
}

int sessionSayHi(lua_State* ls)
{
    std::cout << "HI" << std::endl;
    // With no argument there is nothing on the stack to report; report nil
    // rather than a slot below the call.
    if (lua_gettop(ls) == 0)
        lua_pushnil(ls);
    return 1;
}

int soundPlay(lua_State* ls)
{
    int pos = 1;
    const char* fileName = LuaInterface::getLuaString(ls, pos);
    const double delay = LuaInterface::getLuaDouble(ls, pos);
    Log::named("scripts") << "Playing song " << fileName << std::endl;
    sound::SoundHandler::sendRequest(std::string(fileName), delay);
    return 1;
}
}

const luaL_Reg sessionStaticMethods[] = {
    {"sayHi", sessionSayHi},
    {nullptr, nullptr},
};

const luaL_Reg sessionMethods[] = {
    {"enter", boundMethod<Session, &enterScene>},
    {"party", boundMethod<Session, &viewParty>},
    {"chars", boundMethod<Session, &printCharacters>},
    {"view", boundMethod<Session, &Session::viewCharacter>},
    {"fight", sessionFight},
    {"yield", boundMethod<Session, &Session::attemptExitCombat>},
    {"say", boundMethod<Session, &Session::subjectVerbObject>},
    {"read", boundMethod<Session, &Session::subjectScriptObject>},
    {"inventory", boundMethod<Session, &Session::viewInventory>},
    {"has", boundMethod<Session, &Session::hasItem>},
    {"gain", boundMethod<Session, &Session::gainItem>},
    {"lose", boundMethod<Session, &Session::loseItem>},
    {"close", boundMethod<Session, &Session::closeConsole>},
    {"dialog", boundMethod<Session, &openDialog>},
    {"endDialog", boundMethod<Session, &endDialog>},
    {"getflag", boundMethod<Session, &Session::getFlag>},
    {"setflag", boundCommand<Session, &Session::setFlag>},
    {"enableInput", boundMethod<Session, &enableInput>},
    {"disableInput", boundMethod<Session, &disableInput>},
    {"addToParty", boundCommand<Session, &Session::addToParty>},
    {"removeFromParty", boundMethod<Session, &removeFromParty>},
    {"getPartySize", sessionGetPartySize},
    {"combatStage", boundMethod<Session, &combatStage>},
    {"beginQuest", boundCommand<Session, &Session::beginQuest>},
    {"endQuest", boundCommand<Session, &Session::endQuest>},
    {"questState", boundMethod<Session, &Session::questState>},
    {"theEnd", boundMethod<Session, &Session::theEnd>},
    {nullptr, nullptr},
};

const luaL_Reg characterStaticMethods[] = {
    {nullptr, nullptr},
};

const luaL_Reg characterMethods[] = {
    {"getId", boundMethod<Character, &Character::getId>},
    {"getStr", boundMethod<Character, &Character::getStr>},
    {"getDex", boundMethod<Character, &Character::getDex>},
    {"getInt", boundMethod<Character, &Character::getInt>},
    {"getMove", boundMethod<Character, &Character::getMove>},
    {"getHP", boundMethod<Character, &Character::getHP>},
    {"getFatigue", boundMethod<Character, &Character::getFatigue>},
    {"getAttack", boundMethod<Character, &Character::getAttack>},
    {"getDodge", boundMethod<Character, &Character::getDodge>},
    {"getDamagePhysical", boundMethod<Character, &Character::getDamagePhysical>},
    {"getDamageMagical", boundMethod<Character, &Character::getDamageMagical>},
    {"getDefense", boundMethod<Character, &Character::getDefense>},
    {"getCritValue", boundMethod<Character, &Character::getCritValue>},
    {"getGlancingValue", boundMethod<Character, &Character::getGlancingValue>},
    {"getResistance", boundMethod<Character, &Character::getResistance>},
    {"getName", boundMethod<Character, &Character::getName>},
    {"addStr", boundMethod<Character, &Character::addStr>},
    {"addDex", boundMethod<Character, &Character::addDex>},
    {"addInt", boundMethod<Character, &Character::addInt>},
    {"addMove", boundMethod<Character, &Character::addMove>},
    {"addHP", boundMethod<Character, &addAmountThenMax<&Character::addHP>>},
    {"addFatigue", boundMethod<Character, &addAmountThenMax<&Character::addFatigue>>},
    {"addAttack", boundMethod<Character, &Character::addAttack>},
    {"addDodge", boundMethod<Character, &Character::addDodge>},
    {"addDamagePhysical", boundMethod<Character, &Character::addDamagePhysical>},
    {"addDamageMagical", boundMethod<Character, &Character::addDamageMagical>},
    {"addDefense", boundMethod<Character, &Character::addDefense>},
    {"addCritValue", boundMethod<Character, &Character::addCritValue>},
    {"addGlancingValue", boundMethod<Character, &Character::addGlancingValue>},
    {"addResistance", boundMethod<Character, &Character::addResistance>},
    {"moveTo", boundMethod<Character, &walkTo>},
    {"getRow", boundMethod<Character, &rowOf>},
    {"getCol", boundMethod<Character, &colOf>},
    {"setPosition", boundMethod<Character, static_cast<void (Entity::*)(int, int)>(&Entity::setPosition)>},
    {"attemptMoveDirection", boundMethod<Character, &stepInDirection>},
    {"kill", boundMethod<Character, &Character::kill>},
    {"wander", boundMethod<Character, &Character::wander>},
    {"setIsInWanderRegion", boundMethod<Character, &setIsInWanderRegion>},
    {nullptr, nullptr},
};

const luaL_Reg soundHandlerStaticMethods[] = {
    {"play", soundPlay},
    {nullptr, nullptr},
};
}
