#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "combat/CombatManager.h"
#include "script/LuaInterface.h"
#include "script/LuaSandbox.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "support/Files.h"

// Lines an attacker or a careless game maker may hand the engine. Each is
// typed at the developer console and run as a game script file, and each
// must be refused with its line while the game goes on exactly as it was.
using namespace sessiontest;
using namespace testsupport;

namespace
{
struct HostileLine
{
    const char* what;
    const char* lua;
    const char* refusal;
};

// %SENTINEL% is a file that must never come to exist, %KEEP% one that must
// keep its text, %SCRIPTS% the script folder.
const HostileLine HOSTILE_LINES[] = {
    {"shell through io.popen", "io.popen('touch %SENTINEL%')", "io.popen is not available to scripts"},
    {"file written through io.open", "io.open('%SENTINEL%', 'w'):write('x')", "io.open is not available to scripts"},
    {"endless read in C", "for l in io.lines('/dev/zero') do end", "io.lines is not available to scripts"},
    {"standard input read", "io.read()", "io.read is not available to scripts"},
    {"shell through os.execute", "os.execute('touch %SENTINEL%')", "os.execute is not available to scripts"},
    {"file removed", "os.remove('%KEEP%')", "os.remove is not available to scripts"},
    {"file renamed", "os.rename('%KEEP%', '%SENTINEL%')", "os.rename is not available to scripts"},
    {"process ended", "os.exit(7)", "os.exit is not available to scripts"},
    {"environment read", "print(os.getenv('HOME'))", "os.getenv is not available to scripts"},
    {"dofile of an absolute path", "dofile('/etc/hostname')", "is absolute"},
    {"dofile leading out", "dofile('%SCRIPTS%/../../../../etc/hostname')", "leads out of the game's script folder"},
    {"dofile of a game file outside the scripts", "dofile('CMakeLists.txt')", "is outside the game's script folder"},
    {"dofile through a link", "dofile('%SCRIPTS%/link.lua')", "leads through the link"},
    {"dofile of a pipe", "dofile('%SCRIPTS%/pipe.lua')", "is not a plain file"},
    {"loadfile of an absolute path", "assert(loadfile('%KEEP%'))", "is absolute"},
    {"require leading out", "require('..secret')", "is not a module name"},
    {"s:read leading out", "s:read('fenwy', '../../../../tmp/x.lua', 'guard')",
     "leads out of the game's script folder"},
    {"s:read of an absolute path", "s:read('fenwy', '/tmp/x.lua', 'guard')", "is absolute"},
    {"s:read through a link", "s:read('fenwy', 'link.lua', 'guard')", "leads through the link"},
    {"dialog file outside the game", "s:dialog('/etc/passwd', 'start', 'guard')", "path /etc/passwd is absolute"},
    {"dialog file leading out", "s:dialog('assets/../../x.xml', 'start', 'guard')", "leads out of the game folder"},
    {"dialog file that is a pipe", "s:dialog('%SCRIPTS%/pipe.lua', 'start', 'guard')", "pipe.lua is not a plain file"},
    {"forged bytecode", R"(assert(load('\27LuaR\0\1\4\8\4\8\0\25\147\r\n\26\n' .. string.rep('\255', 64))))",
     "attempt to load a binary chunk"},
    {"forged bytecode through loadstring",
     R"(assert((loadstring or load)('\27LuaR\0\1\4\8\4\8\0\25\147\r\n\26\n' .. ('\255'):rep(64))))",
     "attempt to load a binary chunk"},
    {"forged bytecode from a reader",
     R"(local sent = false assert(load(function() if sent then return nil end sent = true)"
     R"( return '\27LuaR\0\1\4\8\4\8\0\25\147\r\n\26\n\0\0\0\0' end)))",
     "attempt to load a binary chunk"},
    {"string.rep of an empty string for ever", "hog = (''):rep(1e15)", "repetitions are over"},
    {"string.rep past the memory", "hog = string.rep('x', 2^31)", "repetitions are over"},
    {"string.rep with a long separator", "hog = ('x'):rep(1e7, ('y'):rep(100))", "bytes is over"},
    {"failing finalizers", "for i = 1, 200000 do setmetatable({}, {__gc = function() error('gc') end}) end",
     "finalizers (__gc) are not available to scripts"},
    {"enter far off the map", "s:enter('testA', 2147483647, -2147483648)", "is off the map"},
    {"enter before the map", "s:enter('testA', -5, -4)", "is off the map"},
    {"enter a closed tile", "s:enter('testWalled', 4, 1)", "testWalled (4, 1) is closed on every side"},
    {"fight against the party", "s:fight('fenwy;')", "fenwy is in the party and cannot be fought"},
    {"fight with a member among enemies", "s:fight('guard;fenwy;')", "fenwy is in the party and cannot be fought"},
    {"avatar removed from the party", "s:removeFromParty('fenwy')", "fenwy is the avatar and cannot leave the party"},
    {"party size after a removal",
     "pcall(s.removeFromParty, s, 'fenwy') error('party size is a ' .. type(s:getPartySize()) .. ' ' .. "
     "tostring(s:getPartySize()))",
     "party size is a number 2"},
};

// A folder inside the game (the working directory), as script folders are.
class ScriptScratch
{
public:
    ScriptScratch()
    {
        char name[] = "zolt-scripts-XXXXXX";
        if (::mkdtemp(name))
            _folder = name;
    }
    ~ScriptScratch()
    {
        std::error_code ignored;
        if (!_folder.empty())
            std::filesystem::remove_all(_folder, ignored);
    }
    ScriptScratch(const ScriptScratch&) = delete;
    ScriptScratch& operator=(const ScriptScratch&) = delete;
    const std::string& folder() const { return _folder; }

private:
    std::string _folder;
};

std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class HostileScripts : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        core::levelNameMap["testWalled"] = dataFile("sceneWalled.xml");
        ASSERT_FALSE(_scripts.folder().empty());
        ASSERT_FALSE(_outside.path().empty());
        _sentinel = _outside.path() + "/sentinel";
        _keep = _outside.path() + "/keep";
        writeText(_keep, "kept");
        std::filesystem::create_symlink("/etc/hostname", _scripts.folder() + "/link.lua");
        ASSERT_EQ(::mkfifo((_scripts.folder() + "/pipe.lua").c_str(), 0600), 0);
        _session = sessionInTestA(3, 1);
        ASSERT_NE(_session, nullptr);
        clearsGlobals({"hog", "sceneGuard"});
    }

    std::string line(const HostileLine& hostile) const
    {
        std::string lua = replaced(hostile.lua, "%SENTINEL%", _sentinel);
        lua = replaced(lua, "%KEEP%", _keep);
        return replaced(lua, "%SCRIPTS%", _scripts.folder());
    }

    // Everything a hostile line could have broken, checked after each.
    void expectGameIntact()
    {
        EXPECT_FALSE(std::filesystem::exists(_sentinel));
        EXPECT_EQ(readText(_keep), "kept");
        ASSERT_NE(_session->getCurrentScene(), nullptr);
        EXPECT_EQ(_session->getCurrentScene()->getId(), "testA");
        EXPECT_EQ(_session->getNextScene(), nullptr) << "no scene change is pending";
        EXPECT_FALSE(_session->getCombatManager().isInCombat());
        ASSERT_NE(_session->getAvatar(), nullptr);
        EXPECT_EQ(_session->getAvatar()->getId(), "fenwy");
        EXPECT_EQ(_session->getAvatar()->getPosition(), glm::vec2(3.0f, 1.0f));
        EXPECT_EQ(luaInt("s:getPartySize()"), 2);
        // The scene's characters keep their names, whatever was built.
        core::Entity* guard = _session->getCurrentScene()->getEntity("guard");
        ASSERT_NE(guard, nullptr);
        core::LuaInterface::registerAlias(guard->getLuaRef(), "sceneGuard");
        EXPECT_EQ(luaInt("rawequal(guard, sceneGuard) and 1 or 0"), 1);
        // Later lines still work, collector and all.
        EXPECT_EQ(luaInt("#string.rep('ab', 3) + collectgarbage('count') * 0"), 6);
    }

    core::Session* _session = nullptr;
    ScriptScratch _scripts;
    ScratchFolder _outside{"zolt-hostile"};
    std::string _sentinel;
    std::string _keep;
};
}

TEST_F(HostileScripts, ConsoleLinesAreRefusedWithTheirLineAndChangeNothing)
{
    ScriptFolder scripts(_scripts.folder());
    for (const HostileLine& hostile : HOSTILE_LINES)
    {
        SCOPED_TRACE(hostile.what);
        ErrorCapture errors;
        StdinFeed input(line(hostile) + "\n");
        StdoutCapture output;
        _session->prompt();
        EXPECT_NE(output.text().find(hostile.refusal), std::string::npos) << output.text();
        EXPECT_NE(errors.text().find(hostile.refusal), std::string::npos) << errors.text();
        expectGameIntact();
    }
}

TEST_F(HostileScripts, GameScriptsAreRefusedWithTheirLineAndChangeNothing)
{
    ScriptFolder scripts(_scripts.folder());
    for (const HostileLine& hostile : HOSTILE_LINES)
    {
        SCOPED_TRACE(hostile.what);
        writeText(_scripts.folder() + "/hostile.lua", line(hostile) + "\n");
        ErrorCapture errors;
        core::LuaInterface::runScript("hostile.lua");
        EXPECT_NE(errors.text().find(hostile.refusal), std::string::npos) << errors.text();
        EXPECT_NE(errors.text().find("hostile.lua"), std::string::npos) << "the line names the script";
        expectGameIntact();
    }
}

TEST_F(HostileScripts, AfterFailingFinalizersTheConsoleStillWorksAndCloses)
{
    clearsGlobals({"afterwards"});
    _session->openConsole();
    StdinFeed input("for i = 1, 200000 do pcall(setmetatable, {}, {__gc = function() error('gc') end}) end\n"
                    "collectgarbage('collect') afterwards = 1 Session.sayHi()\n"
                    "s:close()\n");
    StdoutCapture output;
    ErrorCapture errors;
    LogTail debug("debug");
    _session->update();
    _session->update();
    EXPECT_NE(debug.text().find("HI\n"), std::string::npos) << output.text();
    EXPECT_EQ(luaInt("afterwards"), 1);
    EXPECT_EQ(output.text().find("error in __gc"), std::string::npos) << output.text();
    EXPECT_TRUE(_session->isConsoleOpen());
    _session->update();
    EXPECT_FALSE(_session->isConsoleOpen()) << "s:close() worked";
    EXPECT_EQ(input.remaining(), "");
}

TEST_F(HostileScripts, ScriptsStillReachTheGamesOwnScripts)
{
    ScriptFolder scripts(_scripts.folder());
    writeText(_scripts.folder() + "/helper.lua", "helperRuns = (helperRuns or 0) + 1 return 40 + (... and 0 or 2)");
    std::filesystem::create_directory(_scripts.folder() + "/quests");
    writeText(_scripts.folder() + "/quests/village.lua", "return {name = 'village'}");
    clearsGlobals({"helperRuns", "results"});
    ErrorCapture errors;
    const std::string folder = "./" + _scripts.folder();
    core::LuaInterface::runString("results = dofile('" + folder +
                                  "/helper.lua') .. ' ' .."
                                  " loadfile('" +
                                  _scripts.folder() +
                                  "/helper.lua')() .. ' ' .."
                                  " require('helper') .. ' ' .. tostring(require('helper')) .. ' ' .."
                                  " require('quests.village').name");
    EXPECT_EQ(errors.text(), "");
    EXPECT_EQ(luaString("results"), "42 42 40 40 village");
    EXPECT_EQ(luaInt("helperRuns"), 3) << "require runs a module once";
    // Text chunks load as before, with an environment when given one.
    EXPECT_EQ(luaInt("load('return x', 'chunk', 'bt', {x = 5})()"), 5);
    EXPECT_EQ(luaInt("loadfile('" + folder + "/helper.lua', 't', {})()"), 42);
    EXPECT_EQ(luaInt("helperRuns"), 3) << "the chunk counted in its own environment";
}

TEST_F(HostileScripts, TheUnsafeConsoleIsAnOptInForTheConsoleAlone)
{
    ScriptFolder scripts(_scripts.folder());
    core::LuaSandbox::setUnsafeConsole(true);
    StdinFeed input("io.open('" + _sentinel + "', 'w'):close() consoleWrote = os.getenv and 1\n");
    StdoutCapture output;
    ErrorCapture errors;
    _session->prompt();
    EXPECT_TRUE(std::filesystem::exists(_sentinel)) << output.text();
    EXPECT_EQ(luaInt("consoleWrote"), 1) << "console globals are the game's";
    // A game script run meanwhile still has no io.
    writeText(_scripts.folder() + "/hostile.lua", "io.open('" + _keep + "', 'w')\n");
    core::LuaInterface::runScript("hostile.lua");
    EXPECT_NE(errors.text().find("io.open is not available to scripts"), std::string::npos) << errors.text();
    EXPECT_EQ(readText(_keep), "kept");
    core::LuaSandbox::setUnsafeConsole(false);
    std::filesystem::remove(_sentinel);
    StdinFeed again("io.open('" + _sentinel + "', 'w'):close()\n");
    _session->prompt();
    EXPECT_FALSE(std::filesystem::exists(_sentinel)) << "off again, the console is sandboxed";
    clearLuaGlobal("consoleWrote");
}
