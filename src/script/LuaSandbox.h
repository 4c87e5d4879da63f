#pragma once

#include <cstddef>
#include <string>

#include <lua.hpp>

namespace core
{
// What game scripts and the developer console may use of Lua's libraries.
// No shell, no files outside the game's scripts, no environment, no binary
// chunks, no finalizers, and no library call that could build a string
// past a sane size or run for long inside C, where the time limit cannot
// reach. docs/making-a-game.md lists what is left.
class LuaSandbox
{
public:
    // A string that string.rep may build at most, and the most repetitions.
    static const std::size_t MAX_STRING_BYTES;
    static const lua_Integer MAX_REPETITIONS;
    // table.sort refuses longer tables: sorting runs in C.
    static const std::size_t MAX_SORT_ENTRIES;

    // Opens the safe libraries in a new state and replaces what is unsafe.
    static void install(lua_State* ls);

    // The console's explicit opt-in (zolt --unsafe-console): console lines
    // then also see Lua's own io, os, dofile, loadfile and load. Game
    // scripts never do.
    static void setUnsafeConsole(bool allowed);
    static bool unsafeConsole();
    // Makes the function on top of the stack, a chunk just loaded, see the
    // console's unrestricted globals. Does nothing unless allowed.
    static void widenForConsole(lua_State* ls);

    // Pushes the compiled chunk of a script file (game-relative path when
    // gamePath, else a name inside the script folder), or the reason it
    // cannot be had; says which.
    static bool pushScriptChunk(lua_State* ls, const std::string& path, bool gamePath);
};
}
