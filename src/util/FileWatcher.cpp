#include "util/FileWatcher.h"

FileWatcher::FileWatcher(StatFunction stat, double intervalSeconds) : _stat(std::move(stat)), _interval(intervalSeconds)
{
}

bool FileWatcher::isChange(const FileStamp& before, const FileStamp& now)
{
    return now.exists && now != before;
}

std::vector<FileChange> FileWatcher::poll(double nowSeconds)
{
    if (_polledOnce && nowSeconds - _lastPoll < _interval)
        return {};
    _polledOnce = true;
    _lastPoll = nowSeconds;
    return pollNow();
}

std::vector<FileChange> FileWatcher::pollNow()
{
    std::vector<FileChange> changes;
    for (auto& entry : LoadedFiles::entries())
    {
        const FileStamp now = _stat(entry.first);
        if (!isChange(entry.second.stamp, now))
            continue;
        entry.second.stamp = now;
        changes.push_back(FileChange{entry.first, entry.second.kind, now});
    }
    return changes;
}
