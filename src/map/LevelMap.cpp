#include "map/LevelMap.h"

#include <algorithm>

#include "map/TriggerMap.h"

LevelMap::LevelMap(const DrawableMapList& drawableMaps, core::PassabilityMap* passabilityMap, TriggerMap* triggerMap)
    : drawableMaps(drawableMaps), passabilityMap(passabilityMap), triggerMap(triggerMap)
{
}

LevelMap::~LevelMap()
{
    if (!_layersHandedOver)
        for (auto it = drawableMaps.rbegin(); it != drawableMaps.rend(); ++it)
            delete *it;
    delete passabilityMap;
    delete triggerMap;
    for (tamsygraphics::Tileset* tileset : _ownedTilesets)
        delete tileset;
}

DrawableMapList LevelMap::getDrawableMaps() const
{
    return drawableMaps;
}

DrawableMapList LevelMap::handOverLayers()
{
    _layersHandedOver = true;
    return drawableMaps;
}

void LevelMap::forgetLayers()
{
    drawableMaps.clear();
}

core::PassabilityMap* LevelMap::getPassabilityMap() const
{
    return passabilityMap;
}

TriggerMap* LevelMap::getTriggerMap() const
{
    return triggerMap;
}

void LevelMap::adoptTileset(tamsygraphics::Tileset* tileset)
{
    if (tileset && std::find(_ownedTilesets.begin(), _ownedTilesets.end(), tileset) == _ownedTilesets.end())
        _ownedTilesets.push_back(tileset);
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
