#pragma once

#include <functional>
#include <string>
#include <vector>

#include "GameProcess.h"

// The developer console of a running game, driven so that every step waits
// for the game to confirm it rather than for a fixed time: on a loaded
// machine one frame may take longer than any pause a test could pick.
//
// While the console is open the game reads one line per frame, so lines
// written to it count frames. Markers printed by the game are built from two
// Lua strings, so only the printed line holds a marker whole, never the echo.
class GameConsole
{
public:
    // How long any single wait may take before the test gives up.
    static const int WAIT_MS = 30000;

    explicit GameConsole(GameProcess& game) : _game(game) {}

    // Holds P until the console reads a line, so the press cannot be lost
    // in a slow frame.
    bool open();
    // The console closes after this command; frames run freely again.
    void close();
    // Lets `count` frames run and waits until the last has read its line.
    bool frames(int count);
    // Lets frames run, ten at a time, until `done` holds; false when it has
    // not after `rounds` tries.
    bool framesUntil(const std::function<bool()>& done, int rounds = 300);
    // Presses and releases a key so that exactly one frame sees it go down;
    // then lets enough frames run for a step to finish.
    bool tap(const std::string& key);

    // Prints the value of a Lua expression and reads it back.
    bool query(const std::string& luaExpression, std::string& value);
    // The value as query reads it, "?" when it did not arrive.
    std::string ask(const std::string& luaExpression);
    // The value as a number, 0 when it is not one or did not arrive.
    int askInt(const std::string& luaExpression);
    bool avatarTile(int& row, int& col);
    // The avatar's id (its Lua global): the demo's unless a test plays
    // another game.
    void setAvatar(const std::string& id) { _avatar = id; }
    const std::string& avatar() const { return _avatar; }
    // -9999 when the value did not arrive.
    int flag(const std::string& name);
    // The ids that s:chars() lists under "Scene:".
    std::vector<std::string> sceneIds();

private:
    // Unique in the whole test program, so that a marker never matches the
    // output of an earlier wait.
    static std::string nextTag(const std::string& stem);
    static std::string printTag(const std::string& tag, const std::string& suffix);

    GameProcess& _game;
    std::string _avatar = "fenwy";
};

// Starts the game, waits for its window and then for frames to run (the
// start-up script has entered the first scene by then). On failure writes
// the game's last output to standard error.
bool startGame(GameProcess& game);
