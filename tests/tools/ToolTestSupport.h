#pragma once

#include <string>

#include "support/Commands.h"
#include "support/Files.h"

namespace tooltest
{
using testsupport::CommandResult;
using testsupport::readText;

// Runs a shell command and collects its standard output, and its standard
// error as well when `withErrors`.
inline CommandResult runCommand(const std::string& command, bool withErrors)
{
    return testsupport::runCommand(command + (withErrors ? " 2>&1" : " 2>/dev/null"));
}
}
