#include "core/SaveFolder.h"

#include <filesystem>

#include "Log/Log.h"

namespace fs = std::filesystem;

namespace core
{
std::string SaveFolder::legacyFolder(const std::string& dataDirectory)
{
    return dataDirectory + "/saves";
}

std::string SaveFolder::forGame(const std::string& dataDirectory, const std::string& id, bool adoptsLegacy)
{
    if (dataDirectory.empty() || id.empty())
        return "";
    const std::string folder = dataDirectory + "/" + id + "/saves";
    std::error_code error;
    // Once the game has a folder of its own the copy has been made: a save
    // the player deleted since is not brought back.
    if (adoptsLegacy && !fs::exists(folder, error) && fs::is_directory(legacyFolder(dataDirectory), error))
        copyMissing(legacyFolder(dataDirectory), folder);
    return folder;
}

bool SaveFolder::copyMissing(const std::string& from, const std::string& to)
{
    std::error_code error;
    fs::create_directories(to, error);
    if (error)
    {
        Log::error() << "SaveFolder::copyMissing - Cannot make " << to << ": " << error.message()
                     << "; the saves stay in " << from << std::endl;
        return false;
    }
    bool allCopied = true;
    for (const fs::directory_entry& entry : fs::directory_iterator(from, error))
    {
        if (!entry.is_regular_file(error))
            continue;
        const fs::path target = fs::path(to) / entry.path().filename();
        if (fs::exists(target, error))
            continue;
        fs::copy_file(entry.path(), target, error);
        if (error)
        {
            Log::error() << "SaveFolder::copyMissing - Cannot copy " << entry.path().string() << " to " << to << ": "
                         << error.message() << std::endl;
            allCopied = false;
        }
    }
    return allCopied;
}
}
