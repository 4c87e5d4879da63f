#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "map/MapLayer.h"
#include "map/MapTileset.h"
#include "map/PassabilityMap.h"

class TriggerMap;

typedef std::vector<MapLayer*> DrawableMapList;
typedef std::vector<std::unique_ptr<MapLayer>> MapLayers;

// One tile map in memory, apart from any drawing: its layers (grids of tile
// ids), its passability grid and its trigger grid, the cells combat marks,
// plus the conversions between cells and world positions. The level map
// owns all of them; the graphics engine draws from copies it makes when the
// map is shown.
class LevelMap
{
public:
    LevelMap(MapLayers layers, core::PassabilityMap* passabilityMap, TriggerMap* triggerMap);
    ~LevelMap();
    LevelMap(const LevelMap&) = delete;
    LevelMap& operator=(const LevelMap&) = delete;

    // The layers in the file's order (the level map keeps them).
    DrawableMapList getDrawableMaps() const;
    core::PassabilityMap* getPassabilityMap() const;
    TriggerMap* getTriggerMap() const;

    // The layers do not own their tilesets; the loader hands them here so
    // that they live exactly as long as the layers that use them.
    void adoptTileset(MapTileset* tileset);
    void adoptTileset(std::unique_ptr<MapTileset> tileset) { adoptTileset(tileset.release()); }

    // The passability grid decides the extent; without one, the first
    // layer does.
    int getNumberOfRows() const;
    int getNumberOfColumns() const;
    bool isOnMap(int row, int column) const;

    // Cells combat marks (reachable, targeted), in the order marked; a cell
    // may be marked twice and unmarking removes every mark of it.
    void highlightTile(int row, int column);
    void unHighlightTile(int row, int column);
    const std::vector<std::pair<int, int>>& getHighlightedTiles() const { return _highlights; }
    // Told of every mark set (true) or taken away (false), so that whoever
    // draws the map can show it; an empty function stops telling.
    typedef std::function<void(int row, int column, bool marked)> HighlightListener;
    void setHighlightListener(HighlightListener listener);

    // World position of a cell centre; fractional cells are allowed so that
    // a walking entity can be placed between two cells.
    glm::vec2 getPosition(double row, double column) const;
    // Width and height of the drawn map in world units, (0, 0) without a
    // layer; the map is centred on the world origin.
    glm::vec2 getWorldSize() const;
    // The cell under a world position, or (-1, -1) outside the map.
    void getRowCol(const glm::vec2& position, int& row, int& column) const;

    // The sound cue of a step on this map (the map's "stepCue" property, so
    // that sand or grass can sound soft); empty for the game's usual step.
    void setStepCue(const std::string& cue) { _stepCue = cue; }
    const std::string& getStepCue() const { return _stepCue; }

private:
    const MapLayer* geometryLayer() const;
    float mapWidth(const MapLayer& layer) const;
    float mapHeight(const MapLayer& layer) const;

    MapLayers _layers;
    std::unique_ptr<core::PassabilityMap> _passabilityMap;
    std::unique_ptr<TriggerMap> _triggerMap;
    std::vector<std::unique_ptr<MapTileset>> _ownedTilesets;
    std::vector<std::pair<int, int>> _highlights;
    HighlightListener _highlightListener;
    std::string _stepCue;
};
