#include "session/LuaVocabulary.h"

#include <map>
#include <sstream>

#include <lua5.2/lua.hpp>

#include "session/LuaBindings.h"

namespace core
{
namespace
{
struct Usage
{
    const char* call;
    const char* meaning;
};

// How each binding is called and what it does, by "Global.name".
const std::map<std::string, Usage>& usages()
{
    static const std::map<std::string, Usage> table = {
        {"Session.sayHi",
         {"Session.sayHi()", "writes a greeting on the debug log channel (a check that scripting works)"}},
        {"s.enter",
         {"s:enter(sceneId, row, col)",
          "moves the party to that tile of that scene at the end of the frame; refused during a fight, for an "
          "unknown scene, off the map and on a tile closed on every side"}},
        {"s.party", {"s:party()", "opens the party menu"}},
        {"s.chars", {"s:chars()", "prints the party and the characters of the current scene"}},
        {"s.view", {"s:view(id)", "opens the party menu on that member's sheet"}},
        {"s.fight",
         {"s:fight(\"a;b;\")",
          "starts a fight with those characters of the current scene; refused when one is in the party"}},
        {"s.yield", {"s:yield()", "leaves the fight under way"}},
        {"s.say", {"s:say(subject, verb, object)", "runs a console verb: the subject does it to the object"}},
        {"s.read",
         {"s:read(subject, script, object)",
          "runs a file of the script folder with subj and obj bound; a path leading out is refused"}},
        {"s.inventory", {"s:inventory()", "opens the inventory"}},
        {"s.has", {"s:has(itemId)", "true when the party carries the item"}},
        {"s.gain", {"s:gain(itemId)", "puts one of the item in the party's bag"}},
        {"s.lose", {"s:lose(itemId)", "takes one of the item out of the bag"}},
        {"s.close", {"s:close()", "closes the developer console"}},
        {"s.dialog",
         {"s:dialog(file, nodeId, speakerId)",
          "opens the conversation of that dialog file (inside the game folder) at that node"}},
        {"s.endDialog", {"s:endDialog()", "closes the conversation that is showing"}},
        {"s.getflag", {"s:getflag(name)", "the flag's value; 0 when never set"}},
        {"s.setflag", {"s:setflag(name, value)", "sets a flag (flags are kept in saved games)"}},
        {"s.enableInput", {"s:enableInput()", "gives the player the keys back after a cut-scene"}},
        {"s.disableInput", {"s:disableInput()", "takes the walking keys away for a cut-scene"}},
        {"s.addToParty", {"s:addToParty(id)", "the character of the current scene joins the party"}},
        {"s.removeFromParty", {"s:removeFromParty(id)", "the member leaves the party; the avatar cannot"}},
        {"s.getPartySize", {"s:getPartySize()", "how many characters the party has (0 without a party)"}},
        {"s.combatStage", {"s:combatStage()", "the stage of the fight under way, by name"}},
        {"s.beginQuest", {"s:beginQuest(id, title)", "adds the quest to the quest log"}},
        {"s.endQuest", {"s:endQuest(id)", "marks the quest done"}},
        {"s.questState", {"s:questState(id)", "0 never begun, 1 under way, 2 done"}},
        {"s.theEnd",
         {"s:theEnd()", "ends the story: the ending screen (play again or quit) shows once the conversation closes"}},
        {"character.getId", {"c:getId()", "the character's id (also its Lua global)"}},
        {"character.getName", {"c:getName()", "the name shown in menus"}},
        {"character.getHP", {"c:getHP(max)", "hit points: the maximum when max is true, else the current"}},
        {"character.getFatigue", {"c:getFatigue(max)", "fatigue: the maximum when max is true, else the current"}},
        {"character.addHP",
         {"c:addHP(amount, max)", "adds to the maximum hit points when max is true, else to the current"}},
        {"character.addFatigue",
         {"c:addFatigue(amount, max)", "adds to the maximum fatigue when max is true, else to the current"}},
        {"character.moveTo", {"c:moveTo(row, col)", "walks the character to that tile"}},
        {"character.getRow", {"c:getRow()", "the row the character stands on"}},
        {"character.getCol", {"c:getCol()", "the column the character stands on"}},
        {"character.setPosition", {"c:setPosition(row, col)", "puts the character on that tile at once"}},
        {"character.attemptMoveDirection",
         {"c:attemptMoveDirection(direction)", "one step: 0 up, 1 right, 2 down, 3 left"}},
        {"character.kill", {"c:kill()", "takes the character out of its scene for good"}},
        {"character.wander", {"c:wander(chance)", "a random step now and then, inside its wander region"}},
        {"character.setIsInWanderRegion",
         {"c:setIsInWanderRegion(flag)", "1 while the character stands in its wander region"}},
        {"SoundHandler.play", {"SoundHandler.play(name, delaySeconds)", "plays a sound of the sound table"}},
    };
    return table;
}

std::string describe(const std::string& key, const std::string& name, const std::string& prefix)
{
    auto found = usages().find(key);
    if (found != usages().end())
        return "- `" + std::string(found->second.call) + "`: " + found->second.meaning + "\n";
    // Getters and adders of statistics follow one pattern.
    if (key.rfind("character.get", 0) == 0)
        return "- `" + prefix + name + "()`: the statistic's value\n";
    if (key.rfind("character.add", 0) == 0)
        return "- `" + prefix + name + "(amount)`: adds to the statistic (no clamping)\n";
    return "- `" + prefix + name + "(...)`\n";
}

void section(std::ostringstream& out, const std::string& title, const std::string& keyPrefix,
             const std::string& callPrefix, const luaL_Reg* table)
{
    out << "\n### " << title << "\n\n";
    bool any = false;
    for (const luaL_Reg* entry = table; entry && entry->name; ++entry)
    {
        out << describe(keyPrefix + "." + entry->name, entry->name, callPrefix);
        any = true;
    }
    if (!any)
        out << "(none)\n";
}
}

const char* const LuaVocabulary::BEGIN_MARK = "<!-- lua-vocabulary: generated by zolt-luadoc, do not edit -->";
const char* const LuaVocabulary::END_MARK = "<!-- end of lua-vocabulary -->";

std::string LuaVocabulary::markdown()
{
    std::ostringstream out;
    section(out, "The session `s` (colon calls)", "s", "s:", sessionMethods);
    section(out, "Every character, `c` standing for its id (colon calls)", "character", "c:", characterMethods);
    section(out, "The global `Session` (dot calls)", "Session", "Session.", sessionStaticMethods);
    section(out, "The global `Character` (dot calls)", "Character", "Character.", characterStaticMethods);
    section(out, "The global `SoundHandler` (dot calls)", "SoundHandler", "SoundHandler.", soundHandlerStaticMethods);
    return out.str();
}

std::string LuaVocabulary::refreshPage(const std::string& page)
{
    const size_t begin = page.find(BEGIN_MARK);
    const size_t end = page.find(END_MARK);
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        return "";
    const size_t from = begin + std::string(BEGIN_MARK).size();
    return page.substr(0, from) + "\n" + markdown() + "\n" + page.substr(end);
}
}
