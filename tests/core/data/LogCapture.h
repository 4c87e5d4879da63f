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
// The whole text of a file, empty when it cannot be read.
std::string readText(const std::string& path);
}
