#include "core/LuaBindings.h"

// The engine's vocabulary is registered here: add a row per bound function,
// in the order scripts should see them registered, before the closing pair
// of nulls.
namespace core
{
const luaL_Reg sessionStaticMethods[] = {
    {nullptr, nullptr},
};

const luaL_Reg sessionMethods[] = {
    {nullptr, nullptr},
};

const luaL_Reg characterStaticMethods[] = {
    {nullptr, nullptr},
};

const luaL_Reg characterMethods[] = {
    {nullptr, nullptr},
};

const luaL_Reg soundHandlerStaticMethods[] = {
    {nullptr, nullptr},
};
}
