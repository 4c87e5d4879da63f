#include "session/LuaBindings.h"

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "Log/Log.h"
#include "data/Character.h"
#include "dialog/DialogManager.h"
#include "world/EntityWalkToProcess.h"
#include "script/LuaBindingTemplates.h"
#include "script/LuaInterface.h"
#include "data/Party.h"
#include "world/ProcessManager2.h"
#include "world/Scene.h"
#include "script/ScriptFiles.h"
#include "session/Session.h"
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
    ProcessManager2::getProcessManager2()->addProcess(std::make_unique<EntityWalkToProcess>(&character, row, col));
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

void viewParty(Session& session)
{
    session.viewParty();
    // A leftover probe of the binding, kept for makers who trace scripts.
    Log::debug() << "HELP" << std::endl;
}

void printEntityIds(const char* heading, EntityMap* entities)
{
    Log::plain() << heading << std::endl;
    if (!entities)
        return;
    for (const auto& entry : *entities)
        if (entry.second)
            Log::plain() << entry.second->getId() << std::endl;
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

// The avatar is who the player walks: a party without it has no one to
// follow the camera, to save or to lead a fight.
std::string removeFromParty(Session& session, const std::string& name)
{
    const Character* avatar = session.getAvatar();
    if (avatar && avatar->getId() == name)
        return name + " is the avatar and cannot leave the party";
    if (Party* party = avatarsParty(session))
        party->removeMember(name);
    return std::string();
}

std::string enterScene(Session& session, const std::string& id, int row, int col)
{
    std::string why;
    return session.setNextScene(id, row, col, &why) ? std::string() : why;
}

std::string fightRefusal(Session& session, const std::string& opponents)
{
    const std::string member = session.partyMemberAmong(opponents);
    return member.empty() ? std::string() : member + " is in the party and cannot be fought";
}

// A script may name only the game's own scripts; checked here so that the
// refusal reaches the line that asked, not only the error log.
std::string readRefusal(const std::string& scriptName)
{
    std::string path;
    std::string why;
    return ScriptFiles::resolveName(scriptName, path, why) ? std::string() : why;
}

// A dialog file is read like any game file: from inside the game only. A
// missing one is left to the dialog manager, which reports it as before.
std::string dialogRefusal(const std::string& fileName)
{
    std::string path;
    std::string why;
    const bool missing = !ScriptFiles::resolveGameFile(fileName, path, why) && why.rfind("cannot open", 0) == 0;
    return why.empty() || missing ? std::string() : why;
}

// Why a binding refuses, held outside any C++ string: the Lua error that
// reports it unwinds past C++ destructors, so the string that said it must
// be gone by then.
struct Refusal
{
    char text[512];
    bool any() const { return text[0] != '\0'; }
};

Refusal refusalOf(const std::string& why)
{
    Refusal refusal;
    std::snprintf(refusal.text, sizeof refusal.text, "%s", why.c_str());
    return refusal;
}

// Raises the binding's Lua error when `why` (called here) gives a reason to
// refuse, and returns when it gives none. The reason's string is gone before
// the error unwinds.
template <typename Why>
void refuseIf(lua_State* ls, const char* binding, Why why)
{
    const Refusal refusal = refusalOf(why());
    if (refusal.any())
        luaL_error(ls, "%s: %s", binding, refusal.text);
}

// Where a fight stands, for the console and scripts: "none" out of combat.
std::string combatStage(Session& session)
{
    const CombatManager& combat = session.getCombatManager();
    return combat.isInCombat() ? CombatManager::stageName(combat.getStage()) : "none";
}

// ---- Bindings with stack handling of their own ----

void startFight(Session& session, const char* opponent, const char* music)
{
    Log::named("scripts") << "fighting " << opponent << std::endl;
    session.attemptEnterCombat(std::string(opponent), music ? std::string(music) : CombatManager::battleMusic());
}

int sessionFight(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    const char* opponent = LuaInterface::getLuaString(ls, pos);
    // An optional second argument names the fight's music.
    const char* music = lua_gettop(ls) >= pos ? LuaInterface::getLuaString(ls, pos) : nullptr;
    refuseIf(ls, "fight", [&] { return fightRefusal(*session, opponent); });
    startFight(*session, opponent, music);
    return 1;
}

int sessionEnter(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    const int row = LuaInterface::getLuaInt(ls, pos);
    const int col = LuaInterface::getLuaInt(ls, pos);
    refuseIf(ls, "enter", [&] { return enterScene(*session, id, row, col); });
    return 1;
}

int sessionRead(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    const char* subject = LuaInterface::getLuaString(ls, pos);
    const char* script = LuaInterface::getLuaString(ls, pos);
    const char* object = LuaInterface::getLuaString(ls, pos);
    refuseIf(ls, "read", [&] { return readRefusal(script); });
    session->subjectScriptObject(subject, script, object);
    return 1;
}

int sessionDialog(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    const char* fileName = LuaInterface::getLuaString(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    const char* callingEntityId = LuaInterface::getLuaString(ls, pos);
    refuseIf(ls, "dialog", [&] { return dialogRefusal(fileName); });
    openDialog(*session, fileName, id, callingEntityId);
    return 1;
}

int sessionRemoveFromParty(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    const char* name = LuaInterface::getLuaString(ls, pos);
    refuseIf(ls, "removeFromParty", [&] { return removeFromParty(*session, name); });
    return 1;
}

// Always a number: without an avatar or a party the party has no one.
int sessionGetPartySize(lua_State* ls)
{
    int pos = 1;
    Session* session = LuaInterface::initLuaCall<Session>(ls, pos);
    Party* party = avatarsParty(*session);
    lua_pushinteger(ls, party ? static_cast<lua_Integer>(party->getMembers().size()) : 0);
    return 1;
}

int sessionSayHi(lua_State* ls)
{
    Log::debug() << "HI" << std::endl;
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

namespace
{
bool beginQuest(Session& session, const std::string& id, const std::string& title)
{
    return session.story().beginQuest(id, title);
}

bool endQuest(Session& session, const std::string& id)
{
    return session.story().endQuest(id);
}

int questState(Session& session, const std::string& id)
{
    return session.story().questState(id);
}
}

const luaL_Reg sessionStaticMethods[] = {
    {"sayHi", sessionSayHi},
    {nullptr, nullptr},
};

const luaL_Reg sessionMethods[] = {
    {"enter", sessionEnter},
    {"party", boundMethod<Session, &viewParty>},
    {"chars", boundMethod<Session, &printCharacters>},
    {"view", boundMethod<Session, &Session::viewCharacter>},
    {"fight", sessionFight},
    {"yield", boundMethod<Session, &Session::attemptExitCombat>},
    {"say", boundMethod<Session, &Session::subjectVerbObject>},
    {"read", sessionRead},
    {"inventory", boundMethod<Session, &Session::viewInventory>},
    {"has", boundMethod<Session, &Session::hasItem>},
    {"gain", boundMethod<Session, &Session::gainItem>},
    {"lose", boundMethod<Session, &Session::loseItem>},
    {"close", boundMethod<Session, &Session::closeConsole>},
    {"dialog", sessionDialog},
    {"endDialog", boundMethod<Session, &endDialog>},
    {"getflag", boundMethod<Session, &Session::getFlag>},
    {"setflag", boundCommand<Session, &Session::setFlag>},
    {"enableInput", boundMethod<Session, &enableInput>},
    {"disableInput", boundMethod<Session, &disableInput>},
    {"addToParty", boundCommand<Session, &Session::addToParty>},
    {"removeFromParty", sessionRemoveFromParty},
    {"getPartySize", sessionGetPartySize},
    {"combatStage", boundMethod<Session, &combatStage>},
    {"beginQuest", boundCommand<Session, &beginQuest>},
    {"endQuest", boundCommand<Session, &endQuest>},
    {"questState", boundMethod<Session, &questState>},
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

void initLuaBindings()
{
    LuaInterface::setClasses({{"Session", sessionStaticMethods, sessionMethods},
                              {"Character", characterStaticMethods, characterMethods},
                              {"SoundHandler", soundHandlerStaticMethods, nullptr}});
    LuaInterface::init();
}
}
