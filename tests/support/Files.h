#pragma once

#include <string>

namespace testsupport
{
// A folder of its own under the system's temporary folder, removed with
// everything in it when the object goes; path() is empty when it could not be
// made.
class ScratchFolder
{
public:
    explicit ScratchFolder(const std::string& prefix = "zolt-test");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return _path; }

private:
    std::string _path;
};

// The whole content of a file, byte for byte; empty when it cannot be read.
std::string readText(const std::string& path);

// Writes the file anew with exactly these bytes.
void writeText(const std::string& path, const std::string& contents);
}
