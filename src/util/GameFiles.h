#pragma once

#include <string>
#include <vector>

#include <tinyxml2.h>

// Where every read of game data goes: the game itself, a folder or one .zip
// archive of it, with the engine's own installed files (shaders, default
// fonts, default manifest; nothing else of its data folder, which may be the
// demo's) behind it, so that a game need not carry them.
//
// Paths are the engine's usual relative ones: "./assets/x", ".//assets/x"
// and "assets/x" name the same file. While a game is mounted a path that
// would lead outside it (absolute, or with "..") is refused: scripts read
// through here too, and a game must not read the player's other files.
//
// Nothing mounted (unit tests, tools run inside a game folder), paths are
// opened as given, relative to the working directory, as they always were.
class GameFiles
{
public:
    // Mounts the game at `location` (a folder, or a .zip holding the game at
    // its top or inside one top folder) with `engineData` (a folder; empty
    // for none) behind it. False, with `problem` naming the file and what is
    // wrong, when it holds no game or cannot be read; nothing is mounted then.
    static bool mount(const std::string& location, const std::string& engineData, std::string& problem);
    static void unmount();
    static bool mounted();
    // The mounted game as it was given to mount; empty when none is.
    static const std::string& location();

    // The path inside the game that `path` names ("a/b" for "./a/b", ".//a/b"
    // or "a/b"). False, with `problem` set, for an absolute path or one
    // leading out of the game through "..".
    static bool normalise(const std::string& path, std::string& inside, std::string& problem);

    // The whole file, byte for byte. False when it is missing, unreadable or
    // refused; `problem` (when given) then says which.
    static bool read(const std::string& path, std::string& contents, std::string* problem = nullptr);
    // A file (not a folder) by that path can be read.
    static bool exists(const std::string& path);
    static bool isFolder(const std::string& path);
    // The names (not paths) of what a folder holds, in byte order; empty for
    // a missing folder.
    static std::vector<std::string> list(const std::string& folder);

    // Parses the file into `document` (as tinyxml2's LoadFile does, but from
    // memory): XML_ERROR_FILE_NOT_FOUND when it cannot be read.
    static tinyxml2::XMLError loadXML(tinyxml2::XMLDocument& document, const std::string& path);

    // A game given as a file (not a folder) is an archive.
    static bool isArchive(const std::string& location);
};
