#include "LogCapture.h"

#include <sstream>

#include "Log/Log.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"

namespace datatest
{
namespace
{
std::ostringstream& buffer()
{
    static std::ostringstream text;
    return text;
}

// Named streams keep their first registration, so they are routed before any
// test runs.
struct Registrar
{
    Registrar()
    {
        for (const char* name : {"ResourceManager", "Party", "Scene"})
            Log::setNamedStream(name, &buffer());
        Log::setErrorStream(&buffer());
    }
} registrar;
}

void clearLog()
{
    buffer().str("");
    buffer().clear();
}

std::string logText()
{
    return buffer().str();
}

bool logHas(const std::string& text)
{
    return logText().find(text) != std::string::npos;
}

void initScripting()
{
    static bool done = false;
    if (!done)
        core::initEngine();
    done = true;
}
}
