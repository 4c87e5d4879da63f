#pragma once

#include <functional>
#include <string>

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

    explicit SaveStore(const std::string& folder);

    const std::string& getFolder() const { return _folder; }
    std::string pathOf(const std::string& slot) const;
    std::string temporaryPathOf(const std::string& slot) const;
    bool exists(const std::string& slot) const;

    // False with the reason in `error` when the slot could not be written;
    // the slot then still holds what it held before.
    bool write(const std::string& slot, const std::string& contents, std::string& error);
    // False with the reason when the slot is missing or cannot be read.
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

    std::string _folder;
    std::function<bool(WriteStep)> _crashHook;
};
}
