#include "map/LevelMap.h"

#include <utility>

#include "map/TriggerMap.h"

namespace
{
OwnedMapList adoptAll(const DrawableMapList& maps)
{
    OwnedMapList owned;
    for (tamsygraphics::Map* map : maps)
        owned.emplace_back(map);
    return owned;
}
}

LevelMap::LevelMap(OwnedMapList layers, std::unique_ptr<core::PassabilityMap> passabilityMap,
                   std::unique_ptr<TriggerMap> triggerMap)
    : _layers(std::move(layers)), passabilityMap(std::move(passabilityMap)), triggerMap(std::move(triggerMap))
{
    for (const auto& layer : _layers)
        drawableMaps.push_back(layer.get());
}

LevelMap::LevelMap(const DrawableMapList& drawableMaps, core::PassabilityMap* passabilityMap, TriggerMap* triggerMap)
    : LevelMap(adoptAll(drawableMaps), std::unique_ptr<core::PassabilityMap>(passabilityMap),
               std::unique_ptr<TriggerMap>(triggerMap))
{
}

LevelMap::~LevelMap()
{
    // Top layer first, as they were built bottom up.
    while (!_layers.empty())
        _layers.pop_back();
}

DrawableMapList LevelMap::getDrawableMaps() const
{
    return drawableMaps;
}

OwnedMapList LevelMap::handOverLayers()
{
    OwnedMapList layers;
    layers.swap(_layers);
    return layers;
}

void LevelMap::forgetLayers()
{
    // Whatever is still here is freed with the views: nothing may point at
    // a layer the level map no longer knows.
    _layers.clear();
    drawableMaps.clear();
}

core::PassabilityMap* LevelMap::getPassabilityMap() const
{
    return passabilityMap.get();
}

TriggerMap* LevelMap::getTriggerMap() const
{
    return triggerMap.get();
}

void LevelMap::adoptTileset(std::unique_ptr<tamsygraphics::Tileset> tileset)
{
    if (!tileset)
        return;
    for (const auto& owned : _ownedTilesets)
        if (owned.get() == tileset.get())
        {
            // Already ours: the second owner must not free it as well.
            (void)tileset.release();
            return;
        }
    _ownedTilesets.push_back(std::move(tileset));
}

void LevelMap::adoptTileset(tamsygraphics::Tileset* tileset)
{
    adoptTileset(std::unique_ptr<tamsygraphics::Tileset>(tileset));
}

bool LevelMap::isOnMap(int row, int column) const
{
    return row >= 0 && row < getNumberOfRows() && column >= 0 && column < getNumberOfColumns();
}

int LevelMap::getNumberOfRows() const
{
    if (passabilityMap)
        return passabilityMap->getNumberOfRows();
    const tamsygraphics::Map* layer = drawableMaps.empty() ? nullptr : drawableMaps.front();
    return layer ? layer->rows : 0;
}

int LevelMap::getNumberOfColumns() const
{
    if (passabilityMap)
        return passabilityMap->getNumberOfColumns();
    const tamsygraphics::Map* layer = drawableMaps.empty() ? nullptr : drawableMaps.front();
    return layer ? layer->cols : 0;
}

void LevelMap::highlightTile(int row, int column)
{
    if (!drawableMaps.empty() && drawableMaps.back())
        drawableMaps.back()->HighlightTile(row, column);
}

void LevelMap::unHighlightTile(int row, int column)
{
    if (!drawableMaps.empty() && drawableMaps.back())
        drawableMaps.back()->UnhiglightTile(row, column);
}

const tamsygraphics::Map* LevelMap::geometryLayer() const
{
    if (drawableMaps.empty() || !drawableMaps.front() || !drawableMaps.front()->tileset)
        return nullptr;
    return drawableMaps.front();
}

glm::vec2 LevelMap::getPosition(double row, double column) const
{
    const tamsygraphics::Map* layer = geometryLayer();
    if (!layer)
        return glm::vec2(0.0f, 0.0f);
    double mapWidth = layer->GetMapWidth();
    double mapHeight = layer->GetMapHeight();
    double tileWidth = layer->tileset->renderedTileWidth;
    double tileHeight = layer->tileset->renderedTileHeight;
    double x = -mapWidth / 2.0 + tileWidth * column + tileWidth / 2.0;
    double y = mapHeight / 2.0 - tileHeight * row - tileHeight / 2.0;
    return glm::vec2(static_cast<float>(x), static_cast<float>(y));
}

glm::vec2 LevelMap::getWorldSize() const
{
    const tamsygraphics::Map* layer = geometryLayer();
    if (!layer)
        return glm::vec2(0.0f, 0.0f);
    return glm::vec2(static_cast<float>(layer->GetMapWidth()), static_cast<float>(layer->GetMapHeight()));
}

void LevelMap::getRowCol(const glm::vec2& position, int& row, int& column) const
{
    row = -1;
    column = -1;
    const tamsygraphics::Map* layer = geometryLayer();
    if (!layer || layer->tileset->renderedTileWidth <= 0 || layer->tileset->renderedTileHeight <= 0)
        return;
    double halfWidth = layer->GetMapWidth() / 2.0;
    double halfHeight = layer->GetMapHeight() / 2.0;
    double x = position.x;
    double y = position.y;
    if (!(x > -halfWidth && x < halfWidth && y > -halfHeight && y < halfHeight))
        return;
    row = static_cast<int>(layer->rows - (y + halfHeight) / layer->tileset->renderedTileHeight);
    column = static_cast<int>((x + halfWidth) / layer->tileset->renderedTileWidth);
}
