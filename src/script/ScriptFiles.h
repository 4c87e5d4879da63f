#pragma once

#include <cstddef>
#include <string>

namespace core
{
// Finds and reads the game's script files. A script path is resolved inside
// the game's script folder and refused, with the reason, when it leads out:
// a ".." step, an absolute path, a symbolic link on the way, or anything
// but a plain file at the end. Every script file that the engine or a
// script loads is read through read(), so that where a game's files come
// from is decided in one place.
class ScriptFiles
{
public:
    // Relative to the game folder (the working directory).
    static const char* const DEFAULT_FOLDER;
    // A script longer than this is refused rather than read.
    static const std::size_t MAX_BYTES;

    // Where the scripts live, relative to the game folder.
    static void setFolder(const std::string& folder);
    static const std::string& folder();

    // A script named as triggers, dialogs and s:read name them: relative to
    // the script folder. Gives the path to open, or false and why not.
    static bool resolveName(const std::string& name, std::string& path, std::string& why);
    // A path relative to the game folder, as dofile and loadfile take it
    // ("./assets/scripts/quests.lua"); it must lead into the script folder.
    static bool resolveGamePath(const std::string& gamePath, std::string& path, std::string& why);
    // Any other file that a script names (a dialog file): a plain file
    // inside the game folder, reached without a link.
    static bool resolveGameFile(const std::string& gamePath, std::string& path, std::string& why);
    // The whole text of the file at a resolved path, or false and why not.
    static bool read(const std::string& path, std::string& text, std::string& why);
};
}
