#include "save/SaveStore.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
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

SaveStore::SaveStore(const std::string& folder, size_t maxBytes) : _folder(folder), _maxBytes(maxBytes)
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
    // Whatever stands at the slot's name counts: a link or a folder there is
    // shown as a save that cannot be read, not as a free slot.
    struct stat info;
    return ::lstat(pathOf(slot).c_str(), &info) == 0;
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
    struct stat info;
    if (::lstat(pathOf(slot).c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    {
        error = pathOf(slot) + " is a folder, where the save should be";
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
    // Whatever an earlier write left at the temporary name goes first, and
    // the new file is made afresh: opening an existing name would follow a
    // link planted there and write the save wherever it leads. Unlinking a
    // link removes the link, never its target.
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
    {
        error = systemError("cannot remove the old temporary file", path);
        return false;
    }
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
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
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0)
    {
        error = errno == ENOENT ? "there is no save in " + path : systemError("cannot read", path);
        return false;
    }
    if (!isPlainFile(path, info, error))
        return false;
    // No link followed, and no wait on a pipe that was put in the file's
    // place since it was looked at.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
    {
        error = systemError("cannot read", path);
        return false;
    }
    const bool ok = ::fstat(fd, &info) == 0 && isPlainFile(path, info, error) && readAll(fd, path, contents, error);
    ::close(fd);
    return ok;
}

bool SaveStore::isPlainFile(const std::string& path, const struct stat& info, std::string& error) const
{
    if (S_ISLNK(info.st_mode))
        error = path + " is a link; a save must be a file of its own";
    else if (S_ISDIR(info.st_mode))
        error = path + " is a folder, not a save file";
    else if (!S_ISREG(info.st_mode))
        error = path + " is not a plain file (a device, pipe or socket)";
    else if (static_cast<unsigned long long>(info.st_size) > _maxBytes)
        error = tooLarge(path, static_cast<unsigned long long>(info.st_size));
    else
        return true;
    return false;
}

std::string SaveStore::tooLarge(const std::string& path, unsigned long long bytes) const
{
    return path + " is " + std::to_string(bytes) + " bytes, more than the " + std::to_string(_maxBytes) +
           " a save may be";
}

bool SaveStore::readAll(int fd, const std::string& path, std::string& contents, std::string& error) const
{
    // The size was checked, but a file can grow while it is read: never more
    // than the limit is taken in.
    std::string text;
    char buffer[65536];
    for (;;)
    {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
        {
            error = systemError("cannot read", path);
            return false;
        }
        if (got == 0)
            break;
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > _maxBytes)
        {
            error = tooLarge(path, text.size());
            return false;
        }
    }
    contents = std::move(text);
    return true;
}
}
