#pragma once

#include <cstdint>
#include <string>

// What a poll compares of a file: its modification time and size, read with
// one stat. Editors often save by writing a new file and renaming it over
// the old one, so a file may briefly not exist.
struct FileStamp
{
    bool exists = false;
    std::int64_t modifiedNs = 0;
    std::int64_t size = 0;

    bool operator==(const FileStamp& other) const
    {
        return exists == other.exists && modifiedNs == other.modifiedNs && size == other.size;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }

    // The stamp of the file now; `exists` false when it cannot be stat'ed.
    static FileStamp of(const std::string& path);
};
