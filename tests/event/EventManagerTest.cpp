#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/LuaInterface.h"
#include "event/EventManager.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"

using event::EventManager;

namespace
{
// The manager is process-wide and never forgets a listener, so listeners
// here live for the whole run and write to one journal that each test
// clears.
std::vector<std::string>& journal()
{
    static std::vector<std::string> entries;
    return entries;
}

template <typename T>
class Recorder : public event::Listener<T>
{
public:
    explicit Recorder(const std::string& name) : _name(name) {}
    void eventCallback(T* e) override { journal().push_back(_name + (e ? "" : " (null)")); }

private:
    std::string _name;
};

template <typename T>
Recorder<T>* leakedRecorder(const std::string& name)
{
    // The event manager keeps its listeners for good; so does this list,
    // which lives as long as the program.
    static std::vector<Recorder<T>*>* const kept = new std::vector<Recorder<T>*>();
    kept->push_back(new Recorder<T>(name));
    return kept->back();
}

std::string luaGlobal(const std::string& name)
{
    lua_State* ls = core::LuaInterface::getState();
    const int top = lua_gettop(ls);
    lua_getglobal(ls, name.c_str());
    std::string value = lua_type(ls, -1) == LUA_TSTRING ? lua_tostring(ls, -1) : "<not a string>";
    lua_settop(ls, top);
    return value;
}
}

TEST(EventManager, QuestEventsReachTheirListenersInRegistrationOrder)
{
    EventManager::init();
    EXPECT_EQ(EventManager::getInstance(), EventManager::getInstance());
    journal().clear();
    core::Quest* noQuest = nullptr;
    event::BeginQuestEvent begin(noQuest);
    event::EndQuestEvent end(noQuest);

    // Nothing registered yet for either type.
    EventManager::pushEvent(&begin);
    EventManager::pushEvent(&end);
    EXPECT_TRUE(journal().empty());

    auto* first = leakedRecorder<event::BeginQuestEvent>("first");
    auto* second = leakedRecorder<event::BeginQuestEvent>("second");
    EventManager::registerEventListener(first);
    EventManager::registerEventListener(second);
    EventManager::registerEventListener(first);
    EventManager::registerEventListener(leakedRecorder<event::EndQuestEvent>("end"));

    EventManager::pushEvent(&begin);
    EXPECT_EQ(journal(), (std::vector<std::string>{"first", "second", "first"}));
    journal().clear();
    EventManager::pushEvent(&end);
    EXPECT_EQ(journal(), std::vector<std::string>{"end"});
}

TEST(EventManager, TriggerTileAndPortalEventsReachNobody)
{
    journal().clear();
    EventManager::registerEventListener(leakedRecorder<event::TriggerTileEvent>("tile"));
    EventManager::registerEventListener(leakedRecorder<event::PortalEvent>("portal"));
    event::TriggerTileEvent tile("neverRuns.lua", {});
    event::PortalEvent portal;
    testsupport::ErrorCapture errors;
    EventManager::pushEvent(&tile);
    EventManager::pushEvent(&portal);
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(errors.text(), "") << "the tile's script must not run";
}

TEST(TriggerTileEvent, PublishesItsParametersBeforeRunningItsScript)
{
    testsupport::ScriptFolder scripts("tests/event/data");
    const std::string script = "recordParams.lua";
    event::TriggerTileEvent e(script, {{"target", "town_main"}, {"row", "4"}, {"row", "5"}});
    EXPECT_EQ(e.getScript(), script);
    ASSERT_EQ(e.getParams().size(), 3u);
    EXPECT_EQ(e.getParams()[0].first, "target");

    testsupport::ErrorCapture errors;
    e.trigger();
    EXPECT_EQ(errors.text(), "");
    // The later pair with the same name wins, and the globals stay set.
    EXPECT_EQ(luaGlobal("recorded"), "town_main@5");
    EXPECT_EQ(luaGlobal("target"), "town_main");
    EXPECT_EQ(luaGlobal("row"), "5");
}

TEST(TriggerTileEvent, AnEmptyScriptNameStillPublishesItsGlobals)
{
    event::TriggerTileEvent e("", {{"destination", "cave"}});
    testsupport::ErrorCapture errors;
    e.trigger();
    EXPECT_EQ(luaGlobal("destination"), "cave");
    // The script directory itself is not a script: the run fails and says so.
    EXPECT_NE(errors.text().find("./assets/scripts/"), std::string::npos) << errors.text();
}
