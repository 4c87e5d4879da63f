#include "GameConsole.h"

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <sstream>

namespace
{
// A step takes five session updates; two more cover the frame that
// dispatches the release.
const int FRAMES_PER_STEP = 7;
}

std::string GameConsole::nextTag(const std::string& stem)
{
    static std::atomic<int> counter(0);
    return stem + std::to_string(++counter) + "#";
}

std::string GameConsole::printTag(const std::string& tag, const std::string& suffix)
{
    return "print('" + tag.substr(0, 2) + "' .. '" + tag.substr(2) + "'" + suffix + ")";
}

bool GameConsole::open()
{
    if (!_game.keyDown("p"))
        return false;
    // Lines wait in the pipe until the console is open to read them.
    const bool opened = frames(1);
    return _game.keyUp("p") && opened;
}

void GameConsole::close()
{
    _game.writeLine("s:close()");
}

bool GameConsole::frames(int count)
{
    for (int i = 1; i < count; ++i)
        _game.writeLine("");
    const std::string tag = nextTag("ZF");
    _game.writeLine(printTag(tag, ""));
    return _game.waitForOutput(tag, WAIT_MS);
}

bool GameConsole::framesUntil(const std::function<bool()>& done, int rounds)
{
    for (int round = 0; round < rounds; ++round)
    {
        if (!frames(10))
            return false;
        if (done())
            return true;
    }
    return false;
}

bool GameConsole::tap(const std::string& key)
{
    if (!_game.keyDown(key))
        return false;
    // The press is polled at the latest at the end of the frame that reads
    // the first line, and dispatched by the frame that reads the second.
    const bool pressed = frames(2);
    const bool released = _game.keyUp(key);
    return frames(FRAMES_PER_STEP) && pressed && released;
}

bool GameConsole::query(const std::string& luaExpression, std::string& value)
{
    const std::string tag = nextTag("ZQ");
    _game.writeLine(printTag(tag, " .. ' ' .. (" + luaExpression + ")"));
    std::string line;
    if (!_game.waitForOutput(tag + " ", WAIT_MS, &line))
        return false;
    value = line.substr(line.find(tag) + tag.size() + 1);
    return true;
}

bool GameConsole::avatarTile(int& row, int& col)
{
    std::string value;
    if (!query(_avatar + ":getRow() .. ' ' .. " + _avatar + ":getCol()", value))
        return false;
    std::istringstream in(value);
    return static_cast<bool>(in >> row >> col);
}

int GameConsole::flag(const std::string& name)
{
    std::string value;
    if (!query("s:getflag('" + name + "')", value))
        return -9999;
    return std::atoi(value.c_str());
}

std::vector<std::string> GameConsole::sceneIds()
{
    const std::string tag = nextTag("ZC");
    _game.writeLine("s:chars()");
    _game.writeLine(printTag(tag, ""));
    std::vector<std::string> ids;
    if (!_game.waitForOutput(tag, WAIT_MS))
        return ids;
    const std::vector<std::string> lines = _game.outputLines();
    size_t end = lines.size();
    while (end > 0 && lines[end - 1].find(tag) == std::string::npos)
        --end;
    size_t start = end;
    while (start > 0 && lines[start - 1] != "Scene:")
        --start;
    for (size_t i = start; i + 1 < end && !lines[i].empty(); ++i)
        ids.push_back(lines[i]);
    return ids;
}

bool startGame(GameProcess& game)
{
    bool ready = game.launch("OpenGL", 640, 480, 60000);
    if (ready)
    {
        // The console opens only once frames run, and the first frame's
        // update has entered the start-up script's scene.
        GameConsole console(game);
        ready = console.open();
        console.close();
    }
    if (!ready)
    {
        // Say why: the game's last words, if any.
        for (const std::string& line : game.errorLines())
            std::cerr << "zolt stderr: " << line << std::endl;
        const std::vector<std::string> out = game.outputLines();
        for (size_t i = out.size() > 20 ? out.size() - 20 : 0; i < out.size(); ++i)
            std::cerr << "zolt stdout: " << out[i] << std::endl;
    }
    return ready && game.isRunning();
}

std::string GameConsole::ask(const std::string& luaExpression)
{
    std::string value;
    return query(luaExpression, value) ? value : "?";
}

int GameConsole::askInt(const std::string& luaExpression)
{
    return std::atoi(ask(luaExpression).c_str());
}
