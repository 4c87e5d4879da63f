#pragma once

#include <string>

namespace savetest
{
// A folder of its own under the system's temporary folder, removed with the
// object.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

// The game's abilities and classes, loaded once (characters refer to them).
void loadGameRecords();

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& contents);
}
