#pragma once

#include <string>

// Everything the data readers log (errors and the ResourceManager, Party and
// Scene streams) is collected here so tests can look for the lines.
namespace datatest
{
void clearLog();
std::string logText();
bool logHas(const std::string& text);
// Makes sure the Lua classes exist before characters are built.
void initScripting();
}
