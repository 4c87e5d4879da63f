#include "world/LevelMapDrawing.h"

#include <algorithm>

#include "map/LevelMap.h"
#include "map/MapLayer.h"
#include "map/MapTileResolver.h"

namespace
{
typedef std::map<const MapTileset*, std::unique_ptr<tamsygraphics::Tileset>> TilesetCopies;

tamsygraphics::Tileset* copyOf(const MapTileset* tileset, TilesetCopies& copies)
{
    if (!tileset)
        return nullptr;
    std::unique_ptr<tamsygraphics::Tileset>& copy = copies[tileset];
    if (!copy)
        copy = std::make_unique<tamsygraphics::Tileset>(LevelMapDrawing::toTileset(*tileset));
    return copy.get();
}

tamsygraphics::DrawableTile drawable(const MapTile& tile)
{
    tamsygraphics::DrawableTile cell;
    cell.row = tile.row;
    cell.col = tile.col;
    cell.visible = tile.visible;
    cell.flipVertical = tile.flipVertical;
    cell.flipHorizontal = tile.flipHorizontal;
    cell.flipDiagonal = tile.flipDiagonal;
    cell.tileset = tile.tileset;
    return cell;
}

// Only a layer of cells gets a grid: object and image layers span the map
// without cells of their own.
void fillCells(const MapLayer& layer, tamsygraphics::Map& map)
{
    const std::size_t columns = static_cast<std::size_t>(std::max(0, layer.cols));
    if (layer.gids.empty() || layer.gids.size() < columns * static_cast<std::size_t>(std::max(0, layer.rows)))
        return;
    const MapTileResolver resolver(layer);
    map.tiles.resize(static_cast<std::size_t>(layer.rows));
    const std::uint32_t* gid = layer.gids.data();
    for (auto& row : map.tiles)
    {
        // Each tile is written once, where it is made.
        row.reserve(columns);
        for (std::size_t column = 0; column < columns; ++column)
            row.push_back(drawable(resolver.resolve(*gid++)));
    }
}

void copyLook(const MapLayer& layer, tamsygraphics::Map& map)
{
    map.name = layer.name;
    map.priorityLevel = layer.priorityLevel;
    map.rows = layer.rows;
    map.cols = layer.cols;
    map.shownInEditor = layer.shownInEditor;
    map.opacity = layer.opacity;
    std::copy(layer.tint, layer.tint + 4, map.tint);
    map.editorOrder = layer.editorOrder;
    map.overSprites = layer.overSprites;
    map.holdsSprites = layer.holdsSprites;
    map.offsetX = layer.offsetX;
    map.offsetY = layer.offsetY;
    map.parallaxX = layer.parallaxX;
    map.parallaxY = layer.parallaxY;
    map.parallaxOriginX = layer.parallaxOriginX;
    map.parallaxOriginY = layer.parallaxOriginY;
    map.repeatX = layer.repeatX;
    map.repeatY = layer.repeatY;
}
}

LevelMapDrawing::LevelMapDrawing(const LevelMap& level)
{
    for (const MapLayer* layer : level.getDrawableMaps())
    {
        _owned.push_back(buildLayer(*layer, _tilesets));
        _layers.push_back(_owned.back().get());
    }
}

std::vector<tamsygraphics::Map*> LevelMapDrawing::handOverLayers()
{
    // The receiver owns the layers from here on; _layers still names them.
    for (auto& layer : _owned)
        static_cast<void>(layer.release());
    _owned.clear();
    return _layers;
}

std::unique_ptr<tamsygraphics::Map> LevelMapDrawing::buildLayer(const MapLayer& layer, TilesetCopies& tilesets)
{
    auto map = std::make_unique<tamsygraphics::Map>();
    copyLook(layer, *map);
    map->tileset = copyOf(layer.tileset, tilesets);
    for (const MapTileset* tileset : layer.tilesets)
        map->tilesets.push_back(copyOf(tileset, tilesets));
    fillCells(layer, *map);
    for (const MapTileObject& object : layer.objects)
    {
        tamsygraphics::TileObject placed;
        placed.tile = drawable(object.tile);
        placed.x = object.x;
        placed.y = object.y;
        placed.width = object.width;
        placed.height = object.height;
        placed.rotation = object.rotation;
        map->objects.push_back(placed);
    }
    return map;
}

tamsygraphics::Tileset LevelMapDrawing::toTileset(const MapTileset& tileset)
{
    tamsygraphics::Tileset copy;
    copy.name = tileset.name;
    copy.imageName = tileset.imageName;
    copy.tileHeight = tileset.tileHeight;
    copy.tileWidth = tileset.tileWidth;
    copy.renderedTileWidth = tileset.renderedTileWidth;
    copy.renderedTileHeight = tileset.renderedTileHeight;
    copy.spaceX = tileset.spaceX;
    copy.spaceY = tileset.spaceY;
    copy.maxCol = tileset.maxCol;
    copy.maxRow = tileset.maxRow;
    copy.imagePath = tileset.imagePath;
    copy.transparentColour = tileset.transparentColour;
    copy.offsetX = tileset.offsetX;
    copy.offsetY = tileset.offsetY;
    for (const auto& animation : tileset.animations)
    {
        tamsygraphics::TileAnimation& frames = copy.animations[animation.first];
        for (const MapTileAnimation::Frame& frame : animation.second.frames)
            frames.frames.push_back({frame.tileId, frame.duration});
    }
    return copy;
}
