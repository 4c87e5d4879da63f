#pragma once

#include <memory>
#include <string>

#include "Log/Log.h"
#include "map/LevelMap.h"
#include "map/LevelMapLoader.h"
#include "support/Files.h"
#include "support/LogCapture.h"

using testsupport::ErrorCapture;

inline std::string mapData(const std::string& name)
{
    return "tests/map/data/" + name;
}

// A map of the data folder as the loader reads it; null when it refuses.
inline std::unique_ptr<LevelMap> load(const std::string& name)
{
    return std::unique_ptr<LevelMap>(LevelMapLoader::loadLevelMap(mapData(name)));
}
