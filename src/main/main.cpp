#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "Log/Log.h"
#include "application/ProcessRestart.h"
#include "application/ZOLT.h"
#include "script/LuaSandbox.h"
#include "util/DataPaths.h"
#include "util/GameFiles.h"

namespace
{
const char* const USAGE = "usage: zolt [GAME_FOLDER]\n"
                          "       zolt GAME.zip\n"
                          "       zolt --unsafe-console [GAME_FOLDER | GAME.zip]\n"
                          "       zolt --new-game [--unsafe-console] [GAME_FOLDER | GAME.zip]\n"
                          "Runs the game in GAME_FOLDER (a folder holding game.xml or an assets\n"
                          "folder), or the one in GAME.zip (a .zip archive of such a folder: its\n"
                          "files at the top of the archive or inside one top folder). Without an\n"
                          "argument, the one named by ZOLT_GAME_DIR, else the working directory when\n"
                          "it holds a game, else the installed demo game. Saves go to the player's\n"
                          "data folder, never into the game.\n"
                          "  --new-game        starts straight in the game's first scene, without the\n"
                          "                    title screen (for tests and tools).\n"
                          "  --unsafe-console  lines typed at the developer console (P) may also use\n"
                          "                    Lua's io and os libraries, dofile, loadfile and binary\n"
                          "                    chunks: the whole machine. Game scripts never can.\n"
                          "Keys for makers:\n"
                          "  F3   shows (and hides) the walking grid over the map: closed sides of\n"
                          "       cells in yellow, fully closed cells in red, trigger tiles in green\n"
                          "  F6   takes in changed game files at once\n"
                          "  F12  keeps a screenshot of the window\n";
const char* const UNSAFE_CONSOLE = "--unsafe-console";
const char* const NEW_GAME = "--new-game";

void refuse(const std::string& problem)
{
    Log::plainError() << "zolt: " << problem << std::endl;
    Log::error() << "zolt: " << problem << std::endl;
}

// Mounts the game for every read of its data. A folder also becomes the
// working directory, as it always was; an archive leaves it where it is, so
// nothing is written inside or beside the archive.
bool openGame(const std::string& root, const std::string& program)
{
    std::error_code error;
    const std::string location = std::filesystem::absolute(root, error).lexically_normal().string();
    if (error)
    {
        refuse(root + ": " + error.message());
        return false;
    }
    if (!DataPaths::isGameFile(location) && root != "." && ::chdir(location.c_str()) != 0)
    {
        refuse(root + ": " + std::strerror(errno));
        return false;
    }
    std::string problem;
    if (!GameFiles::mount(location, DataPaths::engineDataDirectory(program), problem))
    {
        refuse(problem);
        return false;
    }
    return true;
}
}

int main(int argc, char** argv)
{
    std::string requested;
    int first = 1;
    bool newGame = false;
    // The options come first, in any order, so a game folder may have any
    // name.
    for (; argc > first; ++first)
    {
        if (std::strcmp(argv[first], UNSAFE_CONSOLE) == 0)
            core::LuaSandbox::setUnsafeConsole(true);
        else if (std::strcmp(argv[first], NEW_GAME) == 0)
            newGame = true;
        else
            break;
    }
    if (argc > first)
    {
        if (std::strcmp(argv[first], "--help") == 0 || std::strcmp(argv[first], "-h") == 0)
        {
            std::fputs(USAGE, stdout);
            return 0;
        }
        requested = argv[first];
    }
    else if (const char* fromEnvironment = std::getenv("ZOLT_GAME_DIR"))
    {
        requested = fromEnvironment;
    }
    // Taken before a game folder becomes the working directory, in case the
    // program is known only by a relative argv[0].
    const std::string program = DataPaths::programPath(argv[0]);
    const std::string root = DataPaths::findGameRoot(requested, program);
    if (root.empty())
    {
        if (requested.empty())
            Log::plainError() << "zolt: no game found (no assets folder here, in the checkout or in the installed data)"
                              << std::endl;
        else
            Log::plainError() << "zolt: " << requested << " holds no game (no game.xml or assets folder)" << std::endl;
        Log::plainError() << USAGE << std::flush;
        return 2;
    }
    if (!openGame(root, program))
        return 2;
    application::ZOLT app;
    app.setStartsNewGame(newGame);
    app.runApp();
    if (app.restartRequested())
    {
        // The game as it was mounted: an absolute path, whatever the
        // working directory is by now.
        application::ProcessRestart::restart(program, GameFiles::location(), !app.restartsAtTitle());
    }
    return 1;
}
