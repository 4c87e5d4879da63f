#include "core/SaveStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace core
{
namespace
{
const char* const SLOT_SUFFIX = ".xml";
const char* const TEMPORARY_SUFFIX = ".xml.tmp";

std::string systemError(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0)
    {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}
}

SaveStore::SaveStore(const std::string& folder) : _folder(folder)
{
}

std::string SaveStore::pathOf(const std::string& slot) const
{
    return _folder + "/" + slot + SLOT_SUFFIX;
}

std::string SaveStore::temporaryPathOf(const std::string& slot) const
{
    return _folder + "/" + slot + TEMPORARY_SUFFIX;
}

bool SaveStore::exists(const std::string& slot) const
{
    std::error_code error;
    return fs::is_regular_file(pathOf(slot), error);
}

bool SaveStore::proceed(WriteStep step) const
{
    return !_crashHook || _crashHook(step);
}

bool SaveStore::interrupted(std::string& error)
{
    error = "the write was interrupted";
    return false;
}

bool SaveStore::write(const std::string& slot, const std::string& contents, std::string& error)
{
    if (_folder.empty())
    {
        error = "no folder for saves (neither XDG_DATA_HOME nor HOME is set)";
        return false;
    }
    if (!proceed(MAKE_FOLDER))
        return interrupted(error);
    std::error_code fsError;
    fs::create_directories(_folder, fsError);
    if (fsError)
    {
        error = "cannot make the save folder " + _folder + ": " + fsError.message();
        return false;
    }
    const std::string temporary = temporaryPathOf(slot);
    if (!writeTemporary(temporary, contents, error))
        return false;
    if (!proceed(RENAME_OVER_SLOT))
        return interrupted(error);
    if (::rename(temporary.c_str(), pathOf(slot).c_str()) != 0)
    {
        error = systemError("cannot rename the new save over", pathOf(slot));
        ::unlink(temporary.c_str());
        return false;
    }
    if (!proceed(SYNC_FOLDER))
        return interrupted(error);
    // The rename reaches the disk with the folder; without this a power cut
    // could bring back the old name after the write was reported done.
    const int folderFd = ::open(_folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0)
    {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    if (writtenHook())
        writtenHook()(_folder);
    return true;
}

std::function<void(const std::string&)>& SaveStore::writtenHook()
{
    static std::function<void(const std::string&)> hook;
    return hook;
}

void SaveStore::setWrittenHook(std::function<void(const std::string&)> hook)
{
    writtenHook() = std::move(hook);
}

bool SaveStore::writeTemporary(const std::string& path, const std::string& contents, std::string& error) const
{
    if (!proceed(OPEN_TEMPORARY))
        return interrupted(error);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
    {
        error = systemError("cannot create", path);
        return false;
    }
    if (!proceed(WRITE_CONTENTS))
    {
        // A crash in the middle of the write leaves half the file.
        writeAll(fd, contents.data(), contents.size() / 2);
        ::close(fd);
        return interrupted(error);
    }
    bool ok = writeAll(fd, contents.data(), contents.size());
    if (ok && !proceed(SYNC_TEMPORARY))
    {
        ::close(fd);
        return interrupted(error);
    }
    ok = ok && ::fsync(fd) == 0;
    if (ok && !proceed(CLOSE_TEMPORARY))
    {
        ::close(fd);
        return interrupted(error);
    }
    ok = (::close(fd) == 0) && ok;
    if (!ok)
    {
        error = systemError("cannot write", path);
        ::unlink(path.c_str());
    }
    return ok;
}

bool SaveStore::read(const std::string& slot, std::string& contents, std::string& error) const
{
    const std::string path = pathOf(slot);
    std::ifstream in(path, std::ios::binary);
    if (!in)
    {
        error = "there is no save in " + path;
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad())
    {
        error = "cannot read " + path;
        return false;
    }
    contents = text.str();
    return true;
}
}
