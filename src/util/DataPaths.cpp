#include "util/DataPaths.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

#ifndef ZOLT_INSTALL_DATA_DIR
#define ZOLT_INSTALL_DATA_DIR "/usr/local/share/zolt"
#endif
#ifndef ZOLT_CHECKOUT_DIR
#define ZOLT_CHECKOUT_DIR ""
#endif
#ifndef ZOLT_BUILD_DIR
#define ZOLT_BUILD_DIR ""
#endif

namespace
{
// The manifest makes a game folder; an older game has only its asset
// folder. A game whose session file is missing still starts, and says what
// it misses.
const char* const GAME_MANIFEST = "game.xml";
const char* const GAME_MARKER = "assets";
// What the engine itself brings: a game need not carry the shaders.
const char* const ENGINE_MARKER = "assets/shaders";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::vector<std::string> splitColons(const std::string& list)
{
    std::vector<std::string> parts;
    std::istringstream in(list);
    std::string part;
    while (std::getline(in, part, ':'))
    {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}
}

std::string DataPaths::userDataDirectory()
{
    // The XDG rules ignore a relative XDG_DATA_HOME.
    const std::string dataHome = environment("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome[0] == '/')
        return dataHome + "/zolt";
    const std::string home = environment("HOME");
    if (home.empty())
        return "";
    return home + "/.local/share/zolt";
}

std::string DataPaths::userStateDirectory()
{
    const std::string stateHome = environment("XDG_STATE_HOME");
    if (!stateHome.empty() && stateHome[0] == '/')
        return stateHome + "/zolt";
    const std::string home = environment("HOME");
    if (home.empty())
        return "";
    return home + "/.local/state/zolt";
}

std::string DataPaths::engineDataFile(const std::string& relative)
{
    const std::string program = programPath(nullptr);
    std::vector<std::string> candidates;
    if (runsFromBuildFolder(program))
        candidates.push_back(ZOLT_CHECKOUT_DIR);
    for (const std::string& dir : dataDirectoryCandidates(program))
        candidates.push_back(dir);
    const std::string dir = firstHolding(candidates, relative);
    return dir.empty() ? dir : (fs::absolute(dir) / relative).string();
}

std::vector<std::string> DataPaths::dataDirectoryCandidates(const std::string& programPath)
{
    std::vector<std::string> candidates;
    if (!programPath.empty())
        candidates.push_back((fs::path(programPath).parent_path().parent_path() / "share" / "zolt").string());
    std::string dirs = environment("XDG_DATA_DIRS");
    if (dirs.empty())
        dirs = "/usr/local/share:/usr/share";
    for (const std::string& dir : splitColons(dirs))
        candidates.push_back(dir + "/zolt");
    candidates.push_back(ZOLT_INSTALL_DATA_DIR);
    return candidates;
}

std::string DataPaths::firstHolding(const std::vector<std::string>& candidates, const std::string& marker)
{
    std::error_code error;
    for (const std::string& dir : candidates)
    {
        if (!dir.empty() && fs::exists(fs::path(dir) / marker, error))
            return dir;
    }
    return "";
}

bool DataPaths::holdsGame(const std::string& folder)
{
    std::error_code error;
    return !folder.empty() && (fs::is_regular_file(fs::path(folder) / GAME_MANIFEST, error) ||
                               fs::is_directory(fs::path(folder) / GAME_MARKER, error));
}

bool DataPaths::isGameFile(const std::string& path)
{
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

std::string DataPaths::engineDataDirectory(const std::string& programPath)
{
    if (runsFromBuildFolder(programPath) && fs::is_directory(fs::path(ZOLT_CHECKOUT_DIR) / ENGINE_MARKER))
        return ZOLT_CHECKOUT_DIR;
    return firstHolding(dataDirectoryCandidates(programPath), ENGINE_MARKER);
}

std::string DataPaths::findGameRoot(const std::string& requested, const std::string& programPath)
{
    // An archive is taken as it is: only reading it can tell whether it
    // holds a game, and the reader says what is wrong with it.
    if (!requested.empty())
        return holdsGame(requested) || isGameFile(requested) ? requested : "";
    if (holdsGame("."))
        return ".";
    // A program still in the build folder plays the checkout it was built
    // from; an installed one never looks there.
    if (runsFromBuildFolder(programPath) && holdsGame(ZOLT_CHECKOUT_DIR))
        return ZOLT_CHECKOUT_DIR;
    return firstHolding(dataDirectoryCandidates(programPath), GAME_MARKER);
}

bool DataPaths::runsFromBuildFolder(const std::string& programPath)
{
    std::error_code error;
    const std::string buildFolder = ZOLT_BUILD_DIR;
    return !buildFolder.empty() && !programPath.empty() &&
           fs::equivalent(fs::path(programPath).parent_path(), buildFolder, error);
}

std::string DataPaths::programPath(const char* argv0)
{
    std::error_code error;
    fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error && argv0)
        exe = fs::absolute(fs::path(argv0), error);
    return error ? std::string() : exe.string();
}
