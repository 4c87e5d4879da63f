#include "script/ScriptFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "util/GameFiles.h"

namespace core
{
const char* const ScriptFiles::DEFAULT_FOLDER = "assets/scripts";
const std::size_t ScriptFiles::MAX_BYTES = std::size_t(4) * 1024 * 1024;

namespace
{
std::string& scriptFolder()
{
    static std::string folder = ScriptFiles::DEFAULT_FOLDER;
    return folder;
}

// The steps of a relative path, "." and empty steps dropped. False, with the
// reason, for a path that could name something outside where it starts.
// How refusals name what was asked for and where it had to stay.
struct Wording
{
    const char* path;
    const char* place;
};
const Wording SCRIPT_WORDING = {"script path", "the game's script folder"};
const Wording GAME_FILE_WORDING = {"path", "the game folder"};

bool splitSteps(const std::string& path, std::vector<std::string>& steps, std::string& why,
                const Wording& wording = SCRIPT_WORDING)
{
    const std::string noun = wording.path;
    if (path.empty())
    {
        why = noun + " is empty";
        return false;
    }
    if (path.find('\0') != std::string::npos)
    {
        why = noun + " holds a NUL byte";
        return false;
    }
    if (path[0] == '/')
    {
        why = noun + " " + path + " is absolute: games read only their own files";
        return false;
    }
    std::size_t start = 0;
    while (start <= path.size())
    {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string step = path.substr(start, end - start);
        if (step == "..")
        {
            why = noun + " " + path + " leads out of " + wording.place;
            return false;
        }
        if (!step.empty() && step != ".")
            steps.push_back(step);
        start = end + 1;
    }
    if (steps.empty())
    {
        why = noun + " " + path + " names no file";
        return false;
    }
    return true;
}

// A game played from one archive has no files on disk to check or open.
bool fromArchive()
{
    return GameFiles::mounted() && GameFiles::isArchive(GameFiles::location());
}

// Where a relative game path lies on disk: inside the mounted game folder,
// else (nothing mounted) the working directory.
std::string onDisk(const std::string& path)
{
    if (!GameFiles::mounted())
        return path;
    return GameFiles::location() + "/" + path;
}

std::string joined(const std::vector<std::string>& steps)
{
    std::string path = ".";
    for (const std::string& step : steps)
        path += "/" + step;
    return path;
}

// Walks the path from the game folder, refusing a link at any step: a link
// inside the game could point anywhere on the machine.
bool checkOnDisk(const std::vector<std::string>& steps, const std::string& asked, std::string& why,
                 const Wording& wording = SCRIPT_WORDING)
{
    if (fromArchive())
    {
        // An archive holds no links or pipes: being there is enough.
        if (GameFiles::exists(joined(steps)))
            return true;
        why = "cannot open " + joined(steps) + ": no such file in " + GameFiles::location();
        return false;
    }
    std::string path = ".";
    for (std::size_t i = 0; i < steps.size(); ++i)
    {
        path += "/" + steps[i];
        struct stat info;
        if (::lstat(onDisk(path).c_str(), &info) != 0)
        {
            why = "cannot open " + joined(steps) + ": " + std::strerror(errno);
            return false;
        }
        if (S_ISLNK(info.st_mode))
        {
            why =
                std::string(wording.path) + " " + asked + " leads through the link " + path + ", which is not followed";
            return false;
        }
        const bool last = i + 1 == steps.size();
        if (last && !S_ISREG(info.st_mode))
        {
            why = path + " is not a plain file";
            return false;
        }
    }
    return true;
}

// The script folder itself must be a plain relative path, or no script is
// found at all.
bool folderSteps(std::vector<std::string>& steps, std::string& why)
{
    if (splitSteps(scriptFolder(), steps, why))
        return true;
    why = "the script folder " + scriptFolder() + " is not a folder inside the game";
    return false;
}

bool readFromArchive(const std::string& path, std::string& text, std::string& why)
{
    if (!GameFiles::read(path, text, &why))
    {
        why = "cannot open " + path + ": " + why;
        return false;
    }
    if (text.size() <= ScriptFiles::MAX_BYTES)
        return true;
    why = "script " + path + " is " + std::to_string(text.size()) + " bytes, over the " +
          std::to_string(ScriptFiles::MAX_BYTES) + " a script may have";
    text.clear();
    return false;
}

bool resolveSteps(const std::vector<std::string>& steps, const std::string& asked, std::string& path, std::string& why)
{
    if (!checkOnDisk(steps, asked, why))
        return false;
    path = joined(steps);
    return true;
}
}

bool ScriptFiles::resolveGameFile(const std::string& gamePath, std::string& path, std::string& why)
{
    std::vector<std::string> steps;
    if (!splitSteps(gamePath, steps, why, GAME_FILE_WORDING) || !checkOnDisk(steps, gamePath, why, GAME_FILE_WORDING))
        return false;
    path = joined(steps);
    return true;
}

void ScriptFiles::setFolder(const std::string& folder)
{
    scriptFolder() = folder;
}

const std::string& ScriptFiles::folder()
{
    return scriptFolder();
}

bool ScriptFiles::resolveName(const std::string& name, std::string& path, std::string& why)
{
    std::vector<std::string> steps;
    if (!folderSteps(steps, why))
        return false;
    std::vector<std::string> own;
    if (name.empty())
    {
        why = "script name is empty: ./" + scriptFolder() + "/ is a folder, not a script";
        return false;
    }
    if (!splitSteps(name, own, why))
        return false;
    steps.insert(steps.end(), own.begin(), own.end());
    return resolveSteps(steps, name, path, why);
}

bool ScriptFiles::resolveGamePath(const std::string& gamePath, std::string& path, std::string& why)
{
    std::vector<std::string> folder;
    std::vector<std::string> steps;
    if (!folderSteps(folder, why) || !splitSteps(gamePath, steps, why))
        return false;
    const bool inside = steps.size() > folder.size() && std::equal(folder.begin(), folder.end(), steps.begin());
    if (!inside)
    {
        why = "script path " + gamePath + " is outside the game's script folder ./" + scriptFolder();
        return false;
    }
    return resolveSteps(steps, gamePath, path, why);
}

bool ScriptFiles::read(const std::string& path, std::string& text, std::string& why)
{
    if (fromArchive())
        return readFromArchive(path, text, why);
    // Not blocking: a pipe put where a script should be must not stall the
    // game before the check below refuses it.
    const int fd = ::open(onDisk(path).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        why = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    struct stat info;
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!ok)
        why = "script " + path + " is not a plain file";
    else if (std::size_t(info.st_size) > MAX_BYTES)
    {
        ok = false;
        why = "script " + path + " is " + std::to_string(info.st_size) + " bytes, over the " +
              std::to_string(MAX_BYTES) + " a script may have";
    }
    text.clear();
    char buffer[65536];
    while (ok)
    {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0 || text.size() + std::size_t(got) > MAX_BYTES)
        {
            ok = false;
            why = got < 0 ? "cannot read " + path + ": " + std::strerror(errno)
                          : "script " + path + " grew past " + std::to_string(MAX_BYTES) + " bytes while read";
            break;
        }
        text.append(buffer, std::size_t(got));
    }
    ::close(fd);
    return ok;
}
}
