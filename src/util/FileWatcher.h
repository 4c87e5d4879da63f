#pragma once

#include <functional>
#include <string>
#include <vector>

#include "util/FileStamp.h"
#include "util/LoadedFiles.h"

struct FileChange
{
    std::string path;
    FileKind kind;
    FileStamp stamp;
};

// Notices changes to the files the game has read (LoadedFiles) by comparing
// modification times and sizes, at most once per interval: one stat per file,
// nothing read, so an idle game pays next to nothing for it.
class FileWatcher
{
public:
    typedef std::function<FileStamp(const std::string&)> StatFunction;

    static constexpr double DEFAULT_INTERVAL_SECONDS = 0.5;

    explicit FileWatcher(StatFunction stat = &FileStamp::of, double intervalSeconds = DEFAULT_INTERVAL_SECONDS);

    // The files changed since the last look, when at least the interval has
    // passed since then (`nowSeconds` from any steady clock); else nothing.
    std::vector<FileChange> poll(double nowSeconds);
    // Looks at once (F6).
    std::vector<FileChange> pollNow();

    // Whether a file whose stamp went from `before` to `now` has changed. A
    // file that is gone is not a change: an editor saving by rename makes it
    // vanish for a moment, and the old version stays until a new one comes.
    static bool isChange(const FileStamp& before, const FileStamp& now);

private:
    StatFunction _stat;
    double _interval;
    double _lastPoll = 0;
    bool _polledOnce = false;
};
