#include <gtest/gtest.h>

#include <list>
#include <stdexcept>

#include "LuaTestSupport.h"
#include "script/LuaInterface.h"

// Hostile and careless scripts: whatever they do, the engine sees a Lua
// error, never a dangling pointer, a frozen game or an exhausted machine.
using core::LuaInterface;

namespace
{
struct Vault
{
    int value;
};
}

template <>
struct core::LuaClass<Vault>
{
    static const char* name() { return "Vault"; }
};

namespace
{
int vaultGet(lua_State* ls)
{
    int pos = 1;
    lua_pushinteger(ls, LuaInterface::initLuaCall<Vault>(ls, pos)->value);
    return 1;
}

int vaultThrow(lua_State* ls)
{
    int pos = 1;
    LuaInterface::initLuaCall<Vault>(ls, pos);
    throw std::runtime_error("the engine gave up");
}

int vaultSet(lua_State* ls)
{
    int pos = 1;
    Vault* vault = LuaInterface::initLuaCall<Vault>(ls, pos);
    vault->value = LuaInterface::getLuaInt(ls, pos);
    return 1;
}

const luaL_Reg vaultMethods[] = {{"get", vaultGet}, {"explode", vaultThrow}, {"set", vaultSet}, {nullptr, nullptr}};

Vault* bindVault(const std::string& name, int value)
{
    LuaInterface::addClass("Vault", nullptr, vaultMethods);
    // Kept for the whole run, as the engine keeps the objects it publishes.
    static std::list<Vault> vaults;
    vaults.push_back(Vault{value});
    Vault* vault = &vaults.back();
    LuaInterface::pushObjectOfClass("Vault", vault);
    LuaInterface::registerAlias(LuaInterface::getReference(), name);
    return vault;
}

// Runs the chunk; the global "result" then holds what it left there.
std::string run(const std::string& chunk)
{
    LuaInterface::runString("result = nil " + chunk);
    return globalAsString("result");
}

// Restores the limits that a test lowers.
class LimitsGuard
{
public:
    LimitsGuard() : _seconds(LuaInterface::getScriptTimeLimit()), _bytes(LuaInterface::getMemoryLimit()) {}
    ~LimitsGuard()
    {
        LuaInterface::setScriptTimeLimit(_seconds);
        LuaInterface::setMemoryLimit(_bytes);
    }

private:
    double _seconds;
    size_t _bytes;
};
}

TEST(LuaHardening, CoreCannotBeReplacedOrRemoved)
{
    bindVault("vault", 11);
    ErrorCapture errors;
    for (const char* attack :
         {"vault.core_ = nil", "vault.core_ = vault.core_", "vault.core_ = {}", "vault['core_'] = false"})
    {
        SCOPED_TRACE(attack);
        run(std::string("result = select(2, pcall(function() ") + attack + " end))");
        EXPECT_NE(globalAsString("result").find("cannot be replaced or removed"), std::string::npos);
        EXPECT_EQ(run("result = type(vault.core_)"), "userdata");
        EXPECT_EQ(run("result = vault:get()"), "11");
    }
    // Other fields are the script's own to set.
    EXPECT_EQ(run("vault.note = 'mine' result = vault.note"), "mine");
    EXPECT_EQ(run("result = pcall(setmetatable, vault, nil)"), "false");
}

TEST(LuaHardening, ObjectsSurviveWhateverIsDoneToTheirTables)
{
    Vault* vault = bindVault("kept", 5);
    ErrorCapture errors;
    // A raw write gets past __newindex, but the engine never reads the
    // table's own field: the object stays where the engine put it.
    LuaInterface::runString("rawset(kept, 'core_', 42) collectgarbage('collect')"
                            " collectgarbage('collect') kept:set(8)");
    EXPECT_EQ(vault->value, 8);
    // The last script reference gone: the memory is still the engine's.
    LuaInterface::runString("local again = kept kept = nil collectgarbage('collect')");
    vault->value = 9;
    EXPECT_EQ(vault->value, 9);
    // A table made to look like an object is not one.
    bindVault("model", 3);
    EXPECT_NE(run("local fake = setmetatable({}, getmetatable(model))"
                  " result = select(2, pcall(fake.get, fake))")
                  .find("MetaVault expected, got nil"),
              std::string::npos)
        << globalAsString("result");
}

TEST(LuaHardening, EngineExceptionsBecomeLuaErrorsOfTheCallingScript)
{
    bindVault("fragile", 1);
    ErrorCapture errors;
    EXPECT_EQ(run("local ok, e = pcall(fragile.explode, fragile) result = e"), "engine failure: the engine gave up");
    LuaInterface::runString("fragile:explode()");
    EXPECT_NE(errors.text().find("engine failure: the engine gave up"), std::string::npos);
    EXPECT_EQ(run("result = fragile:get()"), "1") << "the state stays usable";
}

TEST(LuaHardening, NumbersOutsideTheIntegerRangeAreRefused)
{
    Vault* vault = bindVault("numbers", 4);
    ErrorCapture errors;
    for (const char* value : {"2^31", "-2^31 - 1", "1e300", "0/0", "math.huge"})
    {
        SCOPED_TRACE(value);
        EXPECT_NE(run(std::string("result = select(2, pcall(numbers.set, numbers, ") + value + "))")
                      .find("number out of the integer range"),
                  std::string::npos);
    }
    EXPECT_EQ(vault->value, 4);
    LuaInterface::runString("numbers:set(-2^31)");
    EXPECT_EQ(vault->value, -2147483647 - 1);
}

TEST(LuaHardening, ErrorsOfInlineScriptsAreLoggedNamingTheScript)
{
    ErrorCapture errors;
    LuaInterface::runString("local x = = 1");
    EXPECT_NE(errors.text().find("LuaInterface::runString - [string \"local x = = 1\"]:1:"), std::string::npos)
        << errors.text();
    EXPECT_NE(LuaInterface::lastError().find("unexpected symbol"), std::string::npos);
    errors.clear();
    LuaInterface::runString("error('raised here')", "trigger on the bridge");
    EXPECT_EQ(errors.text(), Log::prefix("Error") + "LuaInterface::runString - trigger on the bridge:1: raised here\n");
    LuaInterface::runString("x = 1");
    EXPECT_EQ(LuaInterface::lastError(), "") << "a good run clears the last error";
}

TEST(LuaHardening, ARunawayScriptIsStoppedAndNamed)
{
    LimitsGuard limits;
    LuaInterface::setScriptTimeLimit(0.05);
    ErrorCapture errors;
    LuaInterface::runString("while true do end", "spinner");
    EXPECT_NE(errors.text().find("spinner ran longer than 0.05 seconds and was stopped"), std::string::npos)
        << errors.text();
    // Catching the error does not buy the script more time.
    errors.clear();
    LuaInterface::runString("while true do pcall(function() while true do end end) end", "stubborn");
    EXPECT_NE(errors.text().find("stubborn ran longer than"), std::string::npos) << errors.text();
    // Without a name, the script is named by its first line.
    errors.clear();
    LuaInterface::runString("x = 0 while true do x = x + 1 end");
    EXPECT_NE(errors.text().find("script \"x = 0 while true do x = x + 1 end\" ran longer"), std::string::npos)
        << errors.text();
    EXPECT_EQ(run("result = 6 * 7"), "42") << "later scripts run normally";
}

TEST(LuaHardening, RunawayAllocationFailsAsALuaMemoryError)
{
    LimitsGuard limits;
    LuaInterface::setMemoryLimit(LuaInterface::memoryInUse() + 16 * 1024 * 1024);
    ErrorCapture errors;
    LuaInterface::runString("hog = 'a' while true do hog = hog .. hog end");
    EXPECT_NE(errors.text().find("not enough memory"), std::string::npos) << errors.text();
    LuaInterface::runString("hog = {} for i = 1, 1e8 do hog[i] = i end");
    EXPECT_NE(errors.text().find("not enough memory"), std::string::npos) << errors.text();
    LuaInterface::runString("hog = nil collectgarbage('collect')");
    EXPECT_LT(LuaInterface::memoryInUse(), LuaInterface::getMemoryLimit());
    EXPECT_EQ(run("result = #string.rep('b', 1000)"), "1000");
}
