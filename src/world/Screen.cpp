#include "world/Screen.h"

#include <iostream>
#include <sstream>
#include <vector>

#include "script/LuaInterface.h"

namespace core
{
namespace
{
const char* const CONSOLE_CHUNK_NAME = "console";

std::vector<std::string> splitWords(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> words;
    std::string word;
    while (in >> word)
        words.push_back(word);
    return words;
}

// ": gain a b" stands for s:gain("a","b"); every argument is a string.
std::string sessionCall(const std::vector<std::string>& words)
{
    // A lone ":" has no method name and keeps ":" itself, which no Lua
    // compiler accepts: the console then runs nothing.
    const std::string method = words.size() > 1 ? words[1] : words[0];
    std::string command = "s:" + method + "(";
    for (size_t i = 2; i < words.size(); ++i)
    {
        if (i > 2)
            command += ",";
        command += "\"" + words[i] + "\"";
    }
    return command + ")\n";
}
}

Screen::Screen() : _hasCompleted(false)
{
}

Screen::~Screen()
{
}

void Screen::printInformation(Session&)
{
}

std::string Screen::buildCommand(const std::string& line)
{
    const std::vector<std::string> words = splitWords(line);
    if (words.empty())
        return std::string();
    if (words[0] == ":")
        return sessionCall(words);
    return line;
}

void Screen::prompt(Session& userSession)
{
    std::cout << std::endl;
    printInformation(userSession);
    std::cout << ">" << std::flush;
    // At the end of input every read gives an empty line at once.
    std::string choice;
    std::getline(std::cin, choice);
    const std::string command = buildCommand(choice);
    std::cout << command << std::endl;
    LuaInterface::runConsoleString(command, CONSOLE_CHUNK_NAME);
    // Whoever typed the line is watching this output, not the error log.
    if (!LuaInterface::lastError().empty())
        std::cout << LuaInterface::lastError() << std::endl;
    std::cout << std::endl << std::endl;
}
}
