#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Session.h"

namespace gui
{
class GUIElement;
class GUIMenu;
}

namespace sessiontest
{
// Lua classes registered, the test scenes known to the resource database,
// the input manager emptied and the log streams the session code writes to
// routed to memory. Call at the start of every test.
void prepare();

// Path of a file under tests/core/session/data, relative to the repository root.
std::string dataFile(const std::string& name);

// A session built from a file in the data folder, living in Lua memory like
// the game's own (scripts reach it as "s").
core::Session* buildSession(const std::string& name = "session.xml");

// Lua helpers: globals written by test scripts, and a chunk run for its
// result.
int luaInt(const std::string& expression);
std::string luaString(const std::string& expression);
bool luaIsNil(const std::string& expression);
void clearLuaGlobal(const std::string& name);

// What a named log stream wrote from construction on.
class LogTail
{
public:
    explicit LogTail(const std::string& streamName);
    std::string text() const;
    bool contains(const std::string& needle) const { return text().find(needle) != std::string::npos; }

private:
    std::ostringstream* _stream;
    size_t _start;
};

// The error log, captured while the object lives.
class ErrorCapture
{
public:
    ErrorCapture();
    ~ErrorCapture();
    std::string text() const { return _stream.str(); }

private:
    std::ostringstream _stream;
};

// Standard output captured while the object lives.
class StdoutCapture
{
public:
    StdoutCapture();
    ~StdoutCapture();
    std::string text() const { return _stream.str(); }

private:
    std::ostringstream _stream;
    std::streambuf* _old;
};

// Standard input replaced by the given text while the object lives; the
// stream state is cleared on both ends.
class StdinFeed
{
public:
    explicit StdinFeed(const std::string& text);
    ~StdinFeed();
    std::string remaining();

private:
    std::istringstream _stream;
    std::streambuf* _old;
};

// A session from session.xml that has entered the test scene "testA" with
// the avatar at (row, col); null when it could not be built.
core::Session* sessionInTestA(int row = 3, int col = 3);

// n session updates: with nothing else moving, five finish one step.
void updateTimes(core::Session& session, int n);

// Runs frames (session updates and timed processes) until the enemies'
// turn is over; false if it does not end within a generous number.
bool finishEnemyTurn(core::Session& session, int maxFrames = 2000);

// What the menus show: whether a widget is up, and a menu's entry texts.
bool shown(const gui::GUIElement* widget);
std::vector<std::string> optionsOf(const gui::GUIMenu* menu);
}
