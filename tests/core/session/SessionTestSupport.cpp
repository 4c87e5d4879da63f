#include "SessionTestSupport.h"

#include <map>

#include <gtest/gtest.h>

#include "Log/Log.h"
#include "application/InputManager.h"
#include "core/LuaInterface.h"
#include "core/ProcessManager2.h"
#include "core/ResourceManager.h"
#include "graphics/TGGUIManager.h"
#include "gui/GUIManager.h"
#include "gui/GUIMenu.h"

namespace sessiontest
{
namespace
{
const char* const ROUTED_STREAMS[] = {"Session", "tibbet", "input", "oskel", "vosk", "Scene"};

std::map<std::string, std::ostringstream*>& routedStreams()
{
    // Never destroyed: the log keeps pointing at these streams to the end.
    static auto* const streams = new std::map<std::string, std::ostringstream*>();
    return *streams;
}

void prepareOnce()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    core::LuaInterface::init();
    // The log keeps the first routing it is given for a name, so route
    // every stream the tests read before anything writes to it.
    for (const char* name : ROUTED_STREAMS)
    {
        std::ostringstream* stream = new std::ostringstream();
        routedStreams()[name] = stream;
        Log::setNamedStream(name, stream);
    }
    // Menus without a window: the widgets and their primitives exist, only
    // nothing is drawn.
    gui::GUIManager::init(new tamsygraphics::GUIManager(nullptr));
    core::levelNameMap["testA"] = dataFile("sceneA.xml");
    core::levelNameMap["testB"] = dataFile("sceneB.xml");
    core::levelNameMap["testDup"] = dataFile("sceneDuplicate.xml");
}

// Leaves the expression's value on top of the stack; the caller pops it.
bool evaluate(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    const std::string chunk = "return " + expression;
    if (luaL_loadstring(ls, chunk.c_str()) != LUA_OK || lua_pcall(ls, 0, 1, 0) != LUA_OK)
    {
        const char* message = lua_tostring(ls, -1);
        ADD_FAILURE() << "Lua error in " << expression << ": " << (message ? message : "?");
        return false;
    }
    return true;
}
}

void prepare()
{
    prepareOnce();
    application::InputManager::reset();
}

std::string dataFile(const std::string& name)
{
    return "tests/core/session/data/" + name;
}

core::Session* buildSession(const std::string& name)
{
    return core::Session::buildFromXMLFile(dataFile(name));
}

int luaInt(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    if (!evaluate(expression))
    {
        lua_pop(ls, 1);
        return -9999;
    }
    const int value = static_cast<int>(lua_tointeger(ls, -1));
    lua_pop(ls, 1);
    return value;
}

std::string luaString(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    std::string value;
    if (evaluate(expression) && lua_isstring(ls, -1))
        value = lua_tostring(ls, -1);
    lua_pop(ls, 1);
    return value;
}

bool luaIsNil(const std::string& expression)
{
    lua_State* ls = core::LuaInterface::getState();
    const bool isNil = evaluate(expression) && lua_isnil(ls, -1);
    lua_pop(ls, 1);
    return isNil;
}

void clearLuaGlobal(const std::string& name)
{
    core::LuaInterface::clearAlias(name);
}

LogTail::LogTail(const std::string& streamName) : _stream(nullptr), _start(0)
{
    prepareOnce();
    auto found = routedStreams().find(streamName);
    if (found == routedStreams().end())
    {
        ADD_FAILURE() << "log stream " << streamName << " is not routed";
        return;
    }
    _stream = found->second;
    _start = _stream->str().size();
}

std::string LogTail::text() const
{
    return _stream ? _stream->str().substr(_start) : std::string();
}

ErrorCapture::ErrorCapture()
{
    Log::setErrorStream(&_stream);
}

ErrorCapture::~ErrorCapture()
{
    Log::setErrorStream(&std::cout);
}

StdoutCapture::StdoutCapture() : _old(std::cout.rdbuf(_stream.rdbuf()))
{
}

StdoutCapture::~StdoutCapture()
{
    std::cout.rdbuf(_old);
}

StdinFeed::StdinFeed(const std::string& text) : _stream(text), _old(std::cin.rdbuf(_stream.rdbuf()))
{
    std::cin.clear();
}

StdinFeed::~StdinFeed()
{
    std::cin.rdbuf(_old);
    std::cin.clear();
}

std::string StdinFeed::remaining()
{
    std::string rest;
    std::getline(_stream, rest, '\0');
    return rest;
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
    return menu ? menu->getEntryTexts() : std::vector<std::string>();
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
