#pragma once

#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "map/PassabilityMap.h"
#include "graphics/TGMap.h"
#include "graphics/TGTileset.h"

class TriggerMap;

typedef std::vector<tamsygraphics::Map*> DrawableMapList;
typedef std::vector<std::unique_ptr<tamsygraphics::Map>> OwnedMapList;

// One tile map in memory: its drawable layers, its passability grid and its
// trigger grid, plus the conversions between cells and world positions. The
// level map owns all of them, except that while its scene is shown the
// layers have moved to the scene manager (handOverLayers) and the level map
// only looks at them.
class LevelMap
{
public:
    LevelMap(OwnedMapList layers, std::unique_ptr<core::PassabilityMap> passabilityMap,
             std::unique_ptr<TriggerMap> triggerMap);
    // Takes over every pointer given (maps put together by hand).
    LevelMap(const DrawableMapList& drawableMaps, core::PassabilityMap* passabilityMap, TriggerMap* triggerMap);
    ~LevelMap();
    LevelMap(const LevelMap&) = delete;
    LevelMap& operator=(const LevelMap&) = delete;

    // The layers, held here or handed over (see handOverLayers).
    DrawableMapList getDrawableMaps() const;
    // Moves the layers to the caller; the level map keeps looking at them
    // (highlights) until forgetLayers. Empty when they were handed over
    // already.
    OwnedMapList handOverLayers();
    // The layers handed over have been freed by their new owner.
    void forgetLayers();
    bool ownsLayers() const { return _layers.size() == drawableMaps.size(); }
    core::PassabilityMap* getPassabilityMap() const;
    TriggerMap* getTriggerMap() const;

    // The layers do not own their tileset; the loader hands it here so that
    // it lives exactly as long as the layers that draw with it.
    void adoptTileset(std::unique_ptr<tamsygraphics::Tileset> tileset);
    // The same for a tileset made by hand; adopting one twice keeps one.
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

    // Declared first, freed last: the layers draw with them.
    std::vector<std::unique_ptr<tamsygraphics::Tileset>> _ownedTilesets;
    // What the layers are wherever they live; _layers holds them while they
    // are here.
    DrawableMapList drawableMaps;
    OwnedMapList _layers;
    std::unique_ptr<core::PassabilityMap> passabilityMap;
    std::unique_ptr<TriggerMap> triggerMap;
};
