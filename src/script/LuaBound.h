#pragma once

namespace core
{
// An engine object that scripts know through a reference into Lua's
// registry (its object table). Entities are.
class LuaBound
{
public:
    virtual ~LuaBound() = default;

    virtual void setLuaRef(int luaRef) = 0;
    virtual int getLuaRef() const = 0;
};
}
