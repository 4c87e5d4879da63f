#include "core/LuaBindings.h"

#include <iostream>
#include <string>

#include "Log/Log.h"
#include "core/Character.h"
#include "core/DialogManager.h"
#include "core/EntityWalkToProcess.h"
#include "core/LuaInterface.h"
#include "core/Party.h"
#include "core/ProcessManager2.h"
#include "core/Scene.h"
#include "core/Session.h"
#include "sound/SoundHandler.h"
#include "util/SafeNumbers.h"

// Every binding reads all of its arguments before it builds any object that
// needs cleaning up: a bad argument raises a Lua error, which unwinds past
// C++ destructors.
//
// Every binding reports exactly one result. One with nothing to return
// leaves whatever is on top of the stack; scripts must not use it.
namespace core
{
namespace
{
Character* characterOf(lua_State* ls, int& pos)
{
    return LuaInterface::initLuaCall<Character>(ls, pos);
}

Session* sessionOf(lua_State* ls, int& pos)
{
    return LuaInterface::initLuaCall<Session>(ls, pos);
}

// ---- Character methods ----

template <int (Character::*Getter)() const>
int characterGetter(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    lua_pushinteger(ls, (character->*Getter)());
    return 1;
}

template <int (Character::*Getter)(bool) const>
int characterMaxGetter(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const bool getMax = LuaInterface::getLuaBool(ls, pos);
    lua_pushinteger(ls, (character->*Getter)(getMax));
    return 1;
}

template <void (Character::*Adder)(int)>
int characterAdder(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int amount = LuaInterface::getLuaInt(ls, pos);
    (character->*Adder)(amount);
    return 1;
}

template <void (Character::*Adder)(bool, int)>
int characterMaxAdder(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int amount = LuaInterface::getLuaInt(ls, pos);
    const bool isMax = LuaInterface::getLuaBool(ls, pos);
    (character->*Adder)(isMax, amount);
    return 1;
}

int pushString(lua_State* ls, const std::string& text)
{
    lua_pushlstring(ls, text.data(), text.size());
    return 1;
}

int characterGetId(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    return pushString(ls, character->getId());
}

int characterGetName(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    return pushString(ls, character->getName());
}

int characterMoveTo(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int row = LuaInterface::getLuaInt(ls, pos);
    const int col = LuaInterface::getLuaInt(ls, pos);
    ProcessManager2::getProcessManager2()->addProcess(new EntityWalkToProcess(character, row, col));
    return 1;
}

int characterGetRow(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    lua_pushinteger(ls, clampToInt(character->getPosition().x));
    return 1;
}

int characterGetCol(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    lua_pushinteger(ls, clampToInt(character->getPosition().y));
    return 1;
}

int characterSetPosition(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int row = LuaInterface::getLuaInt(ls, pos);
    const int col = LuaInterface::getLuaInt(ls, pos);
    character->setPosition(row, col);
    return 1;
}

int characterAttemptMoveDirection(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int direction = LuaInterface::getLuaInt(ls, pos);
    // The entity refuses values that are not one of the four directions.
    character->attemptMoveDirection(static_cast<Direction>(direction), false);
    return 1;
}

int characterKill(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    character->kill();
    return 1;
}

int characterWander(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int chance = LuaInterface::getLuaInt(ls, pos);
    character->wander(chance);
    return 1;
}

int characterSetIsInWanderRegion(lua_State* ls)
{
    int pos = 1;
    Character* character = characterOf(ls, pos);
    const int flag = LuaInterface::getLuaInt(ls, pos);
    character->setIsInWanderRegion(flag != 0);
    return 1;
}

// ---- Session methods ----

int sessionEnter(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    const int row = LuaInterface::getLuaInt(ls, pos);
    const int col = LuaInterface::getLuaInt(ls, pos);
    session->setNextScene(std::string(id), row, col);
    return 1;
}

int sessionParty(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->viewParty();
    std::cout << "HELP" << std::endl;
    return 1;
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

int sessionChars(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    Party* party = session->getCurrentParty();
    Scene* scene = session->getCurrentScene();
    printEntityIds("Party:", party ? &party->getMembers() : nullptr);
    printEntityIds("Scene:", scene ? &scene->getEntities() : nullptr);
    return 1;
}

int sessionView(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    session->viewCharacter(std::string(id));
    return 1;
}

int sessionFight(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* opponent = LuaInterface::getLuaString(ls, pos);
    // An optional second argument names the fight's music.
    const std::string music = lua_gettop(ls) >= pos ? LuaInterface::getLuaString(ls, pos) : CombatManager::BATTLE_MUSIC;
    Log::named("tibbet") << "fighting " << opponent << std::endl;
    session->attemptEnterCombat(std::string(opponent), music);
    return 1;
}

int sessionYield(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->attemptExitCombat();
    return 1;
}

int sessionSay(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* subject = LuaInterface::getLuaString(ls, pos);
    const char* verb = LuaInterface::getLuaString(ls, pos);
    const char* object = LuaInterface::getLuaString(ls, pos);
    session->subjectVerbObject(std::string(subject), std::string(verb), std::string(object));
    return 1;
}

int sessionRead(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* subject = LuaInterface::getLuaString(ls, pos);
    const char* script = LuaInterface::getLuaString(ls, pos);
    const char* object = LuaInterface::getLuaString(ls, pos);
    session->subjectScriptObject(std::string(subject), std::string(script), std::string(object));
    return 1;
}

int sessionInventory(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->viewInventory();
    return 1;
}

int sessionHas(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* item = LuaInterface::getLuaString(ls, pos);
    const bool has = session->hasItem(std::string(item));
    lua_pushboolean(ls, has ? 1 : 0);
    return 1;
}

int sessionGain(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* item = LuaInterface::getLuaString(ls, pos);
    session->gainItem(std::string(item));
    return 1;
}

int sessionLose(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* item = LuaInterface::getLuaString(ls, pos);
    session->loseItem(std::string(item));
    return 1;
}

int sessionClose(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->closeConsole();
    return 1;
}

int sessionDialog(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* fileName = LuaInterface::getLuaString(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    const char* callingEntityId = LuaInterface::getLuaString(ls, pos);
    Log::named("tibbet") << "Opening dialog with filename: " << fileName << " AND id: " << id
                         << " for entity " << callingEntityId << std::endl;
    session->getDialogManager()->startNewDialog(std::string(fileName), std::string(id),
                                                std::string(callingEntityId));
    return 1;
}

int sessionEndDialog(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->getDialogManager()->endDialog();
    return 1;
}

int sessionGetFlag(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* name = LuaInterface::getLuaString(ls, pos);
    const int value = session->getFlag(std::string(name));
    lua_pushinteger(ls, value);
    return 1;
}

int sessionSetFlag(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* name = LuaInterface::getLuaString(ls, pos);
    const int value = LuaInterface::getLuaInt(ls, pos);
    session->setFlag(std::string(name), value);
    return 1;
}

int sessionEnableInput(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->setInputIsEnabled(true);
    return 1;
}

int sessionDisableInput(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    session->setInputIsEnabled(false);
    return 1;
}

int sessionAddToParty(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* name = LuaInterface::getLuaString(ls, pos);
    session->addToParty(std::string(name));
    return 1;
}

int sessionRemoveFromParty(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* name = LuaInterface::getLuaString(ls, pos);
    Character* avatar = session->getAvatar();
    Party* party = avatar ? avatar->getParty() : nullptr;
    if (party)
        party->removeMember(std::string(name));
    return 1;
}

int sessionGetPartySize(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    Character* avatar = session->getAvatar();
    Party* party = avatar ? avatar->getParty() : nullptr;
    if (party)
        lua_pushinteger(ls, static_cast<lua_Integer>(party->getMembers().size()));
    return 1;
}

// Where a fight stands, for the console and scripts: "none" out of combat.
int sessionCombatStage(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const CombatManager& combat = session->getCombatManager();
    const std::string stage = combat.isInCombat() ? CombatManager::stageName(combat.getStage()) : "none";
    lua_pushstring(ls, stage.c_str());
    return 1;
}

int sessionBeginQuest(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    const char* title = LuaInterface::getLuaString(ls, pos);
    session->beginQuest(std::string(id), std::string(title));
    return 1;
}

int sessionEndQuest(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    session->endQuest(std::string(id));
    return 1;
}

int sessionQuestState(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    const char* id = LuaInterface::getLuaString(ls, pos);
    lua_pushinteger(ls, static_cast<lua_Integer>(session->questState(std::string(id))));
    return 1;
}

int sessionTheEnd(lua_State* ls)
{
    int pos = 1;
    Session* session = sessionOf(ls, pos);
    lua_pushboolean(ls, session->theEnd() ? 1 : 0);
    return 1;
}

// ---- Statics ----

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
    Log::named("tibbet") << "Playing song " << fileName << std::endl;
    sound::SoundHandler::sendRequest(std::string(fileName), delay);
    return 1;
}
}

const luaL_Reg sessionStaticMethods[] = {
    {"sayHi", sessionSayHi},
    {nullptr, nullptr},
};

const luaL_Reg sessionMethods[] = {
    {"enter", sessionEnter},
    {"party", sessionParty},
    {"chars", sessionChars},
    {"view", sessionView},
    {"fight", sessionFight},
    {"yield", sessionYield},
    {"say", sessionSay},
    {"read", sessionRead},
    {"inventory", sessionInventory},
    {"has", sessionHas},
    {"gain", sessionGain},
    {"lose", sessionLose},
    {"close", sessionClose},
    {"dialog", sessionDialog},
    {"endDialog", sessionEndDialog},
    {"getflag", sessionGetFlag},
    {"setflag", sessionSetFlag},
    {"enableInput", sessionEnableInput},
    {"disableInput", sessionDisableInput},
    {"addToParty", sessionAddToParty},
    {"removeFromParty", sessionRemoveFromParty},
    {"getPartySize", sessionGetPartySize},
    {"combatStage", sessionCombatStage},
    {"beginQuest", sessionBeginQuest},
    {"endQuest", sessionEndQuest},
    {"questState", sessionQuestState},
    {"theEnd", sessionTheEnd},
    {nullptr, nullptr},
};

const luaL_Reg characterStaticMethods[] = {
    {nullptr, nullptr},
};

const luaL_Reg characterMethods[] = {
    {"getId", characterGetId},
    {"getStr", characterGetter<&Character::getStr>},
    {"getDex", characterGetter<&Character::getDex>},
    {"getInt", characterGetter<&Character::getInt>},
    {"getMove", characterGetter<&Character::getMove>},
    {"getHP", characterMaxGetter<&Character::getHP>},
    {"getFatigue", characterMaxGetter<&Character::getFatigue>},
    {"getAttack", characterGetter<&Character::getAttack>},
    {"getDodge", characterGetter<&Character::getDodge>},
    {"getDamagePhysical", characterGetter<&Character::getDamagePhysical>},
    {"getDamageMagical", characterGetter<&Character::getDamageMagical>},
    {"getDefense", characterGetter<&Character::getDefense>},
    {"getCritValue", characterGetter<&Character::getCritValue>},
    {"getGlancingValue", characterGetter<&Character::getGlancingValue>},
    {"getResistance", characterGetter<&Character::getResistance>},
    {"getName", characterGetName},
    {"addStr", characterAdder<&Character::addStr>},
    {"addDex", characterAdder<&Character::addDex>},
    {"addInt", characterAdder<&Character::addInt>},
    {"addMove", characterAdder<&Character::addMove>},
    {"addHP", characterMaxAdder<&Character::addHP>},
    {"addFatigue", characterMaxAdder<&Character::addFatigue>},
    {"addAttack", characterAdder<&Character::addAttack>},
    {"addDodge", characterAdder<&Character::addDodge>},
    {"addDamagePhysical", characterAdder<&Character::addDamagePhysical>},
    {"addDamageMagical", characterAdder<&Character::addDamageMagical>},
    {"addDefense", characterAdder<&Character::addDefense>},
    {"addCritValue", characterAdder<&Character::addCritValue>},
    {"addGlancingValue", characterAdder<&Character::addGlancingValue>},
    {"addResistance", characterAdder<&Character::addResistance>},
    {"moveTo", characterMoveTo},
    {"getRow", characterGetRow},
    {"getCol", characterGetCol},
    {"setPosition", characterSetPosition},
    {"attemptMoveDirection", characterAttemptMoveDirection},
    {"kill", characterKill},
    {"wander", characterWander},
    {"setIsInWanderRegion", characterSetIsInWanderRegion},
    {nullptr, nullptr},
};

const luaL_Reg soundHandlerStaticMethods[] = {
    {"play", soundPlay},
    {nullptr, nullptr},
};
}
