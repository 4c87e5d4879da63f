#pragma once

#include <cstdint>
#include <string>

#include <tinyxml2.h>

#include "map/MapTileset.h"

class TilePassability;

// Builds one tileset of a tile map from its <tileset> element, written
// inline or kept by the editor in an external .tsx file. The image path it
// records is relative to the map file in both cases, so callers need not
// know where the tileset was written; `imagePath` is the same image as the
// working directory sees it.
class LevelMapTilesetReader
{
public:
    // The new tileset (the caller owns it), or null with `problem` set.
    // `mapPath` is the path the map was opened with; `firstGid` receives
    // the id of the tileset's first tile, and `passability` (when given)
    // the open sides its tiles declare.
    static MapTileset* read(const tinyxml2::XMLElement* tilesetElement, const std::string& mapPath,
                            std::uint32_t& firstGid, std::string& problem, TilePassability* passability = nullptr);

    // The texture name of a tileset image that is not the game's start-up
    // "tileset": its path, plus the transparent colour when it has one, as
    // the same file keyed and unkeyed are two different textures.
    static std::string textureNameOf(const MapTileset& tileset);

    // The directory part of a path, without the final "/" ("" when none).
    static std::string directoryOf(const std::string& path);

private:
    static MapTileset* readExternal(const std::string& mapPath, const std::string& source, std::string& problem,
                                    TilePassability* passability);
    static MapTileset* build(const tinyxml2::XMLElement* tilesetElement, const std::string& imageDirectory,
                             const std::string& mapPath, std::string& problem, TilePassability* passability);
    static bool readOffset(const tinyxml2::XMLElement* tilesetElement, MapTileset& tileset, std::string& problem);
    static bool readImageSize(const tinyxml2::XMLElement* image, MapTileset& tileset, int& width, int& height,
                              std::string& problem);
    static bool readTileSize(const tinyxml2::XMLElement* tilesetElement, MapTileset& tileset, std::string& problem);
    static bool readImage(const tinyxml2::XMLElement* tilesetElement, const std::string& imageDirectory,
                          const std::string& mapPath, MapTileset& tileset, std::string& problem);
    static bool readColourKey(const tinyxml2::XMLElement* image, MapTileset& tileset, std::string& problem);
    static bool readAnimations(const tinyxml2::XMLElement* tilesetElement, MapTileset& tileset, std::string& problem);
    static bool readAnimation(const tinyxml2::XMLElement* animation, int tileId, MapTileset& tileset,
                              std::string& problem);
    static int tilesAcross(int imageSize, int tileSize, int margin, int spacing);
};
