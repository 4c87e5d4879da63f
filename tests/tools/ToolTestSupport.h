#pragma once

#include <string>

namespace tooltest
{
struct CommandResult
{
    // The exit status; -1 when the command did not run or ended by a signal.
    int status = -1;
    std::string out;
};

// Runs a shell command and collects its standard output, and its standard
// error as well when `withErrors`.
CommandResult runCommand(const std::string& command, bool withErrors);

// The whole text of a file, empty when it cannot be read.
std::string readText(const std::string& path);
}
