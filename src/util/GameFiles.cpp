#include "util/GameFiles.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <physfs.h>

#include "Log/Log.h"

namespace fs = std::filesystem;

namespace
{
// The game and the engine's data hang at two mount points of their own, so
// a lookup can ask the game first and fall back on the engine by hand: the
// game's own root may sit inside an archive's one top folder.
const char* const GAME_MOUNT = "game";
const char* const ENGINE_MOUNT = "engine";

struct Mounted
{
    bool active = false;
    std::string location;
    std::string gameRoot; // the game's files inside GAME_MOUNT: "game" or "game/<top folder>"
    bool haveEngine = false;
};

Mounted& state()
{
    static Mounted mounted;
    return mounted;
}

std::string physfsError()
{
    const char* text = PHYSFS_getErrorByCode(PHYSFS_getLastErrorCode());
    return text ? text : "unknown error";
}

bool startPhysfs(std::string& problem)
{
    if (PHYSFS_isInit())
        return true;
    if (!PHYSFS_init(nullptr))
    {
        problem = "the file reader could not start: " + physfsError();
        return false;
    }
    // Games built by linking the engine's assets (as tests and makers do)
    // must still read; a path a script gives is checked before it gets here.
    PHYSFS_permitSymbolicLinks(1);
    return true;
}

bool virtualStat(const std::string& virtualPath, PHYSFS_FileType& type)
{
    PHYSFS_Stat status;
    if (!PHYSFS_stat(virtualPath.c_str(), &status))
        return false;
    type = status.filetype;
    return true;
}

bool virtualIsFolder(const std::string& virtualPath)
{
    PHYSFS_FileType type;
    return virtualStat(virtualPath, type) && type == PHYSFS_FILETYPE_DIRECTORY;
}

bool virtualIsFile(const std::string& virtualPath)
{
    PHYSFS_FileType type;
    // Pipes and devices are no game files: reading one could block the game.
    return virtualStat(virtualPath, type) && (type == PHYSFS_FILETYPE_REGULAR || type == PHYSFS_FILETYPE_SYMLINK);
}

std::vector<std::string> virtualList(const std::string& virtualPath)
{
    std::vector<std::string> names;
    char** list = PHYSFS_enumerateFiles(virtualPath.c_str());
    if (!list)
        return names;
    for (char** name = list; *name; ++name)
        names.push_back(*name);
    PHYSFS_freeList(list);
    return names;
}

bool holdsGameAt(const std::string& virtualPath)
{
    return virtualIsFile(virtualPath + "/game.xml") || virtualIsFolder(virtualPath + "/assets");
}

// The game's files sit at the top of what was mounted, or (for an archive
// made by zipping the game's folder) inside its one top folder.
bool findGameRoot(bool archive, std::string& root)
{
    if (holdsGameAt(GAME_MOUNT))
    {
        root = GAME_MOUNT;
        return true;
    }
    std::vector<std::string> top = virtualList(GAME_MOUNT);
    // Archives made by the Mac's own zipping carry their file details in an
    // extra top folder beside the game's.
    top.erase(std::remove(top.begin(), top.end(), "__MACOSX"), top.end());
    if (!archive || top.size() != 1)
        return false;
    const std::string inner = std::string(GAME_MOUNT) + "/" + top[0];
    if (!virtualIsFolder(inner) || !holdsGameAt(inner))
        return false;
    root = inner;
    return true;
}

bool isArchiveFile(const std::string& location)
{
    std::error_code error;
    return fs::is_regular_file(location, error);
}

bool mountGame(const std::string& location, std::string& problem)
{
    const bool archive = isArchiveFile(location);
    std::error_code error;
    if (!archive && !fs::is_directory(location, error))
    {
        problem = location + " is neither a game folder nor a .zip archive (no such file or folder)";
        return false;
    }
    if (!PHYSFS_mount(location.c_str(), GAME_MOUNT, 1))
    {
        problem = location +
                  (archive ? " cannot be read as a .zip archive (it is empty, damaged or of another kind): "
                           : " cannot be read: ") +
                  physfsError();
        return false;
    }
    std::string root;
    if (!findGameRoot(archive, root))
    {
        PHYSFS_unmount(location.c_str());
        problem = location + " holds no game (no game.xml or assets folder at its top" +
                  (archive ? " or inside one top folder)" : ")");
        return false;
    }
    state().gameRoot = root;
    return true;
}

bool mountEngine(const std::string& engineData, std::string& problem)
{
    if (engineData.empty())
        return true;
    if (!PHYSFS_mount(engineData.c_str(), ENGINE_MOUNT, 1))
    {
        problem = "the engine's data folder " + engineData + " cannot be read: " + physfsError();
        return false;
    }
    state().haveEngine = true;
    return true;
}

// Only what the engine itself brings stands behind a game: its data folder
// may be the demo's own, and a game must not pick up the demo's files.
bool isEngineFile(const std::string& inside)
{
    static const char* const ENGINE_FILES[] = {"assets",
                                               "assets/shaders",
                                               "assets/shaders/",
                                               "assets/fonts",
                                               "assets/fonts/FreeSans.ttf",
                                               "assets/fonts/Eadui.ttf",
                                               "assets/default-game.xml"};
    for (const char* file : ENGINE_FILES)
    {
        const std::string name = file;
        if (name.back() == '/' ? inside.compare(0, name.size(), name) == 0 : inside == name)
            return true;
    }
    return false;
}

std::vector<std::string> engineEntries(const std::string& inside)
{
    std::vector<std::string> names;
    for (const std::string& name : virtualList(std::string(ENGINE_MOUNT) + (inside.empty() ? "" : "/" + inside)))
    {
        if (isEngineFile(inside.empty() ? name : inside + "/" + name))
            names.push_back(name);
    }
    return names;
}

// The game's copy first, then the engine's. Empty when neither has one.
std::string virtualPathOf(const std::string& inside, bool wantFolder)
{
    const Mounted& mounted = state();
    const std::string inGame = inside.empty() ? mounted.gameRoot : mounted.gameRoot + "/" + inside;
    if (wantFolder ? virtualIsFolder(inGame) : virtualIsFile(inGame))
        return inGame;
    if (!mounted.haveEngine || !isEngineFile(inside))
        return "";
    const std::string inEngine = inside.empty() ? ENGINE_MOUNT : std::string(ENGINE_MOUNT) + "/" + inside;
    if (wantFolder ? virtualIsFolder(inEngine) : virtualIsFile(inEngine))
        return inEngine;
    return "";
}

bool readVirtual(const std::string& virtualPath, std::string& contents, std::string& problem)
{
    PHYSFS_File* file = PHYSFS_openRead(virtualPath.c_str());
    if (!file)
    {
        problem = "cannot be opened: " + physfsError();
        return false;
    }
    const PHYSFS_sint64 length = PHYSFS_fileLength(file);
    bool whole = length >= 0;
    if (whole)
    {
        contents.resize(static_cast<size_t>(length));
        whole = PHYSFS_readBytes(file, &contents[0], static_cast<PHYSFS_uint64>(length)) == length;
    }
    if (!whole)
        problem = "cannot be read: " + physfsError();
    PHYSFS_close(file);
    return whole;
}

bool readPlain(const std::string& path, std::string& contents, std::string& problem)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error))
    {
        problem = "no such file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        problem = "cannot be opened";
        return false;
    }
    // In blocks, not a character at a time through stream iterators (which
    // was over a third of loading a large map); the size on disk is only a
    // hint, so a file that grows or shrinks meanwhile is still read whole.
    const std::uintmax_t hint = fs::file_size(path, error);
    if (!error && hint > 0 && hint < (std::uintmax_t(1) << 30))
    {
        contents.resize(static_cast<std::size_t>(hint));
        in.read(&contents[0], static_cast<std::streamsize>(hint));
        contents.resize(static_cast<std::size_t>(in.gcount()));
    }
    char block[65536];
    while (in && (in.read(block, sizeof block) || in.gcount() > 0))
        contents.append(block, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
    {
        problem = "cannot be read";
        return false;
    }
    return true;
}

bool normaliseOrLog(const std::string& path, std::string& inside)
{
    std::string problem;
    if (GameFiles::normalise(path, inside, problem))
        return true;
    Log::error() << "GameFiles - " << path << " refused: " << problem << std::endl;
    return false;
}
}

bool GameFiles::mount(const std::string& location, const std::string& engineData, std::string& problem)
{
    unmount();
    if (!startPhysfs(problem) || !mountGame(location, problem))
        return false;
    if (!mountEngine(engineData, problem))
    {
        PHYSFS_unmount(location.c_str());
        return false;
    }
    state().active = true;
    state().location = location;
    return true;
}

void GameFiles::unmount()
{
    Mounted& mounted = state();
    // Ending the reader lets go of every mount (and its open archive) at once.
    if (PHYSFS_isInit())
        PHYSFS_deinit();
    mounted = Mounted();
}

bool GameFiles::mounted()
{
    return state().active;
}

const std::string& GameFiles::location()
{
    return state().location;
}

bool GameFiles::normalise(const std::string& path, std::string& inside, std::string& problem)
{
    std::string rest = path;
    if (!rest.empty() && rest[0] == '/')
    {
        problem = "an absolute path leads outside the game";
        return false;
    }
    // "." + "/" + name is how the engine has always spelt a data path, and a
    // name with a leading "/" comes out as ".//name".
    while (rest.size() >= 2 && rest[0] == '.' && rest[1] == '/')
        rest.erase(0, rest.find_first_not_of('/', 1));
    if (rest.find('\\') != std::string::npos || rest.find(':') != std::string::npos)
    {
        problem = "a path inside the game uses only \"/\" between names (no \"\\\" or \":\")";
        return false;
    }
    std::vector<std::string> parts;
    std::istringstream in(rest);
    std::string part;
    while (std::getline(in, part, '/'))
    {
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
        {
            if (parts.empty())
            {
                problem = "\"..\" leads outside the game";
                return false;
            }
            parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }
    inside.clear();
    for (const std::string& name : parts)
        inside += (inside.empty() ? "" : "/") + name;
    return true;
}

bool GameFiles::read(const std::string& path, std::string& contents, std::string* problem)
{
    std::string why;
    contents.clear();
    bool ok = false;
    if (!mounted())
    {
        ok = readPlain(path, contents, why);
    }
    else
    {
        std::string inside;
        if (!normalise(path, inside, why))
        {
            Log::error() << "GameFiles - " << path << " refused: " << why << std::endl;
        }
        else
        {
            const std::string virtualPath = virtualPathOf(inside, false);
            if (virtualPath.empty())
                why = "no such file in " + location();
            else
                ok = readVirtual(virtualPath, contents, why);
        }
    }
    if (!ok && problem)
        *problem = why;
    return ok;
}

bool GameFiles::exists(const std::string& path)
{
    if (!mounted())
    {
        std::error_code error;
        return fs::is_regular_file(path, error);
    }
    std::string inside;
    return normaliseOrLog(path, inside) && !virtualPathOf(inside, false).empty();
}

bool GameFiles::isFolder(const std::string& path)
{
    if (!mounted())
    {
        std::error_code error;
        return fs::is_directory(path, error);
    }
    std::string inside;
    return normaliseOrLog(path, inside) && !virtualPathOf(inside, true).empty();
}

std::vector<std::string> GameFiles::list(const std::string& folder)
{
    std::vector<std::string> names;
    if (!mounted())
    {
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            names.push_back(it->path().filename().string());
    }
    else
    {
        std::string inside;
        if (!normaliseOrLog(folder, inside))
            return names;
        names = virtualList(state().gameRoot + (inside.empty() ? "" : "/" + inside));
        if (state().haveEngine)
        {
            const std::vector<std::string> engine = engineEntries(inside);
            names.insert(names.end(), engine.begin(), engine.end());
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

tinyxml2::XMLError GameFiles::loadXML(tinyxml2::XMLDocument& document, const std::string& path)
{
    std::string contents;
    if (!read(path, contents))
    {
        document.Clear();
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    }
    return document.Parse(contents.data(), contents.size());
}

bool GameFiles::isArchive(const std::string& location)
{
    return isArchiveFile(location);
}
