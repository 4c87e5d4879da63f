#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "application/ProcessRestart.h"
#include "application/ZOLT.h"
#include "core/LuaSandbox.h"
#include "util/DataPaths.h"

namespace
{
const char* const USAGE = "usage: zolt [GAME_FOLDER]\n"
                          "       zolt --unsafe-console [GAME_FOLDER]\n"
                          "Runs the game in GAME_FOLDER (a folder holding an assets folder), else\n"
                          "the one named by ZOLT_GAME_DIR, else the working directory when it holds\n"
                          "a game, else the installed demo game.\n"
                          "  --unsafe-console  lines typed at the developer console (P) may also use\n"
                          "                    Lua's io and os libraries, dofile, loadfile and binary\n"
                          "                    chunks: the whole machine. Game scripts never can.\n";
const char* const UNSAFE_CONSOLE = "--unsafe-console";
}

int main(int argc, char** argv)
{
    std::string requested;
    int first = 1;
    // The opt-in comes first, so a game folder may have any name.
    if (argc > first && std::strcmp(argv[first], UNSAFE_CONSOLE) == 0)
    {
        core::LuaSandbox::setUnsafeConsole(true);
        ++first;
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
    // Taken before the game folder becomes the working directory, in case
    // the program is known only by a relative argv[0].
    const std::string program = DataPaths::programPath(argv[0]);
    const std::string root = DataPaths::findGameRoot(requested, program);
    if (root.empty())
    {
        if (requested.empty())
            std::fprintf(stderr,
                         "zolt: no game found (no assets folder here, in the checkout or in the installed data)\n");
        else
            std::fprintf(stderr, "zolt: %s holds no game (no assets folder)\n", requested.c_str());
        std::fputs(USAGE, stderr);
        return 2;
    }
    // Every data path of the engine is relative to the game's folder.
    if (root != "." && ::chdir(root.c_str()) != 0)
    {
        std::perror(("zolt: " + root).c_str());
        return 2;
    }
    application::ZOLT app;
    app.runApp();
    if (app.restartRequested())
    {
        // The game folder is the working directory by now.
        char here[4096];
        if (::getcwd(here, sizeof here))
            application::ProcessRestart::restart(program, here);
    }
    return 1;
}
