#pragma once

#include <lua.hpp>

// The engine's scripting vocabulary: the registration tables that
// LuaInterface::init hands to Lua (initLuaBindings gives them to it). Each table is a list of (name, native
// function) rows in registration order, closed by a pair of nulls.
namespace core
{
// Fields of the global `Session` (called with dot syntax).
extern const luaL_Reg sessionStaticMethods[];
// Methods on the session's object table `s` (colon syntax).
extern const luaL_Reg sessionMethods[];
// Fields of the global `Character`; characters have no static functions.
extern const luaL_Reg characterStaticMethods[];
// Methods on every character's object table (colon syntax).
extern const luaL_Reg characterMethods[];
// Fields of the global `SoundHandler` (dot syntax).
extern const luaL_Reg soundHandlerStaticMethods[];

// Hands the tables above to the Lua interface and registers them
// (LuaInterface::init); call once before any session or character is built.
void initLuaBindings();
}
