#include "SessionTestSupport.h"

#include "input/InputManager.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "world/ProcessManager2.h"
#include "data/ResourceManager.h"
#include "graphics/TGGUIManager.h"
#include "gui/CombatDisplay.h"
#include "gui/DialogBand.h"
#include "dialog/DialogManager.h"
#include "gui/GUIManager.h"
#include "gui/GUIMenu.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"
#include "support/LuaOwnedObjects.h"

namespace sessiontest
{
namespace
{
const char* const ROUTED_STREAMS[] = {"Session", "tibbet", "input", "oskel", "vosk", "Scene"};

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    core::initEngine();
    gui::CombatDisplay::useForEveryFight();
    gui::DialogBand::useForEveryConversation();
    // The log keeps the first routing it is given for a name, so route
    // every stream the tests read before anything writes to it.
    for (const char* name : ROUTED_STREAMS)
        testsupport::routeLogStream(name);
    // Menus without a window: the widgets and their primitives exist, only
    // nothing is drawn.
    gui::GUIManager::init(new tamsygraphics::GUIManager(nullptr));
    core::levelNameMap["testA"] = dataFile("sceneA.xml");
    core::levelNameMap["testB"] = dataFile("sceneB.xml");
    core::levelNameMap["testDup"] = dataFile("sceneDuplicate.xml");
}
}

void prepare()
{
    prepareOnce();
    application::InputManager::reset();
}

void SessionFixture::SetUp()
{
    prepare();
}

void SessionFixture::TearDown()
{
    for (const std::string& name : _globals)
        testsupport::clearLuaGlobal(name);
}

void SessionFixture::clearsGlobals(std::initializer_list<const char*> names)
{
    for (const char* name : names)
    {
        testsupport::clearLuaGlobal(name);
        _globals.push_back(name);
    }
}

namespace
{
const gui::CombatDisplay& displayOf(const core::CombatManager& combat)
{
    return dynamic_cast<const gui::CombatDisplay&>(*combat.getView());
}
}

gui::CombatMenu* combatMenuOf(const core::CombatManager& combat)
{
    return displayOf(combat).menu();
}

gui::GUITextBox* resultsOf(const core::CombatManager& combat)
{
    return displayOf(combat).results();
}

gui::GUITextBox* turnListOf(const core::CombatManager& combat)
{
    return displayOf(combat).turnList();
}

gui::DialogMenu* dialogMenuOf(const core::DialogManager* dialogs)
{
    return dynamic_cast<const gui::DialogBand&>(*dialogs->getView()).menu();
}

std::string dataFile(const std::string& name)
{
    return "tests/session/data/" + name;
}

core::Session* buildSession(const std::string& name)
{
    return luaowned::keepForRun(core::Session::buildFromXMLFile(dataFile(name)));
}

core::Session* sessionInTestA(int row, int col)
{
    core::Session* session = buildSession();
    if (!session)
        return nullptr;
    session->setNextScene("testA", row, col);
    session->update();
    return session;
}

void updateTimes(core::Session& session, int n)
{
    for (int i = 0; i < n; ++i)
        session.update();
}

bool shown(const gui::GUIElement* widget)
{
    return widget && !widget->isHidden();
}

std::vector<std::string> optionsOf(const gui::GUIMenu* menu)
{
    return menu ? menu->getEntryKeys() : std::vector<std::string>();
}

bool finishEnemyTurn(core::Session& session, int maxFrames)
{
    core::ProcessManager2* processes = core::ProcessManager2::getProcessManager2();
    for (int frame = 0; frame < maxFrames && session.getCombatManager().isEnemyTurnRunning(); ++frame)
    {
        session.update();
        processes->update(1.0 / 60.0);
    }
    return !session.getCombatManager().isEnemyTurnRunning();
}
}
