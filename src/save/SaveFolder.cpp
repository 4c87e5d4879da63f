#include "save/SaveFolder.h"

namespace core
{
std::string SaveFolder::forGame(const std::string& dataDirectory, const std::string& id, bool keepsSharedFolder)
{
    if (dataDirectory.empty())
        return "";
    if (keepsSharedFolder)
        return dataDirectory + "/saves";
    // Without an id the game would share a folder with others by accident.
    if (id.empty())
        return "";
    return dataDirectory + "/" + id + "/saves";
}
}
