#pragma once

#include <string>

#include "Log/Log.h"
#include "script/LuaInterface.h"
#include "support/LogCapture.h"
#include "support/LuaHelpers.h"

using testsupport::ErrorCapture;
using testsupport::globalAsString;
using testsupport::ScriptFolder;

// Where the test scripts are, for a ScriptFolder.
const char* const TEST_SCRIPTS = "tests/script/data";

// Name of a test script inside TEST_SCRIPTS.
inline std::string testScript(const std::string& name)
{
    return name;
}
