#include "support/Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testsupport
{
ScratchFolder::ScratchFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()))
        _path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    if (!_path.empty())
        std::filesystem::remove_all(_path, error);
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}
}
