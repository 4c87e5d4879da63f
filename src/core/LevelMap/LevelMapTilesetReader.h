#pragma once

#include <cstdint>
#include <string>

#include <tinyxml2.h>

#include "graphics/TGTileset.h"

// Builds the one tileset of a tile map from its first <tileset> element,
// written inline or kept by the editor in an external .tsx file. The image
// path it records is relative to the map file in both cases, so callers
// need not know where the tileset was written.
class LevelMapTilesetReader
{
public:
    // The new tileset (the caller owns it), or null with `problem` set.
    // `mapPath` is the path the map was opened with; `firstGid` receives
    // the id of the tileset's first tile.
    static tamsygraphics::Tileset* read(const tinyxml2::XMLElement* mapElement,
                                        const std::string& mapPath, std::uint32_t& firstGid,
                                        std::string& problem);

    // The directory part of a path, without the final "/" ("" when none).
    static std::string directoryOf(const std::string& path);

private:
    static tamsygraphics::Tileset* readExternal(const std::string& mapPath, const std::string& source,
                                                std::string& problem);
    static tamsygraphics::Tileset* build(const tinyxml2::XMLElement* tilesetElement,
                                         const std::string& imageDirectory, std::string& problem);
    static bool readTileSize(const tinyxml2::XMLElement* tilesetElement,
                             tamsygraphics::Tileset& tileset, std::string& problem);
    static bool readImage(const tinyxml2::XMLElement* tilesetElement, const std::string& imageDirectory,
                          tamsygraphics::Tileset& tileset, std::string& problem);
    static int tilesAcross(int imageSize, int tileSize, int margin, int spacing);
};
