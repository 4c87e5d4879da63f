#include "map/LevelMap.h"

#include <utility>

#include "map/TriggerMap.h"

LevelMap::LevelMap(MapLayers layers, core::PassabilityMap* passabilityMap, TriggerMap* triggerMap)
    : _layers(std::move(layers)), _passabilityMap(passabilityMap), _triggerMap(triggerMap)
{
}

LevelMap::~LevelMap()
{
    // The layers go last to first, before the tilesets they point at.
    while (!_layers.empty())
        _layers.pop_back();
}

DrawableMapList LevelMap::getDrawableMaps() const
{
    DrawableMapList list;
    for (const auto& layer : _layers)
        list.push_back(layer.get());
    return list;
}

core::PassabilityMap* LevelMap::getPassabilityMap() const
{
    return _passabilityMap.get();
}

TriggerMap* LevelMap::getTriggerMap() const
{
    return _triggerMap.get();
}

void LevelMap::adoptTileset(MapTileset* tileset)
{
    if (!tileset)
        return;
    for (const auto& owned : _ownedTilesets)
        if (owned.get() == tileset)
            return;
    _ownedTilesets.emplace_back(tileset);
}

bool LevelMap::isOnMap(int row, int column) const
{
    return row >= 0 && row < getNumberOfRows() && column >= 0 && column < getNumberOfColumns();
}

int LevelMap::getNumberOfRows() const
{
    if (_passabilityMap)
        return _passabilityMap->getNumberOfRows();
    return _layers.empty() ? 0 : _layers.front()->rows;
}

int LevelMap::getNumberOfColumns() const
{
    if (_passabilityMap)
        return _passabilityMap->getNumberOfColumns();
    return _layers.empty() ? 0 : _layers.front()->cols;
}

void LevelMap::highlightTile(int row, int column)
{
    _highlights.emplace_back(row, column);
    if (_highlightListener)
        _highlightListener(row, column, true);
}

void LevelMap::unHighlightTile(int row, int column)
{
    const std::pair<int, int> cell(row, column);
    _highlights.erase(std::remove(_highlights.begin(), _highlights.end(), cell), _highlights.end());
    if (_highlightListener)
        _highlightListener(row, column, false);
}

void LevelMap::setHighlightListener(HighlightListener listener)
{
    _highlightListener = std::move(listener);
}

const MapLayer* LevelMap::geometryLayer() const
{
    if (_layers.empty() || !_layers.front()->tileset)
        return nullptr;
    return _layers.front().get();
}

float LevelMap::mapWidth(const MapLayer& layer) const
{
    return static_cast<float>(layer.tileset->renderedTileWidth * layer.cols);
}

float LevelMap::mapHeight(const MapLayer& layer) const
{
    return static_cast<float>(layer.tileset->renderedTileHeight * layer.rows);
}

glm::vec2 LevelMap::getPosition(double row, double column) const
{
    const MapLayer* layer = geometryLayer();
    if (!layer)
        return glm::vec2(0.0f, 0.0f);
    double width = mapWidth(*layer);
    double height = mapHeight(*layer);
    double tileWidth = layer->tileset->renderedTileWidth;
    double tileHeight = layer->tileset->renderedTileHeight;
    double x = -width / 2.0 + tileWidth * column + tileWidth / 2.0;
    double y = height / 2.0 - tileHeight * row - tileHeight / 2.0;
    return glm::vec2(static_cast<float>(x), static_cast<float>(y));
}

glm::vec2 LevelMap::getWorldSize() const
{
    const MapLayer* layer = geometryLayer();
    if (!layer)
        return glm::vec2(0.0f, 0.0f);
    return glm::vec2(mapWidth(*layer), mapHeight(*layer));
}

void LevelMap::getRowCol(const glm::vec2& position, int& row, int& column) const
{
    row = -1;
    column = -1;
    const MapLayer* layer = geometryLayer();
    if (!layer || layer->tileset->renderedTileWidth <= 0 || layer->tileset->renderedTileHeight <= 0)
        return;
    double halfWidth = mapWidth(*layer) / 2.0;
    double halfHeight = mapHeight(*layer) / 2.0;
    double x = position.x;
    double y = position.y;
    if (!(x > -halfWidth && x < halfWidth && y > -halfHeight && y < halfHeight))
        return;
    row = static_cast<int>(layer->rows - (y + halfHeight) / layer->tileset->renderedTileHeight);
    column = static_cast<int>((x + halfWidth) / layer->tileset->renderedTileWidth);
}
