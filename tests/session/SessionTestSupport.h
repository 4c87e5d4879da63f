#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/Session.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"
#include "support/StdStreams.h"

namespace gui
{
class CombatMenu;
class DialogMenu;
class GUIElement;
class GUIMenu;
class GUITextBox;
}

namespace sessiontest
{
// Lua classes registered, the test scenes known to the resource database,
// the input manager emptied and the log streams the session code writes to
// routed to memory. Call at the start of every test (SessionFixture does).
void prepare();

// The set-up every session test shares. Suites name it with an alias, so
// that test names stay as they were:
//   using CombatFlow = sessiontest::SessionFixture;
//   TEST_F(CombatFlow, BaseMenuPassTurnAndContinue) { ... }
class SessionFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Lua globals the test's scripts write: cleared now and again when the
    // test ends, however it ends, so that no count leaks into the next test.
    void clearsGlobals(std::initializer_list<const char*> names);

private:
    std::vector<std::string> _globals;
};

// The widgets a fight shows (every test fight is shown with the menus).
gui::CombatMenu* combatMenuOf(const core::CombatManager& combat);
gui::GUITextBox* resultsOf(const core::CombatManager& combat);
gui::GUITextBox* turnListOf(const core::CombatManager& combat);
// The band a conversation shows in.
gui::DialogMenu* dialogMenuOf(const core::DialogManager* dialogs);

// Path of a file under tests/session/data, relative to the repository root.
std::string dataFile(const std::string& name);

// A session built from a file in the data folder, kept until the process
// ends like the game's own (scripts reach it as "s").
core::Session* buildSession(const std::string& name = "session.xml");

// A session from session.xml that has entered the test scene "testA" with
// the avatar at (row, col); null when it could not be built.
core::Session* sessionInTestA(int row = 3, int col = 3);

// n session updates: with nothing else moving, five finish one step.
void updateTimes(core::Session& session, int n);

// Runs frames (session updates and timed processes) until the enemies'
// turn is over; false if it does not end within a generous number.
bool finishEnemyTurn(core::Session& session, int maxFrames = 2000);

// What the menus show: whether a widget is up, and a menu's entry texts.
bool shown(const gui::GUIElement* widget);
std::vector<std::string> optionsOf(const gui::GUIMenu* menu);
}
