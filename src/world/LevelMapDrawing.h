#pragma once

#include <map>
#include <memory>
#include <vector>

#include "graphics/TGMap.h"
#include "graphics/TGTileset.h"

class LevelMap;
class MapLayer;
struct MapTileset;

// The graphics engine's picture of a level map: one drawable layer per
// layer of the map, each cell resolved to the tile image it shows, with the
// tilesets they draw from. Built when a scene is shown (or a tool draws a
// map), so that the level map itself holds no drawing. The drawing owns the
// tilesets for as long as it lives, and the layers until they are handed
// over (to the scene manager).
class LevelMapDrawing
{
public:
    explicit LevelMapDrawing(const LevelMap& level);
    LevelMapDrawing(const LevelMapDrawing&) = delete;
    LevelMapDrawing& operator=(const LevelMapDrawing&) = delete;

    // The layers in the map's order, handed over or not.
    const std::vector<tamsygraphics::Map*>& layers() const { return _layers; }
    // Gives the layers to the caller, who frees them from now on; the
    // drawing keeps its tilesets, which must outlive the layers' use.
    std::vector<tamsygraphics::Map*> handOverLayers();

    // One layer as the graphics engine draws it, its tilesets taken from
    // (and added to) `tilesets`.
    static std::unique_ptr<tamsygraphics::Map>
    buildLayer(const MapLayer& layer, std::map<const MapTileset*, std::unique_ptr<tamsygraphics::Tileset>>& tilesets);
    static tamsygraphics::Tileset toTileset(const MapTileset& tileset);

private:
    std::map<const MapTileset*, std::unique_ptr<tamsygraphics::Tileset>> _tilesets;
    std::vector<std::unique_ptr<tamsygraphics::Map>> _owned;
    std::vector<tamsygraphics::Map*> _layers;
};
