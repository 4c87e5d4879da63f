// zolt-check [GAME_ROOT]: checks a game's whole asset tree with the engine's
// own loaders and prints every problem as "file:line: message" (line 0: the
// file as a whole), paths relative to the game's folder. Exit status 0 for a
// clean tree, 1 when anything was found, 2 when there is no game to check.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <unistd.h>

#include "check/AssetChecker.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "util/DataPaths.h"
#include "util/GameFiles.h"

namespace
{
const char* const USAGE = "usage: zolt-check [GAME_ROOT]\n"
                          "Checks the game in GAME_ROOT (a folder holding game.xml or an assets folder,\n"
                          "or a .zip archive of one; by default the working directory, else the\n"
                          "installed demo game) and prints each problem\n"
                          "as file:line: message. Exits 0 when the game is clean, 1 when problems were\n"
                          "found, 2 when there is no game to check.\n";

// The loaders write their own progress to standard output; only the
// findings belong there.
class QuietOutput
{
public:
    QuietOutput() : _kept(std::cout.rdbuf(nullptr)) {}
    ~QuietOutput() { std::cout.rdbuf(_kept); }

private:
    std::streambuf* _kept;
};
}

int main(int argc, char** argv)
{
    std::string requested;
    if (argc > 2)
    {
        std::fputs(USAGE, stderr);
        return 2;
    }
    if (argc == 2)
    {
        if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        {
            std::fputs(USAGE, stdout);
            return 0;
        }
        requested = argv[1];
    }
    const std::string root = DataPaths::findGameRoot(requested, DataPaths::programPath(argv[0]));
    if (root.empty())
    {
        std::fprintf(stderr, "zolt-check: %s holds no game (no assets folder)\n",
                     requested.empty() ? "this folder" : requested.c_str());
        return 2;
    }
    // A folder is checked where it lies, as the working directory; an
    // archive is read through the game's files (the game alone, so that
    // what it lacks of the engine's own files is still told).
    std::string problem;
    if (DataPaths::isGameFile(root) ? !GameFiles::mount(root, "", problem) : ::chdir(root.c_str()) != 0)
    {
        if (problem.empty())
            std::perror(("zolt-check: " + root).c_str());
        else
            std::fprintf(stderr, "zolt-check: %s\n", problem.c_str());
        return 2;
    }
    std::vector<core::AssetChecker::Problem> problems;
    {
        QuietOutput quiet;
        core::initEngine();
        core::AssetChecker checker;
        problems = checker.check();
    }
    for (const core::AssetChecker::Problem& problem : problems)
        std::printf("%s\n", core::AssetChecker::format(problem).c_str());
    if (!problems.empty())
        std::fprintf(stderr, "zolt-check: %zu problem%s in %s\n", problems.size(), problems.size() == 1 ? "" : "s",
                     root.c_str());
    return problems.empty() ? 0 : 1;
}
