#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "map/LevelMap.h"
#include "map/MapLayer.h"
#include "map/MapTileset.h"
#include "map/PassabilityMap.h"

class TriggerMap;

// Reads a tile map saved by the Tiled editor into a LevelMap: one drawable
// layer per tile layer, the passability grid from the layer "Passability"
// and the trigger grid from the object group "Triggers". It keeps no state.
class LevelMapLoader
{
public:
    // The new level map, or null after one error line
    // naming the file and what is wrong with it.
    static std::unique_ptr<LevelMap> loadLevelMap(const std::string& fileName);
    // The same for a map already in memory (any bytes at all; nothing is
    // read past `size`). `fileName` names the map in error lines, and
    // external tilesets and images are looked up beside it, as if the
    // bytes had been read from that file.
    static std::unique_ptr<LevelMap> loadLevelMapFromMemory(const char* bytes, std::size_t size,
                                                            const std::string& fileName);

    // Layer readers. They take the layer's <data> element; false when the
    // data cannot be read or holds fewer tiles than the grid.
    static bool loadDrawableMapTiles(MapLayer* map, const tinyxml2::XMLElement* dataElement);
    static bool loadPassabilityMapTiles(core::PassabilityMap* passabilityMap, const tinyxml2::XMLElement* dataElement);
    static void loadTriggerMapTiles(TriggerMap* triggerMap, const MapTileset* tileset,
                                    const tinyxml2::XMLElement* objectGroupElement, const std::string& fileName);

    // The same readers over ids already decoded (row-major, at least rows x
    // columns of them). `firstGid` is the id of the tileset's first tile.
    static void fillDrawableMap(MapLayer* map, const std::vector<std::uint32_t>& gids, std::uint32_t firstGid = 1);
    static void fillPassabilityMap(core::PassabilityMap* passabilityMap, const std::vector<std::uint32_t>& gids);

    // The tile of a passability-tileset id: which sides stay open.
    static std::unique_ptr<PassabilityTile> passabilityTileFor(int gid);
    static MapTile drawableTileFor(std::uint32_t gid, int maxCol, std::uint32_t firstGid = 1);

    // Triggers of an infinite map, whose grid starts `rowShift` rows and
    // `columnShift` columns above and left of the editor's origin.
    static void loadTriggerMapTiles(TriggerMap* triggerMap, const MapTileset* tileset,
                                    const tinyxml2::XMLElement* objectGroupElement, const std::string& fileName,
                                    int rowShift, int columnShift);

private:
    static bool loadTrigger(TriggerMap* triggerMap, const MapTileset* tileset, const tinyxml2::XMLElement* object,
                            const std::string& fileName, int rowShift, int columnShift);
};
