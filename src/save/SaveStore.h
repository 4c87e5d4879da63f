#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct stat;

namespace core
{
// The save files of one player: one file per slot in one folder. A slot is
// written to a temporary file that is then renamed over it, so at every
// moment the slot holds either the previous save or the new one whole; a
// crash or power cut while saving never costs the old save.
class SaveStore
{
public:
    // The stages of writing a slot, in order.
    enum WriteStep
    {
        MAKE_FOLDER = 0,
        OPEN_TEMPORARY,
        WRITE_CONTENTS,
        SYNC_TEMPORARY,
        CLOSE_TEMPORARY,
        RENAME_OVER_SLOT,
        SYNC_FOLDER,
        NUM_WRITE_STEPS
    };

    // Slots larger than `maxBytes` are refused unread.
    explicit SaveStore(const std::string& folder, size_t maxBytes = size_t(4) * 1024 * 1024);

    const std::string& getFolder() const { return _folder; }
    std::string pathOf(const std::string& slot) const;
    std::string temporaryPathOf(const std::string& slot) const;
    bool exists(const std::string& slot) const;

    // False with the reason in `error` when the slot could not be written;
    // the slot then still holds what it held before.
    bool write(const std::string& slot, const std::string& contents, std::string& error);
    // False with the reason when the slot is missing or cannot be read, and
    // when it is anything but a plain file no larger than the limit (a link,
    // a folder, a device): saves come from anywhere, and a slot that links
    // to /dev/zero would otherwise be read without end.
    bool read(const std::string& slot, std::string& contents, std::string& error) const;

    // Lets tests stop a write as a crash would: the hook is asked before
    // each step, and a false answer abandons the write right there, leaving
    // on disk whatever the steps so far left (half a temporary file
    // included), with nothing cleaned up.
    void setCrashHook(std::function<bool(WriteStep)> hook) { _crashHook = std::move(hook); }

    // Called with the folder after every write that completed, in every
    // store: where files live in memory until flushed (the browser's
    // storage), this is what makes the save outlive the page.
    static void setWrittenHook(std::function<void(const std::string&)> hook);

private:
    static std::function<void(const std::string&)>& writtenHook();
    bool proceed(WriteStep step) const;
    static bool interrupted(std::string& error);
    bool writeTemporary(const std::string& path, const std::string& contents, std::string& error) const;
    bool isPlainFile(const std::string& path, const struct stat& info, std::string& error) const;
    bool readAll(int fd, const std::string& path, std::string& contents, std::string& error) const;
    std::string tooLarge(const std::string& path, unsigned long long bytes) const;

    std::string _folder;
    size_t _maxBytes;
    std::function<bool(WriteStep)> _crashHook;
};
}
