#include "SaveTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/ResourceManager.h"

namespace savetest
{
ScratchFolder::ScratchFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zolt-save-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        _path = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code error;
    if (!_path.empty())
        std::filesystem::remove_all(_path, error);
}

void loadGameRecords()
{
    static const bool loaded = core::ResourceManager::buildFromXMLFile("assets/items.xml") &&
                               core::ResourceManager::buildFromXMLFile("assets/abilities.xml") &&
                               core::ResourceManager::buildFromXMLFile("assets/classes.xml");
    (void)loaded;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::string& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}
}
