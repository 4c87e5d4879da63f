#pragma once

#include <string>

// Reading and clearing what scripts left in the engine's Lua state. The state
// must exist (core::initEngine()).
namespace testsupport
{
// The value of a Lua expression, evaluated as a chunk "return <expression>":
// an integer (0 for a non-number), a string ("" for a non-string), or
// whether it is nil. A Lua error fails the test and gives -9999, "" or false.
int luaInt(const std::string& expression);
std::string luaString(const std::string& expression);
bool luaIsNil(const std::string& expression);

// A global's value as Lua's tostring shows it, "<nil>" when unset.
std::string globalAsString(const std::string& name);

// Removes a global a test script wrote, so that the next test starts clean.
void clearLuaGlobal(const std::string& name);

// Script files are read from `folder` (relative to the repository root, the
// tests' working directory) while the object lives: scripts can name no
// file outside the script folder.
class ScriptFolder
{
public:
    explicit ScriptFolder(const std::string& folder);
    ~ScriptFolder();
    ScriptFolder(const ScriptFolder&) = delete;
    ScriptFolder& operator=(const ScriptFolder&) = delete;

private:
    std::string _old;
};
}
