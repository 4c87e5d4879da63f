#include "session/Console.h"

#include <memory>

#include "Log/Log.h"
#include "script/LuaInterface.h"
#include "session/ConsoleHost.h"
#include "world/Entity.h"
#include "world/Screen.h"

namespace core
{
Console::Console(const ConsoleHost& host) : _host(host)
{
    _screenStack.pushScreen(std::make_unique<Screen>());
}

void Console::prompt(Session& userSession)
{
    if (!_screenStack.hasScreens())
        return;
    if (Screen* screen = _screenStack.getTopScreen())
        screen->prompt(userSession);
}

void Console::open()
{
#ifdef __EMSCRIPTEN__
    // A page has no standard input to type console lines into.
    Log::named("Session") << "Session::openConsole - there is no console in the browser" << std::endl;
    return;
#endif
    _doPrompt = true;
    Log::named("Session") << "Console window opened" << std::endl;
}

void Console::close()
{
    _doPrompt = false;
    Log::named("Session") << "Console window closed" << std::endl;
}

bool Console::bindSubjectAndObject(const std::string& subjectId, const std::string& objectId)
{
    Entity* subject = _host.getEntity(subjectId);
    Entity* object = _host.getEntity(objectId);
    if (!subject || !object || subject == object)
        return false;
    LuaInterface::registerAlias(subject->getLuaRef(), "subj");
    LuaInterface::registerAlias(object->getLuaRef(), "obj");
    return true;
}

void Console::unbindSubjectAndObject()
{
    LuaInterface::clearAlias("subj");
    LuaInterface::clearAlias("obj");
}

void Console::subjectVerbObject(const std::string& subject, const std::string& verb, const std::string& object)
{
    if (!bindSubjectAndObject(subject, object))
        return;
    LuaInterface::runString(verb);
    unbindSubjectAndObject();
}

void Console::subjectScriptObject(const std::string& subjectId, const std::string& scriptName,
                                  const std::string& objectId)
{
    if (!bindSubjectAndObject(subjectId, objectId))
        return;
    LuaInterface::runScript(scriptName);
    unbindSubjectAndObject();
}
}
