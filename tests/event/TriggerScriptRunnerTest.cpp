#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "event/TriggerTileEvent.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"

using event::TriggerTileEvent;

namespace
{
std::vector<std::string> runs;

void recordRun(const std::string& script, const event::ParameterList& params)
{
    std::string line = script;
    for (const auto& param : params)
        line += " " + param.first + "=" + param.second;
    runs.push_back(line);
}

// Puts back whatever runner the program installed while loading.
class RunnerSwap
{
public:
    explicit RunnerSwap(TriggerTileEvent::ScriptRunner runner) : _old(TriggerTileEvent::scriptRunner())
    {
        TriggerTileEvent::setScriptRunner(runner);
        runs.clear();
    }
    ~RunnerSwap() { TriggerTileEvent::setScriptRunner(_old); }

private:
    TriggerTileEvent::ScriptRunner _old;
};
}

TEST(TriggerScriptRunner, TheLuaStateRunsTriggerScriptsOnceLinkedIn)
{
    // This binary links the Lua state (the helpers read its globals), which
    // installs itself as the runner while the program loads.
    EXPECT_NE(TriggerTileEvent::scriptRunner(), nullptr);
    TriggerTileEvent e("", {{"runnerProbe", "installed"}});
    testsupport::ErrorCapture errors;
    e.trigger();
    EXPECT_EQ(testsupport::globalAsString("runnerProbe"), "installed");
}

TEST(TriggerScriptRunner, AnEventHandsItsScriptAndParametersToTheRunner)
{
    RunnerSwap swap(&recordRun);
    TriggerTileEvent e("door.lua", {{"target", "cave"}, {"row", "3"}});
    e.trigger();
    e.trigger();
    EXPECT_EQ(runs, (std::vector<std::string>{"door.lua target=cave row=3", "door.lua target=cave row=3"}));
}

TEST(TriggerScriptRunner, WithoutARunnerTheEventSaysItsScriptCannotRun)
{
    RunnerSwap swap(nullptr);
    TriggerTileEvent e("door.lua", {{"target", "cave"}});
    testsupport::ErrorCapture errors;
    e.trigger();
    EXPECT_TRUE(runs.empty());
    EXPECT_NE(errors.text().find("Trigger script door.lua cannot run"), std::string::npos) << errors.text();
}
