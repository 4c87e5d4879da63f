#pragma once

// The game's own tile maps, for tests that hold every one of them to a rule.

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace gamemaps
{
// Every .tmx file under assets/maps, in a stable order; empty without them.
inline std::vector<std::string> files()
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("assets/maps", error))
        if (entry.path().extension() == ".tmx")
            found.push_back(entry.path().string());
    std::sort(found.begin(), found.end());
    return found;
}
}
