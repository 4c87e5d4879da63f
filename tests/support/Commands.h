#pragma once

#include <string>

namespace testsupport
{
// What a shell command wrote on standard output, and how it ended.
struct CommandResult
{
    int status = -1; // the exit status; -1 when it could not start or was killed
    std::string out;
};

// Runs a command through the shell and waits for it to end.
CommandResult runCommand(const std::string& command);
}
