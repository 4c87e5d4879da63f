#pragma once

#include <string>

#include "world/ScreenStack.h"

namespace core
{
class ConsoleHost;
class Session;

// The developer console: whether it prompts each frame, the stack of its
// screens, and running a line of Lua or a script with "subj" and "obj"
// bound to two of the game's entities. Part of the running session.
class Console
{
public:
    // Starts closed, with the one screen that prompts.
    explicit Console(const ConsoleHost& host);
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // One turn at the top screen (blocking on standard input); the screen
    // runs what is typed on `userSession`. Nothing without a screen.
    void prompt(Session& userSession);
    // In the browser the console stays closed: a page has no standard input.
    void open();
    void close();
    bool isOpen() const { return _doPrompt; }
    ScreenStack& getScreenStack() { return _screenStack; }

    // Runs the Lua `verb`, or the game script, with "subj" and "obj" bound
    // to the entities with those ids; nothing when either is missing or
    // both ids name the same entity.
    void subjectVerbObject(const std::string& subject, const std::string& verb, const std::string& object);
    void subjectScriptObject(const std::string& subjectId, const std::string& scriptName, const std::string& objectId);

private:
    bool bindSubjectAndObject(const std::string& subjectId, const std::string& objectId);
    void unbindSubjectAndObject();

    const ConsoleHost& _host;
    ScreenStack _screenStack;
    bool _doPrompt = false;
};
}
