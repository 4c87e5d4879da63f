#include "core/LevelMap/LevelMapLoader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <memory>

#include "Log/Log.h"
#include "core/LevelMap/LevelMapAttributes.h"
#include "core/LevelMap/LevelMapLayerData.h"
#include "core/LevelMap/LevelMapTilesetReader.h"
#include "core/LevelMap/TriggerMap.h"
#include "core/LevelMap/TriggerTile.h"
#include "event/TriggerTileEvent.h"
#include "util/util.h"

namespace
{
const std::uint32_t FLIP_BITS = tamsygraphics::FLIPPED_HORIZONTALLY_FLAG |
                                tamsygraphics::FLIPPED_VERTICALLY_FLAG |
                                tamsygraphics::FLIPPED_DIAGONALLY_FLAG;

// What has been read so far; anything not handed to the LevelMap at the end
// is released with it, so a refused map leaves nothing behind.
struct PartialLevel
{
    std::string fileName;
    std::string path;
    std::unique_ptr<tamsygraphics::Tileset> tileset;
    std::uint32_t firstGid = 1;
    std::vector<std::unique_ptr<tamsygraphics::Map>> drawableMaps;
    std::unique_ptr<core::PassabilityMap> passabilityMap;
    std::unique_ptr<TriggerMap> triggerMap;
};

bool refuse(const PartialLevel& level, const std::string& problem)
{
    Log::error() << "LevelMapLoader::loadLevelMap - Unable to load map " << level.fileName << ": "
                 << problem << std::endl;
    return false;
}

bool openAndParse(PartialLevel& level, tinyxml2::XMLDocument& document)
{
    std::FILE* file = std::fopen(level.path.c_str(), "rb");
    if (!file)
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Error opening file " << level.fileName << std::endl;
        return false;
    }
    Log::named("Scene") << LevelMapTilesetReader::directoryOf(level.path) << std::endl;
    tinyxml2::XMLError result = document.LoadFile(file);
    std::fclose(file);
    if (result != tinyxml2::XML_SUCCESS)
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Failed to load map file " << level.fileName
                     << ": " << nullToEmpty(document.ErrorStr()) << std::endl;
        return false;
    }
    return true;
}

bool readLayerSize(PartialLevel& level, const tinyxml2::XMLElement* layer, const std::string& name,
                   int& rows, int& columns)
{
    std::string problem;
    if (!LevelMapAttributes::readCount(layer, "width", 0, columns, problem) ||
        !LevelMapAttributes::readCount(layer, "height", 0, rows, problem))
        return refuse(level, "layer \"" + name + "\": " + problem);
    return true;
}

bool readLayer(PartialLevel& level, const tinyxml2::XMLElement* layer)
{
    Log::named("LevelMapLoader") << "Going through layers" << std::endl;
    if (!LevelMapAttributes::has(layer, "name"))
        return refuse(level, "a layer has no name");
    std::string name = LevelMapAttributes::text(layer, "name");
    Log::named("LevelMapLoader") << "Got Layer name: " << name << std::endl;
    int rows = 0;
    int columns = 0;
    if (!readLayerSize(level, layer, name, rows, columns))
        return false;
    const tinyxml2::XMLElement* data = layer->FirstChildElement("data");
    if (!data)
        return refuse(level, "layer \"" + name + "\" has no <data>");
    if (data->Attribute("compression"))
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Scene map " << level.fileName
                     << " is compressed, returning NULL" << std::endl;
        return false;
    }
    std::vector<std::uint32_t> gids;
    std::string problem;
    std::size_t count = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (!LevelMapLayerData::decode(data, count, gids, problem))
        return refuse(level, "layer \"" + name + "\": " + problem);

    if (name == "Passability" || name == "passability")
    {
        level.passabilityMap = std::make_unique<core::PassabilityMap>(rows, columns);
        LevelMapLoader::fillPassabilityMap(level.passabilityMap.get(), gids);
        return true;
    }
    auto map = std::make_unique<tamsygraphics::Map>();
    map->name = name;
    map->rows = rows;
    map->cols = columns;
    map->tileset = level.tileset.get();
    map->priorityLevel = static_cast<int>(level.drawableMaps.size());
    LevelMapLoader::fillDrawableMap(map.get(), gids, level.firstGid);
    level.drawableMaps.push_back(std::move(map));
    return true;
}

// The largest extent of the layers read. Only layers that hold cells count:
// their data was read in full, so their size is real, while a layer of zero
// rows may claim any number of columns.
void growExtent(int layerRows, int layerColumns, int& rows, int& columns)
{
    if (layerRows <= 0 || layerColumns <= 0)
        return;
    rows = std::max(rows, layerRows);
    columns = std::max(columns, layerColumns);
}

void mapExtent(const PartialLevel& level, int& rows, int& columns)
{
    rows = 0;
    columns = 0;
    for (const auto& map : level.drawableMaps)
        growExtent(map->rows, map->cols, rows, columns);
    if (level.passabilityMap)
        growExtent(level.passabilityMap->getNumberOfRows(),
                   level.passabilityMap->getNumberOfColumns(), rows, columns);
}

// Recent editor versions no longer write a size on object groups; the
// trigger grid then covers the whole map. A size larger than the map is cut
// to it: the grid holds one tile per cell, so a mistyped size must not
// exhaust memory.
void triggerGridSize(const PartialLevel& level, const tinyxml2::XMLElement* group, int& rows,
                     int& columns)
{
    int mapRows = 0;
    int mapColumns = 0;
    mapExtent(level, mapRows, mapColumns);
    rows = std::max(0, group->IntAttribute("height", 0));
    columns = std::max(0, group->IntAttribute("width", 0));
    if (rows <= 0 || columns <= 0)
    {
        rows = mapRows;
        columns = mapColumns;
    }
    rows = std::min(rows, mapRows);
    columns = std::min(columns, mapColumns);
}

void readObjectGroups(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    const tinyxml2::XMLElement* group = mapElement->FirstChildElement("objectgroup");
    if (group)
        Log::named("LevelMapLoader") << "Got Object Layer" << std::endl;
    for (; group; group = group->NextSiblingElement("objectgroup"))
    {
        Log::named("LevelMapLoader") << "In Object Layer Loop" << std::endl;
        if (LevelMapAttributes::text(group, "name") != "Triggers")
            continue;
        int rows = 0;
        int columns = 0;
        triggerGridSize(level, group, rows, columns);
        level.triggerMap = std::make_unique<TriggerMap>(rows, columns);
        LevelMapLoader::loadTriggerMapTiles(level.triggerMap.get(), level.tileset.get(), group,
                                            level.fileName);
        Log::named("LevelMapLoader") << "Done loading Triggers" << std::endl;
    }
}

bool readLevel(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    std::string problem;
    level.tileset.reset(LevelMapTilesetReader::read(mapElement, level.path, level.firstGid, problem));
    if (!level.tileset)
        return refuse(level, problem);
    Log::named("LevelMapLoader") << level.tileset->imageName << std::endl;
    for (const tinyxml2::XMLElement* layer = mapElement->FirstChildElement("layer"); layer;
         layer = layer->NextSiblingElement("layer"))
    {
        if (!readLayer(level, layer))
            return false;
    }
    readObjectGroups(level, mapElement);
    if (level.drawableMaps.empty())
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Unable to create level from " << level.fileName
                     << ": Missing drawable layers" << std::endl;
        return false;
    }
    return true;
}

LevelMap* assemble(PartialLevel& level)
{
    DrawableMapList maps;
    for (auto& map : level.drawableMaps)
        maps.push_back(map.release());
    LevelMap* levelMap = new LevelMap(maps, level.passabilityMap.release(), level.triggerMap.release());
    levelMap->adoptTileset(level.tileset.release());
    return levelMap;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return text;
}

bool isScriptProperty(const std::string& name)
{
    std::string lower = lowerCase(name);
    return lower == "script" || lower == "scriptfilename" || lower == "scriptname" ||
           lower == "scriptfile";
}

// Long values are written by the editor as the element's text.
std::string propertyValue(const tinyxml2::XMLElement* property)
{
    if (property->Attribute("value"))
        return nullToEmpty(property->Attribute("value"));
    return nullToEmpty(property->GetText());
}

// Far beyond any map, yet safe to turn into an int.
double clampPixels(double pixels)
{
    const double limit = 1.0e9;
    return pixels < -limit ? -limit : (pixels > limit ? limit : pixels);
}

// Cells of an object, in file pixels. Floor division keeps an object that
// starts left of or above the map from landing on the first cells.
int cellOf(double pixels, int tileSize)
{
    return static_cast<int>(std::floor(std::floor(clampPixels(pixels)) / tileSize));
}
}

LevelMap* LevelMapLoader::loadLevelMap(const std::string& fileName)
{
    PartialLevel level;
    level.fileName = fileName;
    level.path = WORKING_DIRECTORY + "/" + fileName;
    tinyxml2::XMLDocument document;
    if (!openAndParse(level, document))
        return nullptr;
    const tinyxml2::XMLElement* mapElement = document.FirstChildElement("map");
    if (!mapElement)
    {
        refuse(level, "the file has no <map>");
        return nullptr;
    }
    if (!readLevel(level, mapElement))
        return nullptr;
    return assemble(level);
}

tamsygraphics::DrawableTile LevelMapLoader::drawableTileFor(std::uint32_t gid, int maxCol,
                                                            std::uint32_t firstGid)
{
    tamsygraphics::DrawableTile tile;
    std::uint32_t number = gid & ~FLIP_BITS;
    // Ids below the tileset's first one belong to no tile we can draw.
    long long index = number == 0 ? -1 : static_cast<long long>(number) - static_cast<long long>(firstGid);
    tile.visible = index >= 0;
    if (maxCol <= 0)
        maxCol = 1;
    if (index < 0)
        index = -1;
    tile.col = static_cast<int>(index % maxCol);
    tile.row = static_cast<int>((index - tile.col) / maxCol);
    tile.flipHorizontal = (gid & tamsygraphics::FLIPPED_HORIZONTALLY_FLAG) != 0;
    tile.flipVertical = (gid & tamsygraphics::FLIPPED_VERTICALLY_FLAG) != 0;
    tile.flipDiagonal = (gid & tamsygraphics::FLIPPED_DIAGONALLY_FLAG) != 0;
    return tile;
}

void LevelMapLoader::fillDrawableMap(tamsygraphics::Map* map, const std::vector<std::uint32_t>& gids,
                                     std::uint32_t firstGid)
{
    int maxCol = map->tileset ? map->tileset->maxCol : 1;
    int maxRow = map->tileset ? map->tileset->maxRow : 0;
    std::size_t next = 0;
    map->tiles.clear();
    map->tiles.reserve(static_cast<std::size_t>(std::max(0, map->rows)));
    for (int row = 0; row < map->rows; ++row)
    {
        map->tiles.emplace_back();
        map->tiles.back().reserve(static_cast<std::size_t>(std::max(0, map->cols)));
        for (int column = 0; column < map->cols; ++column)
        {
            std::uint32_t gid = next < gids.size() ? gids[next] : 0;
            ++next;
            tamsygraphics::DrawableTile tile = drawableTileFor(gid, maxCol, firstGid);
            // An id past the tileset's last tile (one of a second tileset, or
            // a stray value) has no picture: the repeating texture would
            // otherwise show some unrelated tile in its place.
            if (maxRow > 0 && tile.row >= maxRow)
                tile.visible = false;
            map->tiles.back().push_back(tile);
        }
    }
}

PassabilityTile* LevelMapLoader::passabilityTileFor(int gid)
{
    // Closed sides by id of the passability tileset: top, right, bottom, left.
    switch (gid)
    {
    case 521: return new PassabilityTile(true, true, true, false);
    case 522: return new PassabilityTile(false, true, true, true);
    case 523: return new PassabilityTile(true, true, false, true);
    case 524: return new PassabilityTile(true, false, true, true);
    case 541: return new PassabilityTile(true, false, false, true);
    case 542: return new PassabilityTile(true, true, false, false);
    case 543: return new PassabilityTile(false, true, true, false);
    case 544: return new PassabilityTile(false, false, true, true);
    case 561: return new PassabilityTile(true, false, true, false);
    case 562: return new PassabilityTile(false, true, false, true);
    case 563: return new PassabilityTile(false, false, false, true);
    case 564: return new PassabilityTile(true, false, false, false);
    case 581: return new PassabilityTile(false, true, false, false);
    case 582: return new PassabilityTile(false, false, true, false);
    case 583: return new PassabilityTile(false);
    default: return new PassabilityTile(true);
    }
}

void LevelMapLoader::fillPassabilityMap(core::PassabilityMap* passabilityMap,
                                        const std::vector<std::uint32_t>& gids)
{
    std::size_t next = 0;
    for (int row = 0; row < passabilityMap->getNumberOfRows(); ++row)
    {
        for (int column = 0; column < passabilityMap->getNumberOfColumns(); ++column)
        {
            // Flip bits stay in: a flipped tile matches no passability id.
            int gid = next < gids.size() ? static_cast<int>(gids[next]) : 0;
            ++next;
            passabilityMap->setTile(row, column, passabilityTileFor(gid));
        }
    }
}

bool LevelMapLoader::loadDrawableMapTiles(tamsygraphics::Map* map, const tinyxml2::XMLElement* dataElement)
{
    std::vector<std::uint32_t> gids;
    std::string problem;
    if (!map || !dataElement || map->rows < 0 || map->cols < 0)
        return false;
    std::size_t count = static_cast<std::size_t>(map->rows) * static_cast<std::size_t>(map->cols);
    if (!LevelMapLayerData::decode(dataElement, count, gids, problem))
    {
        Log::error() << "LevelMapLoader::loadDrawableMapTiles - layer " << map->name << ": " << problem
                     << std::endl;
        return false;
    }
    fillDrawableMap(map, gids);
    return true;
}

bool LevelMapLoader::loadPassabilityMapTiles(core::PassabilityMap* passabilityMap,
                                             const tinyxml2::XMLElement* dataElement)
{
    std::vector<std::uint32_t> gids;
    std::string problem;
    if (!passabilityMap || !dataElement)
        return false;
    std::size_t count = static_cast<std::size_t>(passabilityMap->getNumberOfRows()) *
                        static_cast<std::size_t>(passabilityMap->getNumberOfColumns());
    if (!LevelMapLayerData::decode(dataElement, count, gids, problem))
    {
        Log::error() << "LevelMapLoader::loadPassabilityMapTiles - " << problem << std::endl;
        return false;
    }
    fillPassabilityMap(passabilityMap, gids);
    return true;
}

void LevelMapLoader::loadTriggerMapTiles(TriggerMap* triggerMap, const tamsygraphics::Tileset* tileset,
                                         const tinyxml2::XMLElement* objectGroupElement,
                                         const std::string& fileName)
{
    Log::named("LevelMapLoader") << "LOADING TRIGGERS" << std::endl;
    if (!triggerMap || !tileset || !objectGroupElement || tileset->tileWidth <= 0 ||
        tileset->tileHeight <= 0)
    {
        Log::error() << "LevelMapLoader::loadTriggerMapTiles - something is null" << std::endl;
        return;
    }
    for (const tinyxml2::XMLElement* object = objectGroupElement->FirstChildElement("object"); object;
         object = object->NextSiblingElement("object"))
        loadTrigger(triggerMap, tileset, object, fileName);
}

bool LevelMapLoader::loadTrigger(TriggerMap* triggerMap, const tamsygraphics::Tileset* tileset,
                                 const tinyxml2::XMLElement* object, const std::string& fileName)
{
    double x = 0, y = 0, width = 0, height = 0;
    std::string problem;
    if (!LevelMapAttributes::readNumber(object, "x", 0, x, problem) ||
        !LevelMapAttributes::readNumber(object, "y", 0, y, problem) ||
        !LevelMapAttributes::readNumber(object, "width", 0, width, problem) ||
        !LevelMapAttributes::readNumber(object, "height", 0, height, problem))
    {
        Log::error() << "LevelMapLoader::loadLevelMap::loadTriggerTiles - Unable to load trigger on "
                     << fileName << ": " << problem << std::endl;
        return false;
    }
    int pixelWidth = width <= 0 ? tileset->tileWidth : static_cast<int>(clampPixels(width));
    int pixelHeight = height <= 0 ? tileset->tileHeight : static_cast<int>(clampPixels(height));
    const tinyxml2::XMLElement* properties = object->FirstChildElement("properties");
    if (!properties)
    {
        Log::error() << "LevelMapLoader::loadLevelMap::loadTriggerTiles - Unable to load trigger on "
                     << fileName << ": Missing properties for a trigger" << std::endl;
        return false;
    }
    std::string script;
    event::ParameterList params;
    for (const tinyxml2::XMLElement* property = properties->FirstChildElement("property"); property;
         property = property->NextSiblingElement("property"))
    {
        std::string name = LevelMapAttributes::text(property, "name");
        if (isScriptProperty(name))
            script = propertyValue(property);
        else
            params.emplace_back(name, propertyValue(property));
    }
    TriggerTile* tile = new TriggerTile();
    tile->addEvent(new event::TriggerTileEvent(script, params));
    // The trigger map takes the tile, and releases it itself when no cell of
    // the area lies inside the grid.
    triggerMap->setTiles(cellOf(y, tileset->tileHeight), cellOf(x, tileset->tileWidth),
                         pixelHeight / tileset->tileHeight, pixelWidth / tileset->tileWidth, tile);
    return true;
}
