#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "map/PassabilityMap.h"
#include "graphics/TGMap.h"
#include "graphics/TGTileset.h"

class TriggerMap;

typedef std::vector<tamsygraphics::Map*> DrawableMapList;

// One tile map in memory: its drawable layers, its passability grid and its
// trigger grid, plus the conversions between cells and world positions. The
// level map owns all of them, except that while its scene is shown the
// layers belong to the scene manager (handOverLayers) and the level map only
// looks at them.
class LevelMap
{
public:
    LevelMap(const DrawableMapList& drawableMaps, core::PassabilityMap* passabilityMap, TriggerMap* triggerMap);
    ~LevelMap();
    LevelMap(const LevelMap&) = delete;
    LevelMap& operator=(const LevelMap&) = delete;

    // The layers, owned or not (see handOverLayers).
    DrawableMapList getDrawableMaps() const;
    // Gives the layers to the caller, who frees them from now on; the level
    // map keeps looking at them (highlights) until forgetLayers.
    DrawableMapList handOverLayers();
    // The layers handed over have been freed by their new owner.
    void forgetLayers();
    bool ownsLayers() const { return !_layersHandedOver; }
    core::PassabilityMap* getPassabilityMap() const;
    TriggerMap* getTriggerMap() const;

    // The layers do not own their tileset; the loader hands it here so that
    // it lives exactly as long as the layers that draw with it.
    void adoptTileset(tamsygraphics::Tileset* tileset);

    // The passability grid decides the extent; without one, the first
    // drawable layer does.
    int getNumberOfRows() const;
    int getNumberOfColumns() const;
    bool isOnMap(int row, int column) const;

    // Combat marks cells on the topmost layer, so the marks stay visible.
    void highlightTile(int row, int column);
    void unHighlightTile(int row, int column);

    // World position of a cell centre; fractional cells are allowed so that
    // a walking entity can be placed between two cells.
    glm::vec2 getPosition(double row, double column) const;
    // Width and height of the drawn map in world units, (0, 0) without a
    // layer; the map is centred on the world origin.
    glm::vec2 getWorldSize() const;
    // The cell under a world position, or (-1, -1) outside the map.
    void getRowCol(const glm::vec2& position, int& row, int& column) const;

private:
    const tamsygraphics::Map* geometryLayer() const;

    DrawableMapList drawableMaps;
    core::PassabilityMap* passabilityMap;
    TriggerMap* triggerMap;
    std::vector<tamsygraphics::Tileset*> _ownedTilesets;
    bool _layersHandedOver = false;
};
