#pragma once

#include <string>
#include <vector>

// Where the engine's programs find a game and keep the player's files:
// an installed copy reads the data folder it was installed with (or one on
// XDG_DATA_DIRS), a build reads the checkout it was built from, and saves
// go below the player's XDG data folder.
class DataPaths
{
public:
    // $XDG_DATA_HOME/zolt, or ~/.local/share/zolt; empty when neither
    // XDG_DATA_HOME nor HOME says where the player's files go.
    static std::string userDataDirectory();

    // $XDG_STATE_HOME/zolt, or ~/.local/state/zolt: where logs go, never
    // into the game's own folder. Empty when nothing says where.
    static std::string userStateDirectory();

    // The engine's own data file at `relative` (for example the default
    // manifest): the checkout's for a program in its build folder, else the
    // first installed data folder holding it. Empty when none does.
    static std::string engineDataFile(const std::string& relative);

    // The folders searched for installed data, in order: the one beside the
    // program (<prefix>/bin/../share/zolt), each of XDG_DATA_DIRS (default
    // /usr/local/share:/usr/share) with /zolt appended, then the folder the
    // program was installed to.
    static std::vector<std::string> dataDirectoryCandidates(const std::string& programPath);

    // The first of `candidates` that holds `marker` (a relative path); empty
    // when none does.
    static std::string firstHolding(const std::vector<std::string>& candidates, const std::string& marker);

    // The game to run (a folder, or the .zip archive asked for): the one
    // asked for, else the working directory
    // when it holds a game, else (for a program in its build folder) the
    // checkout it was built from, else the installed data folders in the
    // order above. Empty when none holds a game.
    static std::string findGameRoot(const std::string& requested, const std::string& programPath);

    // A folder holds a game when it has game.xml or an assets folder.
    static bool holdsGame(const std::string& folder);

    // A game given as one file (a .zip archive of its folder).
    static bool isGameFile(const std::string& path);

    // The folder of the engine's own data (shaders, default font, default
    // manifest) that stands behind every game: the checkout for a program in
    // its build folder, else the first installed data folder that has them.
    // Empty when none does.
    static std::string engineDataDirectory(const std::string& programPath);

    // True for a program that lies in the build folder it was built in.
    static bool runsFromBuildFolder(const std::string& programPath);

    // The running program's own path (through /proc), else argv[0].
    static std::string programPath(const char* argv0);
};
