#pragma once

#include <string>

#include "Log/Log.h"
#include "core/LuaInterface.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"

using testsupport::ErrorCapture;
using testsupport::globalAsString;

// Path of a test script as seen from the game's script directory.
inline std::string testScript(const std::string& name)
{
    return "../../tests/core/lua/data/" + name;
}
