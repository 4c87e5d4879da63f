#pragma once

#include <string>

namespace core
{
class Session;

// The developer console's prompt: one turn reads a line from standard
// input, turns the ": method args" shorthand into a call on the session,
// echoes the Lua and runs it.
class Screen
{
public:
    Screen();
    virtual ~Screen();

    virtual void printInformation(Session& userSession);
    virtual void prompt(Session& userSession);

    // The Lua that a typed line stands for.
    static std::string buildCommand(const std::string& line);

protected:
    bool _hasCompleted;
};
}
