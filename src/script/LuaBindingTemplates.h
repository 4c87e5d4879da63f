#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include <lua.hpp>

#include "script/LuaInterface.h"

// Bindings written once and generated for each C++ function they call: a
// member function of the receiver's class, or a free function that takes
// the receiver first (for calls that need a line of glue). The receiver is
// checked, then every argument is read and checked in order, then the
// function is called, then its result is reported by type.
//
// Lua raises its errors with longjmp, which skips C++ destructors: the
// arguments are read into plain values (a string stays Lua's own const
// char*), and nothing that needs cleaning up exists until all of them have
// passed their checks.
namespace core
{
namespace luabinding
{
// How a parameter of C++ type T is read from the stack, and the plain type
// it is held in until the call.
template <typename T>
struct Argument;

template <>
struct Argument<int>
{
    using Raw = int;
    static Raw read(lua_State* ls, int& pos) { return LuaInterface::getLuaInt(ls, pos); }
};

template <>
struct Argument<bool>
{
    using Raw = bool;
    static Raw read(lua_State* ls, int& pos) { return LuaInterface::getLuaBool(ls, pos); }
};

template <>
struct Argument<double>
{
    using Raw = double;
    static Raw read(lua_State* ls, int& pos) { return LuaInterface::getLuaDouble(ls, pos); }
};

template <>
struct Argument<const std::string&>
{
    using Raw = const char*;
    static Raw read(lua_State* ls, int& pos) { return LuaInterface::getLuaString(ls, pos); }
};

// How a result of C++ type T becomes the binding's one Lua result.
template <typename T>
struct Result;

template <>
struct Result<int>
{
    static void push(lua_State* ls, int value) { lua_pushinteger(ls, value); }
};

template <>
struct Result<bool>
{
    static void push(lua_State* ls, bool value) { lua_pushboolean(ls, value ? 1 : 0); }
};

template <>
struct Result<std::string>
{
    static void push(lua_State* ls, const std::string& value) { lua_pushlstring(ls, value.data(), value.size()); }
};

template <typename... Params>
struct Types
{
    static constexpr std::size_t count = sizeof...(Params);
};

// The result and parameter types of a bindable function, the receiver left
// out.
template <typename Function>
struct Signature;

template <typename Class, typename R, typename... Params>
struct Signature<R (Class::*)(Params...)>
{
    using Returns = R;
    using Arguments = Types<Params...>;
};

template <typename Class, typename R, typename... Params>
struct Signature<R (Class::*)(Params...) const> : Signature<R (Class::*)(Params...)>
{
};

template <typename R, typename Receiver, typename... Params>
struct Signature<R (*)(Receiver&, Params...)>
{
    using Returns = R;
    using Arguments = Types<Params...>;
};

template <typename Receiver, auto Function, bool Reports, typename... Params, std::size_t... I>
int callWith(lua_State* ls, Types<Params...>, std::index_sequence<I...>)
{
    int pos = 1;
    Receiver* receiver = LuaInterface::initLuaCall<Receiver>(ls, pos);
    static_assert((std::is_trivially_destructible_v<typename Argument<Params>::Raw> && ...),
                  "a Lua error while reading the next argument would skip this one's destructor");
    // A braced list is evaluated left to right: arguments are read, and
    // their errors raised, in the order the script wrote them.
    const std::tuple<typename Argument<Params>::Raw...> raw{Argument<Params>::read(ls, pos)...};
    (void)raw;
    using Returns = typename Signature<decltype(Function)>::Returns;
    if constexpr (Reports && !std::is_void_v<Returns>)
        Result<std::decay_t<Returns>>::push(ls, std::invoke(Function, *receiver, std::get<I>(raw)...));
    else
        std::invoke(Function, *receiver, std::get<I>(raw)...);
    // One with nothing to report leaves whatever is on top of the stack,
    // as every binding reports exactly one result.
    return 1;
}

template <typename Receiver, auto Function, bool Reports>
int bound(lua_State* ls)
{
    using Arguments = typename Signature<decltype(Function)>::Arguments;
    return callWith<Receiver, Function, Reports>(ls, Arguments(), std::make_index_sequence<Arguments::count>());
}
}

// A method of Receiver's script class that calls Function and reports its
// result (an int, bool or string; nothing for void).
template <typename Receiver, auto Function>
int boundMethod(lua_State* ls)
{
    return luabinding::bound<Receiver, Function, true>(ls);
}

// The same for a function whose result scripts have never been given: it
// is dropped, and the call reports nothing, as a void one does.
template <typename Receiver, auto Function>
int boundCommand(lua_State* ls)
{
    return luabinding::bound<Receiver, Function, false>(ls);
}
}
