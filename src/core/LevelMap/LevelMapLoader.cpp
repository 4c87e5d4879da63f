#include "core/LevelMap/LevelMapLoader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Log/Log.h"
#include "core/LevelMap/LevelMapAttributes.h"
#include "core/LevelMap/LevelMapDocument.h"
#include "core/LevelMap/LevelMapLayerData.h"
#include "core/LevelMap/LevelMapTilesetReader.h"
#include "core/LevelMap/TriggerMap.h"
#include "core/LevelMap/TriggerTile.h"
#include "event/TriggerTileEvent.h"
#include "util/util.h"

namespace
{
const std::uint32_t FLIP_BITS = tamsygraphics::FLIPPED_HORIZONTALLY_FLAG | tamsygraphics::FLIPPED_VERTICALLY_FLAG |
                                tamsygraphics::FLIPPED_DIAGONALLY_FLAG;

// The most cells one layer may have (8192 x 8192): past this a map would
// ask for gigabytes, which only a damaged or hostile file does.
const long long MAX_CELLS = 1LL << 26;
// Beyond this the world size of a map no longer fits an int.
const int MAX_TILE_SIZE = 1 << 15;

struct TilesetStart
{
    std::uint32_t firstGid;
    tamsygraphics::Tileset* tileset;
};

// What a layer inherits from the groups around it.
struct LayerLook
{
    bool visible = true;
    double opacity = 1.0;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// What has been read so far; anything not handed to the LevelMap at the end
// is released with it, so a refused map leaves nothing behind.
struct PartialLevel
{
    std::string fileName;
    std::string path;
    std::vector<std::unique_ptr<tamsygraphics::Tileset>> tilesets;
    std::vector<TilesetStart> starts; // by first id, ascending
    // The grid when its cells differ in size from the first tileset's tiles.
    std::unique_ptr<tamsygraphics::Tileset> ownGrid;
    tamsygraphics::Tileset* grid = nullptr;
    // An infinite map's layers all cover the rectangle of its chunks; its
    // top-left cell is (top, left) in the editor's coordinates.
    bool infinite = false;
    long long left = 0;
    long long top = 0;
    int rows = 0;
    int columns = 0;
    std::vector<std::unique_ptr<tamsygraphics::Map>> drawableMaps;
    std::unique_ptr<core::PassabilityMap> passabilityMap;
    std::unique_ptr<TriggerMap> triggerMap;
    std::vector<const tinyxml2::XMLElement*> objectGroups;
    // Decoding buffers, kept from one layer to the next.
    std::vector<std::uint32_t> gids;
    std::vector<std::uint32_t> chunkGids;
};

bool refuse(const PartialLevel& level, const std::string& problem)
{
    Log::error() << "LevelMapLoader::loadLevelMap - Unable to load map " << level.fileName << ": " << problem
                 << std::endl;
    return false;
}

bool reportParse(const PartialLevel& level, const tinyxml2::XMLDocument& document, tinyxml2::XMLError result)
{
    if (result != tinyxml2::XML_SUCCESS)
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Failed to load map file " << level.fileName << ": "
                     << nullToEmpty(document.ErrorStr()) << std::endl;
        return false;
    }
    return true;
}

// A folder opens like a file but tells no sensible size; a file this large
// is no map.
const long MAX_FILE_BYTES = 1L << 30;

// A whole file, read without first clearing the memory it goes into.
struct FileBytes
{
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
};

bool readWholeFile(std::FILE* file, FileBytes& bytes)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return false;
    const long size = std::ftell(file);
    if (size < 0 || size > MAX_FILE_BYTES || std::fseek(file, 0, SEEK_SET) != 0)
        return false;
    bytes.size = static_cast<std::size_t>(size);
    bytes.data.reset(new char[bytes.size + 1]);
    return std::fread(bytes.data.get(), 1, bytes.size, file) == bytes.size;
}

// `bytes` holds the file for as long as its layers are read.
bool openAndParse(PartialLevel& level, LevelMapDocument& document, FileBytes& bytes)
{
    std::FILE* file = std::fopen(level.path.c_str(), "rb");
    if (!file)
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Error opening file " << level.fileName << std::endl;
        return false;
    }
    Log::named("Scene") << LevelMapTilesetReader::directoryOf(level.path) << std::endl;
    const bool read = readWholeFile(file, bytes);
    std::fclose(file);
    if (!read)
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Error reading file " << level.fileName << std::endl;
        return false;
    }
    return reportParse(level, document.document(), document.parse(bytes.data.get(), bytes.size));
}

std::string cellsText(long long rows, long long columns)
{
    return std::to_string(columns) + " x " + std::to_string(rows) + " cells";
}

bool checkCells(PartialLevel& level, const std::string& what, long long rows, long long columns)
{
    if (rows * columns <= MAX_CELLS)
        return true;
    return refuse(level, what + " is " + cellsText(rows, columns) + ", more than the " + std::to_string(MAX_CELLS) +
                             " a map may have");
}

// "#RRGGBB" or "#AARRGGBB", as the editor writes colours.
bool readTint(const tinyxml2::XMLElement* element, float tint[4], std::string& problem)
{
    const char* raw = element->Attribute("tintcolor");
    if (!raw)
        return true;
    const char* digits = raw[0] == '#' ? raw + 1 : raw;
    const std::size_t length = std::strlen(digits);
    char* end = nullptr;
    const unsigned long value = std::strtoul(digits, &end, 16);
    if ((length != 6 && length != 8) || end != digits + length)
    {
        problem = std::string("attribute tintcolor=\"") + raw + "\" of <" + element->Name() + "> is not a colour";
        return false;
    }
    const float alpha = length == 8 ? static_cast<float>((value >> 24) & 0xFF) / 255.0f : 1.0f;
    const float own[4] = {static_cast<float>((value >> 16) & 0xFF) / 255.0f,
                          static_cast<float>((value >> 8) & 0xFF) / 255.0f, static_cast<float>(value & 0xFF) / 255.0f,
                          alpha};
    for (int channel = 0; channel < 4; ++channel)
        tint[channel] *= own[channel];
    return true;
}

// A layer's or group's own look on top of what it inherits.
bool readLook(PartialLevel& level, const tinyxml2::XMLElement* element, LayerLook& look)
{
    std::string problem;
    int visible = 1;
    double opacity = 1.0;
    if (!LevelMapAttributes::readInt(element, "visible", 1, visible, problem) ||
        !LevelMapAttributes::readNumber(element, "opacity", 1.0, opacity, problem) ||
        !readTint(element, look.tint, problem))
        return refuse(level, "layer \"" + LevelMapAttributes::text(element, "name") + "\": " + problem);
    look.visible = look.visible && visible != 0;
    look.opacity *= std::min(1.0, std::max(0.0, opacity));
    return true;
}

void applyLook(tamsygraphics::Map& map, const LayerLook& look)
{
    map.shownInEditor = look.visible;
    map.opacity = static_cast<float>(look.opacity);
    std::copy(look.tint, look.tint + 4, map.tint);
}

std::size_t tilesetFor(const std::vector<TilesetStart>& starts, std::uint32_t number)
{
    std::size_t index = starts.size();
    while (index > 1 && starts[index - 1].firstGid > number)
        --index;
    return index - 1;
}

// n / d for 32-bit n through one multiplication by a 64-bit reciprocal
// (exact for every n and every d above 1): a division instruction per cell
// was a fifth of loading a large layer.
struct Divider
{
    explicit Divider(std::uint32_t divisor)
        : d(divisor), reciprocal(divisor > 1 ? UINT64_C(0xFFFFFFFFFFFFFFFF) / divisor + 1 : 0)
    {
    }
    std::uint32_t divide(std::uint32_t n) const
    {
        if (d <= 1)
            return n;
        return static_cast<std::uint32_t>((static_cast<unsigned __int128>(reciprocal) * n) >> 64);
    }
    std::uint32_t d;
    std::uint64_t reciprocal;
};

void fillFromTilesets(tamsygraphics::Map* map, const std::vector<std::uint32_t>& gids,
                      const std::vector<TilesetStart>& starts)
{
    std::vector<Divider> byColumns;
    for (const TilesetStart& start : starts)
        byColumns.emplace_back(
            static_cast<std::uint32_t>(start.tileset && start.tileset->maxCol > 0 ? start.tileset->maxCol : 1));
    std::size_t next = 0;
    map->tiles.clear();
    map->tiles.resize(static_cast<std::size_t>(std::max(0, map->rows)));
    for (auto& row : map->tiles)
    {
        row.resize(static_cast<std::size_t>(std::max(0, map->cols)));
        for (tamsygraphics::DrawableTile& tile : row)
        {
            const std::uint32_t gid = next < gids.size() ? gids[next] : 0;
            ++next;
            const std::size_t which = starts.size() == 1 ? 0 : tilesetFor(starts, gid & ~FLIP_BITS);
            const tamsygraphics::Tileset* tileset = starts[which].tileset;
            const int maxCol = tileset && tileset->maxCol > 0 ? tileset->maxCol : 1;
            const std::uint32_t number = gid & ~FLIP_BITS;
            if (number != 0 && number >= starts[which].firstGid)
            {
                // One unsigned division gives both row and column.
                const std::uint32_t index = number - starts[which].firstGid;
                const std::uint32_t row = byColumns[which].divide(index);
                tile.row = static_cast<int>(row);
                tile.col = static_cast<int>(index - row * static_cast<std::uint32_t>(maxCol));
                tile.visible = true;
                tile.flipHorizontal = (gid & tamsygraphics::FLIPPED_HORIZONTALLY_FLAG) != 0;
                tile.flipVertical = (gid & tamsygraphics::FLIPPED_VERTICALLY_FLAG) != 0;
                tile.flipDiagonal = (gid & tamsygraphics::FLIPPED_DIAGONALLY_FLAG) != 0;
            }
            else
                tile = LevelMapLoader::drawableTileFor(gid, maxCol, starts[which].firstGid);
            tile.tileset = static_cast<unsigned short>(which);
            // An id past the tileset's last tile (a stray value) has no
            // picture: the repeating texture would otherwise show some
            // unrelated tile in its place.
            if (tileset && tileset->maxRow > 0 && tile.row >= tileset->maxRow)
                tile.visible = false;
        }
    }
}

bool readLayerSize(PartialLevel& level, const tinyxml2::XMLElement* layer, const std::string& name, int& rows,
                   int& columns)
{
    if (level.infinite)
    {
        rows = level.rows;
        columns = level.columns;
        return true;
    }
    std::string problem;
    if (!LevelMapAttributes::readCount(layer, "width", 0, columns, problem) ||
        !LevelMapAttributes::readCount(layer, "height", 0, rows, problem))
        return refuse(level, "layer \"" + name + "\": " + problem);
    return checkCells(level, "layer \"" + name + "\"", rows, columns);
}

bool readChunkRect(const tinyxml2::XMLElement* chunk, int rect[4], std::string& problem)
{
    return LevelMapAttributes::readInt(chunk, "x", 0, rect[0], problem) &&
           LevelMapAttributes::readInt(chunk, "y", 0, rect[1], problem) &&
           LevelMapAttributes::readCount(chunk, "width", 0, rect[2], problem) &&
           LevelMapAttributes::readCount(chunk, "height", 0, rect[3], problem);
}

// Places each chunk of an infinite layer into the map's rectangle.
bool decodeChunks(PartialLevel& level, const tinyxml2::XMLElement* data, std::string& problem)
{
    level.gids.assign(static_cast<std::size_t>(level.rows) * static_cast<std::size_t>(level.columns), 0);
    for (const tinyxml2::XMLElement* chunk = data->FirstChildElement("chunk"); chunk;
         chunk = chunk->NextSiblingElement("chunk"))
    {
        int rect[4] = {0, 0, 0, 0};
        if (!readChunkRect(chunk, rect, problem))
            return false;
        const std::size_t count = static_cast<std::size_t>(rect[2]) * static_cast<std::size_t>(rect[3]);
        if (!LevelMapLayerData::decode(chunk, data->Attribute("encoding"), data->Attribute("compression"), count,
                                       level.chunkGids, problem))
            return false;
        for (int y = 0; y < rect[3]; ++y)
        {
            // The rectangle was made to hold every chunk.
            const std::size_t row = static_cast<std::size_t>(rect[1] - level.top + y);
            const std::size_t column = static_cast<std::size_t>(rect[0] - level.left);
            std::copy_n(level.chunkGids.begin() + static_cast<std::ptrdiff_t>(y) * rect[2], rect[2],
                        level.gids.begin() + static_cast<std::ptrdiff_t>(row * level.columns + column));
        }
    }
    return true;
}

bool readLayer(PartialLevel& level, const tinyxml2::XMLElement* layer, LayerLook look)
{
    Log::named("LevelMapLoader") << "Going through layers" << std::endl;
    if (!LevelMapAttributes::has(layer, "name"))
        return refuse(level, "a layer has no name");
    std::string name = LevelMapAttributes::text(layer, "name");
    Log::named("LevelMapLoader") << "Got Layer name: " << name << std::endl;
    int rows = 0;
    int columns = 0;
    if (!readLayerSize(level, layer, name, rows, columns) || !readLook(level, layer, look))
        return false;
    const tinyxml2::XMLElement* data = layer->FirstChildElement("data");
    if (!data)
        return refuse(level, "layer \"" + name + "\" has no <data>");
    std::string problem;
    std::size_t count = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    bool decoded = level.infinite ? decodeChunks(level, data, problem)
                                  : LevelMapLayerData::decode(data, count, level.gids, problem);
    if (!decoded)
        return refuse(level, "layer \"" + name + "\": " + problem);

    if (name == "Passability" || name == "passability")
    {
        level.passabilityMap = std::make_unique<core::PassabilityMap>(rows, columns);
        LevelMapLoader::fillPassabilityMap(level.passabilityMap.get(), level.gids);
        return true;
    }
    auto map = std::make_unique<tamsygraphics::Map>();
    map->name = name;
    map->rows = rows;
    map->cols = columns;
    map->tileset = level.grid;
    for (const TilesetStart& start : level.starts)
        map->tilesets.push_back(start.tileset);
    map->priorityLevel = static_cast<int>(level.drawableMaps.size());
    applyLook(*map, look);
    fillFromTilesets(map.get(), level.gids, level.starts);
    level.drawableMaps.push_back(std::move(map));
    return true;
}

// Tile layers, groups and object groups in document order; a group's
// visibility, opacity and tint pass on to everything inside it.
bool readLayers(PartialLevel& level, const tinyxml2::XMLElement* parent, const LayerLook& look)
{
    for (const tinyxml2::XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const char* kind = child->Name();
        if (std::strcmp(kind, "layer") == 0)
        {
            if (!readLayer(level, child, look))
                return false;
        }
        else if (std::strcmp(kind, "group") == 0)
        {
            LayerLook inner = look;
            if (!readLook(level, child, inner) || !readLayers(level, child, inner))
                return false;
        }
        else if (std::strcmp(kind, "objectgroup") == 0)
            level.objectGroups.push_back(child);
    }
    return true;
}

// The rectangle of every chunk of every tile layer, however deep in groups.
bool growChunkBounds(PartialLevel& level, const tinyxml2::XMLElement* parent, long long bounds[4], bool& any)
{
    for (const tinyxml2::XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        if (std::strcmp(child->Name(), "group") == 0 && !growChunkBounds(level, child, bounds, any))
            return false;
        const tinyxml2::XMLElement* data =
            std::strcmp(child->Name(), "layer") == 0 ? child->FirstChildElement("data") : nullptr;
        for (const tinyxml2::XMLElement* chunk = data ? data->FirstChildElement("chunk") : nullptr; chunk;
             chunk = chunk->NextSiblingElement("chunk"))
        {
            int rect[4] = {0, 0, 0, 0};
            std::string problem;
            if (!readChunkRect(chunk, rect, problem))
                return refuse(level, "layer \"" + LevelMapAttributes::text(child, "name") + "\": " + problem);
            if (rect[2] == 0 || rect[3] == 0)
                continue;
            const long long edges[4] = {rect[0], rect[1], static_cast<long long>(rect[0]) + rect[2],
                                        static_cast<long long>(rect[1]) + rect[3]};
            for (int side = 0; side < 4; ++side)
                bounds[side] =
                    !any ? edges[side]
                         : (side < 2 ? std::min(bounds[side], edges[side]) : std::max(bounds[side], edges[side]));
            any = true;
        }
    }
    return true;
}

bool readInfiniteBounds(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    long long bounds[4] = {0, 0, 0, 0};
    bool any = false;
    if (!growChunkBounds(level, mapElement, bounds, any))
        return false;
    if (!any)
        return refuse(level, "the infinite map holds no chunk of tiles");
    const long long rows = bounds[3] - bounds[1];
    const long long columns = bounds[2] - bounds[0];
    if (!checkCells(level, "the infinite map's area", rows, columns))
        return false;
    level.left = bounds[0];
    level.top = bounds[1];
    level.rows = static_cast<int>(rows);
    level.columns = static_cast<int>(columns);
    return true;
}

bool readMapFrame(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    const std::string orientation = LevelMapAttributes::text(mapElement, "orientation");
    if (!orientation.empty() && orientation != "orthogonal")
        return refuse(level, "the map's orientation is \"" + orientation + "\"; only orthogonal maps can be drawn");
    std::string problem;
    int infinite = 0;
    if (!LevelMapAttributes::readInt(mapElement, "infinite", 0, infinite, problem))
        return refuse(level, problem);
    level.infinite = infinite != 0;
    return !level.infinite || readInfiniteBounds(level, mapElement);
}

bool readTilesets(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    for (const tinyxml2::XMLElement* element = mapElement->FirstChildElement("tileset"); element;
         element = element->NextSiblingElement("tileset"))
    {
        std::string problem;
        std::uint32_t firstGid = 1;
        std::unique_ptr<tamsygraphics::Tileset> tileset(
            LevelMapTilesetReader::read(element, level.path, firstGid, problem));
        if (!tileset)
            return refuse(level, problem);
        level.tilesets.push_back(std::move(tileset));
        level.starts.push_back({firstGid, level.tilesets.back().get()});
    }
    if (level.tilesets.empty())
        return refuse(level, "the map has no <tileset>");
    if (level.tilesets.size() > 0xFFFF)
        return refuse(level, "the map has more than 65535 tilesets");
    // The game registers its one start-up tileset texture as "tileset";
    // every other image (or one with a transparent colour) is its own.
    for (std::size_t i = 0; i < level.tilesets.size(); ++i)
    {
        tamsygraphics::Tileset& tileset = *level.tilesets[i];
        if (i > 0 || tileset.transparentColour >= 0)
            tileset.imageName = LevelMapTilesetReader::textureNameOf(tileset);
    }
    std::stable_sort(level.starts.begin(), level.starts.end(),
                     [](const TilesetStart& a, const TilesetStart& b) { return a.firstGid < b.firstGid; });
    return true;
}

// The map's own tile size is its grid; tilesets of other sizes draw their
// tiles from each cell's bottom-left corner.
bool readGrid(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    tamsygraphics::Tileset* first = level.tilesets.front().get();
    level.grid = first;
    std::string problem;
    int width = 0;
    int height = 0;
    if (!LevelMapAttributes::readCount(mapElement, "tilewidth", 0, width, problem) ||
        !LevelMapAttributes::readCount(mapElement, "tileheight", 0, height, problem))
        return refuse(level, problem);
    if (width == 0 || height == 0 || (width == first->tileWidth && height == first->tileHeight))
        return true;
    if (width > MAX_TILE_SIZE || height > MAX_TILE_SIZE)
        return refuse(level, "the map's tile size is larger than " + std::to_string(MAX_TILE_SIZE));
    level.ownGrid = std::make_unique<tamsygraphics::Tileset>(*first);
    level.ownGrid->tileWidth = width;
    level.ownGrid->tileHeight = height;
    level.ownGrid->renderedTileWidth = 2 * width;
    level.ownGrid->renderedTileHeight = 2 * height;
    level.grid = level.ownGrid.get();
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
        growExtent(level.passabilityMap->getNumberOfRows(), level.passabilityMap->getNumberOfColumns(), rows, columns);
}

// Recent editor versions no longer write a size on object groups; the
// trigger grid then covers the whole map. A size larger than the map is cut
// to it: the grid holds one tile per cell, so a mistyped size must not
// exhaust memory.
void triggerGridSize(const PartialLevel& level, const tinyxml2::XMLElement* group, int& rows, int& columns)
{
    int mapRows = 0;
    int mapColumns = 0;
    mapExtent(level, mapRows, mapColumns);
    rows = std::max(0, group->IntAttribute("height", 0));
    columns = std::max(0, group->IntAttribute("width", 0));
    if (rows <= 0 || columns <= 0 || level.infinite)
    {
        rows = mapRows;
        columns = mapColumns;
    }
    rows = std::min(rows, mapRows);
    columns = std::min(columns, mapColumns);
}

void readObjectGroups(PartialLevel& level)
{
    if (!level.objectGroups.empty())
        Log::named("LevelMapLoader") << "Got Object Layer" << std::endl;
    for (const tinyxml2::XMLElement* group : level.objectGroups)
    {
        Log::named("LevelMapLoader") << "In Object Layer Loop" << std::endl;
        if (LevelMapAttributes::text(group, "name") != "Triggers")
            continue;
        int rows = 0;
        int columns = 0;
        triggerGridSize(level, group, rows, columns);
        level.triggerMap = std::make_unique<TriggerMap>(rows, columns);
        LevelMapLoader::loadTriggerMapTiles(level.triggerMap.get(), level.grid, group, level.fileName,
                                            static_cast<int>(-level.top), static_cast<int>(-level.left));
        Log::named("LevelMapLoader") << "Done loading Triggers" << std::endl;
    }
}

bool readLevel(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    if (!readMapFrame(level, mapElement) || !readTilesets(level, mapElement) || !readGrid(level, mapElement))
        return false;
    Log::named("LevelMapLoader") << level.tilesets.front()->imageName << std::endl;
    if (!readLayers(level, mapElement, LayerLook()))
        return false;
    readObjectGroups(level);
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
    for (auto& tileset : level.tilesets)
        levelMap->adoptTileset(tileset.release());
    levelMap->adoptTileset(level.ownGrid.release());
    return levelMap;
}

LevelMap* loadParsed(PartialLevel& level, const tinyxml2::XMLDocument& document)
{
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

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    return text;
}

bool isScriptProperty(const std::string& name)
{
    std::string lower = lowerCase(name);
    return lower == "script" || lower == "scriptfilename" || lower == "scriptname" || lower == "scriptfile";
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
int cellOf(double pixels, int tileSize, int shift)
{
    return static_cast<int>(std::floor(std::floor(clampPixels(pixels)) / tileSize)) + shift;
}
}

LevelMap* LevelMapLoader::loadLevelMap(const std::string& fileName)
{
    PartialLevel level;
    level.fileName = fileName;
    level.path = WORKING_DIRECTORY + "/" + fileName;
    FileBytes bytes;
    LevelMapDocument document;
    if (!openAndParse(level, document, bytes))
        return nullptr;
    return loadParsed(level, document.document());
}

LevelMap* LevelMapLoader::loadLevelMapFromMemory(const char* bytes, std::size_t size, const std::string& fileName)
{
    PartialLevel level;
    level.fileName = fileName;
    level.path = WORKING_DIRECTORY + "/" + fileName;
    LevelMapDocument document;
    if (!bytes || !reportParse(level, document.document(), document.parse(bytes, size)))
        return nullptr;
    return loadParsed(level, document.document());
}

tamsygraphics::DrawableTile LevelMapLoader::drawableTileFor(std::uint32_t gid, int maxCol, std::uint32_t firstGid)
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
    fillFromTilesets(map, gids, {{firstGid, map->tileset}});
}

namespace
{
// Open sides by id of the passability tileset: top, right, bottom, left
// (bits 8, 4, 2, 1); every other id leaves the cell open.
int openSidesFor(int gid)
{
    switch (gid)
    {
    case 521:
        return 0xE; // left closed
    case 522:
        return 0x7; // top
    case 523:
        return 0xD; // bottom
    case 524:
        return 0xB; // right
    case 541:
        return 0x9; // right, bottom
    case 542:
        return 0xC; // left, bottom
    case 543:
        return 0x6; // left, top
    case 544:
        return 0x3; // top, right
    case 561:
        return 0xA; // left, right
    case 562:
        return 0x5; // top, bottom
    case 563:
        return 0x1; // top, right, bottom
    case 564:
        return 0x8; // left, right, bottom
    case 581:
        return 0x4; // left, top, bottom
    case 582:
        return 0x2; // left, top, right
    case 583:
        return 0x0; // all four
    default:
        return 0xF;
    }
}
}

PassabilityTile* LevelMapLoader::passabilityTileFor(int gid)
{
    const int open = openSidesFor(gid);
    return new PassabilityTile((open & 8) != 0, (open & 4) != 0, (open & 2) != 0, (open & 1) != 0);
}

void LevelMapLoader::fillPassabilityMap(core::PassabilityMap* passabilityMap, const std::vector<std::uint32_t>& gids)
{
    std::size_t next = 0;
    for (int row = 0; row < passabilityMap->getNumberOfRows(); ++row)
    {
        for (int column = 0; column < passabilityMap->getNumberOfColumns(); ++column)
        {
            // Flip bits stay in: a flipped tile matches no passability id.
            const int open = openSidesFor(next < gids.size() ? static_cast<int>(gids[next]) : 0);
            ++next;
            passabilityMap->setSides(row, column, (open & 8) != 0, (open & 4) != 0, (open & 2) != 0, (open & 1) != 0);
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
        Log::error() << "LevelMapLoader::loadDrawableMapTiles - layer " << map->name << ": " << problem << std::endl;
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
                                         const tinyxml2::XMLElement* objectGroupElement, const std::string& fileName)
{
    loadTriggerMapTiles(triggerMap, tileset, objectGroupElement, fileName, 0, 0);
}

void LevelMapLoader::loadTriggerMapTiles(TriggerMap* triggerMap, const tamsygraphics::Tileset* tileset,
                                         const tinyxml2::XMLElement* objectGroupElement, const std::string& fileName,
                                         int rowShift, int columnShift)
{
    Log::named("LevelMapLoader") << "LOADING TRIGGERS" << std::endl;
    if (!triggerMap || !tileset || !objectGroupElement || tileset->tileWidth <= 0 || tileset->tileHeight <= 0)
    {
        Log::error() << "LevelMapLoader::loadTriggerMapTiles - something is null" << std::endl;
        return;
    }
    for (const tinyxml2::XMLElement* object = objectGroupElement->FirstChildElement("object"); object;
         object = object->NextSiblingElement("object"))
        loadTrigger(triggerMap, tileset, object, fileName, rowShift, columnShift);
}

bool LevelMapLoader::loadTrigger(TriggerMap* triggerMap, const tamsygraphics::Tileset* tileset,
                                 const tinyxml2::XMLElement* object, const std::string& fileName, int rowShift,
                                 int columnShift)
{
    double x = 0, y = 0, width = 0, height = 0;
    std::string problem;
    if (!LevelMapAttributes::readNumber(object, "x", 0, x, problem) ||
        !LevelMapAttributes::readNumber(object, "y", 0, y, problem) ||
        !LevelMapAttributes::readNumber(object, "width", 0, width, problem) ||
        !LevelMapAttributes::readNumber(object, "height", 0, height, problem))
    {
        Log::error() << "LevelMapLoader::loadLevelMap::loadTriggerTiles - Unable to load trigger on " << fileName
                     << ": " << problem << std::endl;
        return false;
    }
    int pixelWidth = width <= 0 ? tileset->tileWidth : static_cast<int>(clampPixels(width));
    int pixelHeight = height <= 0 ? tileset->tileHeight : static_cast<int>(clampPixels(height));
    const tinyxml2::XMLElement* properties = object->FirstChildElement("properties");
    if (!properties)
    {
        Log::error() << "LevelMapLoader::loadLevelMap::loadTriggerTiles - Unable to load trigger on " << fileName
                     << ": Missing properties for a trigger" << std::endl;
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
    triggerMap->setTiles(cellOf(y, tileset->tileHeight, rowShift), cellOf(x, tileset->tileWidth, columnShift),
                         pixelHeight / tileset->tileHeight, pixelWidth / tileset->tileWidth, tile);
    return true;
}
