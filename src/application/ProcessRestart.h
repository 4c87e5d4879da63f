#pragma once

#include <string>

namespace application
{
// Starts the game afresh in the same process: the program image is replaced
// by a new run of itself, so every singleton, Lua global, scene and widget
// of the old run is gone, and the new run is built the way start-up always
// builds it. The standard streams stay, so a terminal or a console pipe
// keeps talking to the game; every other descriptor (the window's display
// connection, files, the audio device) closes.
class ProcessRestart
{
public:
    // The new run gets the game folder as its argument, after --new-game
    // when it starts in the first scene rather than on the title screen.
    // Only returns when the new run could not be started (false, with the
    // reason on standard error).
    static bool restart(const std::string& programPath, const std::string& gameFolder, bool newGame = true);

private:
    static void closeOnExecAbove(int lowestFd);
};
}
