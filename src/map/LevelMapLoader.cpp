#include "map/LevelMapLoader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "Log/Log.h"
#include "event/TriggerTileEvent.h"
#include "graphics/TGImageLoader.h"
#include "map/LevelMapAttributes.h"
#include "map/LevelMapDocument.h"
#include "map/LevelMapLayerData.h"
#include "map/LevelMapTilesetReader.h"
#include "map/MapTileResolver.h"
#include "map/TilePassability.h"
#include "map/TriggerMap.h"
#include "map/TriggerTile.h"
#include "util/GameFiles.h"
#include "util/LoadedFiles.h"
#include "util/util.h"

namespace
{
const std::uint32_t FLIP_BITS =
    MapTile::FLIPPED_HORIZONTALLY | MapTile::FLIPPED_VERTICALLY | MapTile::FLIPPED_DIAGONALLY;

// The most cells one layer may have (8192 x 8192): past this a map would
// ask for gigabytes, which only a damaged or hostile file does.
const long long MAX_CELLS = 1LL << 26;
// Beyond this the world size of a map no longer fits an int.
const int MAX_TILE_SIZE = 1 << 15;

// Open sides of the built-in passability ids (defined with the loader's
// public passability readers below).
int openSidesFor(int gid);
double clampPixels(double pixels);

struct TilesetStart
{
    std::uint32_t firstGid;
    MapTileset* tileset;
    const TilePassability* passability;
};

// The sides that the tiles of one drawn layer leave open, by cell.
struct LayerSides
{
    int rows = 0;
    int columns = 0;
    std::vector<unsigned char> open;
};

// What a layer inherits from the groups around it.
struct LayerLook
{
    bool visible = true;
    double opacity = 1.0;
    double offsetX = 0.0;
    double offsetY = 0.0;
    double parallaxX = 1.0;
    double parallaxY = 1.0;
    float tint[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};

// What has been read so far; anything not handed to the LevelMap at the end
// is released with it, so a refused map leaves nothing behind.
struct PartialLevel
{
    std::string fileName;
    std::string path;
    std::vector<std::unique_ptr<MapTileset>> tilesets;
    // The pictures of image layers, each a tileset of one tile.
    std::vector<std::unique_ptr<MapTileset>> layerImages;
    double parallaxOriginX = 0.0;
    double parallaxOriginY = 0.0;
    std::vector<TilesetStart> starts; // by first id, ascending
    std::vector<std::unique_ptr<TilePassability>> passabilities;
    bool tilesDeclareSides = false;
    // Drawn layers whose tiles close some side somewhere.
    std::vector<LayerSides> layerSides;
    // The grid when its cells differ in size from the first tileset's tiles.
    std::unique_ptr<MapTileset> ownGrid;
    MapTileset* grid = nullptr;
    // An infinite map's layers all cover the rectangle of its chunks; its
    // top-left cell is (top, left) in the editor's coordinates.
    bool infinite = false;
    long long left = 0;
    long long top = 0;
    int rows = 0;
    int columns = 0;
    std::vector<std::unique_ptr<MapLayer>> drawableMaps;
    std::unique_ptr<core::PassabilityMap> passabilityMap;
    std::unique_ptr<TriggerMap> triggerMap;
    std::vector<const tinyxml2::XMLElement*> objectGroups;
    // Where each layer stands in the editor's list (groups flattened), and
    // where the sprites go in it: the first layer marked sprites=true, else
    // the first object layer (-1: none).
    int documentIndex = 0;
    std::vector<int> drawableIndices;
    int markedSpritesPlace = -1;
    int firstObjectLayer = -1;
    // Drawable maps made of an object layer's tile objects; their grid is
    // sized to the tile layers once all are read.
    std::vector<MapLayer*> objectLayers;
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

// The whole map file, read through the game's files (the game may be one
// archive); the layers' text is read from it, so it outlives their reading.
struct FileBytes
{
    std::string text;
};

bool openAndParse(PartialLevel& level, LevelMapDocument& document, FileBytes& bytes)
{
    LoadedFiles::note(level.path, FileKind::Map);
    // A changed map that did not read well: its last good version is built.
    if (!LoadedFiles::keptCopyIfBroken(level.path, bytes.text) && !GameFiles::read(level.path, bytes.text))
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Error opening file " << level.fileName << std::endl;
        return false;
    }
    Log::named("Scene") << LevelMapTilesetReader::directoryOf(level.path) << std::endl;
    return reportParse(level, document.document(), document.parse(bytes.text.data(), bytes.text.size()));
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
    double place[4] = {0.0, 0.0, 1.0, 1.0};
    if (!LevelMapAttributes::readInt(element, "visible", 1, visible, problem) ||
        !LevelMapAttributes::readNumber(element, "opacity", 1.0, opacity, problem) ||
        !readTint(element, look.tint, problem) ||
        !LevelMapAttributes::readNumber(element, "offsetx", 0.0, place[0], problem) ||
        !LevelMapAttributes::readNumber(element, "offsety", 0.0, place[1], problem) ||
        !LevelMapAttributes::readNumber(element, "parallaxx", 1.0, place[2], problem) ||
        !LevelMapAttributes::readNumber(element, "parallaxy", 1.0, place[3], problem))
        return refuse(level, "layer \"" + LevelMapAttributes::text(element, "name") + "\": " + problem);
    // Far past any map, yet safe to draw with.
    const double limit = 1.0e6;
    look.offsetX = std::max(-limit, std::min(limit, look.offsetX + place[0]));
    look.offsetY = std::max(-limit, std::min(limit, look.offsetY + place[1]));
    look.parallaxX = std::max(-limit, std::min(limit, look.parallaxX * place[2]));
    look.parallaxY = std::max(-limit, std::min(limit, look.parallaxY * place[3]));
    look.visible = look.visible && visible != 0;
    look.opacity *= std::min(1.0, std::max(0.0, opacity));
    return true;
}

void applyLook(MapLayer& map, const LayerLook& look)
{
    map.offsetX = static_cast<float>(look.offsetX);
    map.offsetY = static_cast<float>(look.offsetY);
    map.parallaxX = static_cast<float>(look.parallaxX);
    map.parallaxY = static_cast<float>(look.parallaxY);
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

// A layer keeps its cells' ids as read, with the tilesets they refer to;
// what each cell shows is worked out when the layer is drawn.
void setTilesets(MapLayer& layer, const std::vector<TilesetStart>& starts)
{
    for (const TilesetStart& start : starts)
    {
        layer.tilesets.push_back(start.tileset);
        layer.firstGids.push_back(start.firstGid);
    }
}

void takeCells(MapLayer& layer, std::vector<std::uint32_t>& gids)
{
    const std::size_t count =
        static_cast<std::size_t>(std::max(0, layer.rows)) * static_cast<std::size_t>(std::max(0, layer.cols));
    // The buffer is the layer's from now on; the next layer decodes into a
    // fresh one.
    layer.gids.swap(gids);
    layer.gids.resize(count, 0);
}

// The open sides of a cell's id: from its tileset's `pass` properties when
// that tileset declares any, else from the built-in passability ids (which
// see the flip bits, so a flipped tile matches none of them).
int openSidesOf(std::uint32_t gid, const std::vector<TilesetStart>& starts)
{
    const std::uint32_t number = gid & ~FLIP_BITS;
    if (number == 0)
        return TilePassability::ALL_OPEN;
    const TilesetStart& start = starts[tilesetFor(starts, number)];
    if (!start.passability || !start.passability->declares())
        return openSidesFor(static_cast<int>(gid));
    if (number < start.firstGid)
        return TilePassability::ALL_OPEN;
    return TilePassability::flipped(start.passability->openSides(number - start.firstGid),
                                    (gid & MapTile::FLIPPED_HORIZONTALLY) != 0,
                                    (gid & MapTile::FLIPPED_VERTICALLY) != 0, (gid & MapTile::FLIPPED_DIAGONALLY) != 0);
}

void setOpenSides(core::PassabilityMap* map, int row, int column, int open)
{
    map->setSides(row, column, (open & 8) != 0, (open & 4) != 0, (open & 2) != 0, (open & 1) != 0);
}

// The built-in passability ids run from 521 to 583: one look-up in a table
// made from openSidesFor, instead of its switch, for each cell of a layer.
// A layer's loop takes the table once (a function-local static is checked
// at every call, and that check was most of a cell's cost).
struct BuiltInSides
{
    unsigned char open[64];
    BuiltInSides()
    {
        for (int i = 0; i < 64; ++i)
            open[i] = static_cast<unsigned char>(openSidesFor(521 + i));
    }
    int of(std::uint32_t gid) const
    {
        const std::uint32_t at = gid - 521u;
        return at < 64u ? open[at] : openSidesFor(static_cast<int>(gid));
    }
};

const BuiltInSides& builtInSides()
{
    static const BuiltInSides table;
    return table;
}

void fillPassabilityFromTilesets(core::PassabilityMap* map, const std::vector<std::uint32_t>& gids,
                                 const std::vector<TilesetStart>& starts)
{
    const bool anyDeclares =
        std::any_of(starts.begin(), starts.end(),
                    [](const TilesetStart& start) { return start.passability && start.passability->declares(); });
    std::vector<unsigned char> open(static_cast<std::size_t>(map->getNumberOfRows()) *
                                        static_cast<std::size_t>(map->getNumberOfColumns()),
                                    TilePassability::ALL_OPEN);
    const std::size_t known = std::min(open.size(), gids.size());
    const BuiltInSides& builtIn = builtInSides();
    for (std::size_t cell = 0; cell < known; ++cell)
        open[cell] = static_cast<unsigned char>(anyDeclares ? openSidesOf(gids[cell], starts) : builtIn.of(gids[cell]));
    map->setSidesRowByRow(open);
}

// Only tiles of tilesets that declare their sides count on a drawn layer:
// the built-in ids belong to the passability layer alone.
int declaredSidesOf(std::uint32_t gid, const std::vector<TilesetStart>& starts)
{
    const std::uint32_t number = gid & ~FLIP_BITS;
    if (number == 0)
        return TilePassability::ALL_OPEN;
    const TilesetStart& start = starts[tilesetFor(starts, number)];
    if (!start.passability || !start.passability->declares())
        return TilePassability::ALL_OPEN;
    return openSidesOf(gid, starts);
}

void noteLayerSides(PartialLevel& level, int rows, int columns)
{
    LayerSides sides;
    sides.rows = rows;
    sides.columns = columns;
    sides.open.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), TilePassability::ALL_OPEN);
    bool closes = false;
    for (std::size_t cell = 0; cell < sides.open.size() && cell < level.gids.size(); ++cell)
    {
        sides.open[cell] = static_cast<unsigned char>(declaredSidesOf(level.gids[cell], level.starts));
        closes = closes || sides.open[cell] != TilePassability::ALL_OPEN;
    }
    if (closes)
        level.layerSides.push_back(std::move(sides));
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
        fillPassabilityFromTilesets(level.passabilityMap.get(), level.gids, level.starts);
        return true;
    }
    auto map = std::make_unique<MapLayer>();
    map->name = name;
    map->rows = rows;
    map->cols = columns;
    map->tileset = level.grid;
    setTilesets(*map, level.starts);
    map->priorityLevel = static_cast<int>(level.drawableMaps.size());
    applyLook(*map, look);
    if (level.tilesDeclareSides)
        noteLayerSides(level, rows, columns);
    takeCells(*map, level.gids);
    level.drawableMaps.push_back(std::move(map));
    level.drawableIndices.push_back(level.documentIndex);
    return true;
}

// A map drawn from free-standing pictures (tile objects, an image layer),
// at the layer's place; its grid is sized like the tile layers' later.
void addPictureLayer(PartialLevel& level, std::unique_ptr<MapLayer> map)
{
    // An infinite map's grid starts at its top-left chunk, not at the
    // editor's origin that objects and images are placed from.
    if (level.infinite)
    {
        for (MapTileObject& object : map->objects)
        {
            object.x -= static_cast<float>(level.left * level.grid->tileWidth);
            object.y -= static_cast<float>(level.top * level.grid->tileHeight);
        }
    }
    level.objectLayers.push_back(map.get());
    level.drawableMaps.push_back(std::move(map));
    level.drawableIndices.push_back(level.documentIndex);
}

// One object's tile, as a cell of a tile layer would show the same id.
MapTile objectTile(const PartialLevel& level, std::uint32_t gid)
{
    const std::size_t which = tilesetFor(level.starts, gid & ~FLIP_BITS);
    const MapTileset* tileset = level.starts[which].tileset;
    MapTile tile = LevelMapLoader::drawableTileFor(gid, std::max(1, tileset->maxCol), level.starts[which].firstGid);
    tile.tileset = static_cast<unsigned short>(which);
    if (tile.row >= tileset->maxRow)
        tile.visible = false;
    // The editor mirrors a tile object only horizontally and vertically.
    tile.flipDiagonal = false;
    return tile;
}

// Digits only: a sign or a value past 32 bits is a damaged id, not a tile.
bool readTileId(const char* text, std::uint32_t& gid)
{
    if (!text || !std::isdigit(static_cast<unsigned char>(text[0])))
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > 0xFFFFFFFFull)
        return false;
    gid = static_cast<std::uint32_t>(value);
    return true;
}

bool readTileObject(PartialLevel& level, const tinyxml2::XMLElement* object, MapTileObject& placed)
{
    std::string problem;
    double x = 0, y = 0, width = 0, height = 0, rotation = 0;
    std::uint32_t gid = 0;
    int visible = 1;
    if (!readTileId(object->Attribute("gid"), gid))
        return refuse(level, "object " + LevelMapAttributes::text(object, "id") + ": attribute gid=\"" +
                                 LevelMapAttributes::text(object, "gid") + "\" is not a tile id");
    if (!LevelMapAttributes::readNumber(object, "x", 0, x, problem) ||
        !LevelMapAttributes::readNumber(object, "y", 0, y, problem) ||
        !LevelMapAttributes::readNumber(object, "width", 0, width, problem) ||
        !LevelMapAttributes::readNumber(object, "height", 0, height, problem) ||
        !LevelMapAttributes::readNumber(object, "rotation", 0, rotation, problem) ||
        !LevelMapAttributes::readInt(object, "visible", 1, visible, problem))
        return refuse(level, "object " + LevelMapAttributes::text(object, "id") + ": " + problem);
    placed.tile = objectTile(level, gid);
    placed.tile.visible = placed.tile.visible && visible != 0;
    const MapTileset* tileset = level.starts[placed.tile.tileset].tileset;
    placed.x = static_cast<float>(clampPixels(x));
    placed.y = static_cast<float>(clampPixels(y));
    placed.width = static_cast<float>(width > 0 ? clampPixels(width) : tileset->tileWidth);
    placed.height = static_cast<float>(height > 0 ? clampPixels(height) : tileset->tileHeight);
    placed.rotation = static_cast<float>(std::fmod(rotation, 360.0));
    return true;
}

// The tile objects of an object layer become a drawable map of their own,
// drawn at the layer's place; a layer without them draws nothing.
bool readTileObjects(PartialLevel& level, const tinyxml2::XMLElement* group, LayerLook look)
{
    if (!readLook(level, group, look))
        return false;
    std::vector<MapTileObject> objects;
    for (const tinyxml2::XMLElement* object = group->FirstChildElement("object"); object;
         object = object->NextSiblingElement("object"))
    {
        if (!object->Attribute("gid"))
            continue;
        MapTileObject placed;
        if (!readTileObject(level, object, placed))
            return false;
        if (placed.tile.visible)
            objects.push_back(placed);
    }
    if (objects.empty())
        return true;
    // The editor draws a layer's objects from the top of the map down unless
    // told to keep their order in the file.
    if (LevelMapAttributes::text(group, "draworder") != "index")
        std::stable_sort(objects.begin(), objects.end(),
                         [](const MapTileObject& a, const MapTileObject& b) { return a.y < b.y; });
    auto map = std::make_unique<MapLayer>();
    map->name = LevelMapAttributes::text(group, "name");
    map->tileset = level.grid;
    setTilesets(*map, level.starts);
    map->priorityLevel = static_cast<int>(level.drawableMaps.size());
    applyLook(*map, look);
    map->objects = std::move(objects);
    addPictureLayer(level, std::move(map));
    return true;
}

// The picture of an image layer as a tileset of one tile, found as a
// tileset image would be.
bool readLayerImage(PartialLevel& level, const tinyxml2::XMLElement* layer, MapTileset& picture)
{
    const std::string name = LevelMapAttributes::text(layer, "name");
    const tinyxml2::XMLElement* image = layer->FirstChildElement("image");
    const std::string source = LevelMapAttributes::text(image, "source");
    if (source.empty())
        return false;
    const std::string mapDirectory = LevelMapTilesetReader::directoryOf(level.path);
    picture.name = source;
    picture.imagePath = source[0] == '/' || mapDirectory.empty() ? source : mapDirectory + "/" + source;
    std::string problem;
    int width = 0;
    int height = 0;
    if (!LevelMapAttributes::readCount(image, "width", 0, width, problem) ||
        !LevelMapAttributes::readCount(image, "height", 0, height, problem))
        return refuse(level, "image layer \"" + name + "\": " + problem);
    // The editor draws the picture at the size of the file itself, whatever
    // the layer says; the layer's size stands in for a file not at hand.
    int fileWidth = 0;
    int fileHeight = 0;
    if (tamsygraphics::ImageLoader::ReadSize(picture.imagePath, fileWidth, fileHeight))
    {
        width = fileWidth;
        height = fileHeight;
    }
    else if (width == 0 || height == 0)
        return refuse(level, "image layer \"" + name + "\": the image " + source + " gives no size and cannot be read");
    if (width <= 0 || height <= 0 || width > MAX_TILE_SIZE || height > MAX_TILE_SIZE)
        return refuse(level, "image layer \"" + name + "\": the image " + source + " is " + std::to_string(width) +
                                 " x " + std::to_string(height) + " pixels");
    const char* key = image->Attribute("trans");
    if (key)
    {
        const char* digits = key[0] == '#' ? key + 1 : key;
        char* end = nullptr;
        const long colour = std::strtol(digits, &end, 16);
        if (std::strlen(digits) != 6 || end != digits + 6)
            return refuse(level, "image layer \"" + name + "\": attribute trans=\"" + key + "\" is not a colour");
        picture.transparentColour = static_cast<int>(colour);
    }
    picture.tileWidth = picture.renderedTileWidth = width;
    picture.tileHeight = picture.renderedTileHeight = height;
    picture.maxCol = picture.maxRow = 1;
    picture.imageName = LevelMapTilesetReader::textureNameOf(picture);
    return true;
}

// The editor repeats an image layer's picture across and down the whole
// view when asked to, beside the place it would have alone.
bool readRepeat(PartialLevel& level, const tinyxml2::XMLElement* layer, MapLayer& map)
{
    std::string problem;
    int repeatX = 0;
    int repeatY = 0;
    if (!LevelMapAttributes::readInt(layer, "repeatx", 0, repeatX, problem) ||
        !LevelMapAttributes::readInt(layer, "repeaty", 0, repeatY, problem))
        return refuse(level, "image layer \"" + map.name + "\": " + problem);
    map.repeatX = repeatX != 0;
    map.repeatY = repeatY != 0;
    return true;
}

// An image layer draws one picture from the map's top-left, shifted by the
// layer's offset; one without a picture draws nothing, as in the editor.
bool readImageLayer(PartialLevel& level, const tinyxml2::XMLElement* layer, LayerLook look)
{
    if (!readLook(level, layer, look))
        return false;
    auto picture = std::make_unique<MapTileset>();
    if (!LevelMapAttributes::text(layer->FirstChildElement("image"), "source").empty() &&
        !readLayerImage(level, layer, *picture))
        return false;
    if (picture->imagePath.empty())
        return true;
    auto map = std::make_unique<MapLayer>();
    map->name = LevelMapAttributes::text(layer, "name");
    map->tileset = level.grid;
    map->tilesets.push_back(picture.get());
    map->firstGids.push_back(1);
    map->priorityLevel = static_cast<int>(level.drawableMaps.size());
    applyLook(*map, look);
    if (!readRepeat(level, layer, *map))
        return false;
    MapTileObject whole;
    whole.y = static_cast<float>(picture->tileHeight);
    whole.width = static_cast<float>(picture->tileWidth);
    whole.height = static_cast<float>(picture->tileHeight);
    map->objects.push_back(whole);
    level.layerImages.push_back(std::move(picture));
    addPictureLayer(level, std::move(map));
    return true;
}

bool isLayerElement(const char* kind)
{
    return std::strcmp(kind, "layer") == 0 || std::strcmp(kind, "objectgroup") == 0 ||
           std::strcmp(kind, "imagelayer") == 0;
}

bool marksSprites(const tinyxml2::XMLElement* layer)
{
    const tinyxml2::XMLElement* properties = layer->FirstChildElement("properties");
    for (const tinyxml2::XMLElement* property = properties ? properties->FirstChildElement("property") : nullptr;
         property; property = property->NextSiblingElement("property"))
        if (LevelMapAttributes::text(property, "name") == "sprites")
            return LevelMapAttributes::text(property, "value") == "true";
    return false;
}

void notePlace(PartialLevel& level, const tinyxml2::XMLElement* layer)
{
    ++level.documentIndex;
    if (level.markedSpritesPlace < 0 && marksSprites(layer))
        level.markedSpritesPlace = level.documentIndex;
    if (level.firstObjectLayer < 0 && std::strcmp(layer->Name(), "objectgroup") == 0)
        level.firstObjectLayer = level.documentIndex;
}

// Tile layers, groups and object groups in document order; a group's
// visibility, opacity and tint pass on to everything inside it.
bool readLayers(PartialLevel& level, const tinyxml2::XMLElement* parent, const LayerLook& look)
{
    for (const tinyxml2::XMLElement* child = parent->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const char* kind = child->Name();
        if (isLayerElement(kind))
            notePlace(level, child);
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
        else if (std::strcmp(kind, "imagelayer") == 0)
        {
            if (!readImageLayer(level, child, look))
                return false;
        }
        else if (std::strcmp(kind, "objectgroup") == 0)
        {
            level.objectGroups.push_back(child);
            if (!readTileObjects(level, child, look))
                return false;
        }
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
    if (!LevelMapAttributes::readNumber(mapElement, "parallaxoriginx", 0.0, level.parallaxOriginX, problem) ||
        !LevelMapAttributes::readNumber(mapElement, "parallaxoriginy", 0.0, level.parallaxOriginY, problem))
        return refuse(level, problem);
    return !level.infinite || readInfiniteBounds(level, mapElement);
}

bool readTilesets(PartialLevel& level, const tinyxml2::XMLElement* mapElement)
{
    for (const tinyxml2::XMLElement* element = mapElement->FirstChildElement("tileset"); element;
         element = element->NextSiblingElement("tileset"))
    {
        std::string problem;
        std::uint32_t firstGid = 1;
        auto passability = std::make_unique<TilePassability>();
        std::unique_ptr<MapTileset> tileset(
            LevelMapTilesetReader::read(element, level.path, firstGid, problem, passability.get()));
        if (!tileset)
            return refuse(level, problem);
        level.tilesDeclareSides = level.tilesDeclareSides || passability->declares();
        level.tilesets.push_back(std::move(tileset));
        level.passabilities.push_back(std::move(passability));
        level.starts.push_back({firstGid, level.tilesets.back().get(), level.passabilities.back().get()});
    }
    if (level.tilesets.empty())
        return refuse(level, "the map has no <tileset>");
    if (level.tilesets.size() > 0xFFFF)
        return refuse(level, "the map has more than 65535 tilesets");
    // The game registers its one start-up tileset texture as "tileset";
    // every other image (or one with a transparent colour) is its own.
    for (std::size_t i = 0; i < level.tilesets.size(); ++i)
    {
        MapTileset& tileset = *level.tilesets[i];
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
    MapTileset* first = level.tilesets.front().get();
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
    level.ownGrid = std::make_unique<MapTileset>(*first);
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

// An object layer's map spans the tile layers' grid, without cells of its
// own, so that it is placed and sized like them.
void sizeObjectLayers(PartialLevel& level)
{
    int rows = 0;
    int columns = 0;
    mapExtent(level, rows, columns);
    for (auto& map : level.drawableMaps)
    {
        map->parallaxOriginX = static_cast<float>(level.parallaxOriginX);
        map->parallaxOriginY = static_cast<float>(level.parallaxOriginY);
    }
    for (MapLayer* map : level.objectLayers)
    {
        // No cells: a grid filled short of its size draws what it has.
        map->rows = rows;
        map->cols = columns;
    }
}

// Maps whose layer names follow the Floor / Furniture convention keep the
// passes by name they were made for; any other map is drawn as the editor
// shows it, its sprites at the place the map gives them.
bool followsNameConvention(const PartialLevel& level)
{
    if (level.markedSpritesPlace >= 0)
        return false;
    for (const auto& map : level.drawableMaps)
        if (map->name.find("Floor") != std::string::npos || map->name.find("Furniture") != std::string::npos)
            return true;
    return false;
}

void placeSprites(PartialLevel& level)
{
    if (followsNameConvention(level))
        return;
    const int place = level.markedSpritesPlace >= 0 ? level.markedSpritesPlace : level.firstObjectLayer;
    for (std::size_t i = 0; i < level.drawableMaps.size(); ++i)
    {
        level.drawableMaps[i]->editorOrder = true;
        // Without an object layer the characters walk on top of everything.
        level.drawableMaps[i]->overSprites = place >= 0 && level.drawableIndices[i] > place;
        level.drawableMaps[i]->holdsSprites =
            level.drawableIndices[i] == place && !level.drawableMaps[i]->objects.empty() &&
            std::find(level.objectLayers.begin(), level.objectLayers.end(), level.drawableMaps[i].get()) !=
                level.objectLayers.end();
    }
}

// A side is open only where the passability layer and every drawn tile
// that declares its sides leave it open; a map without a passability layer
// gets one, open wherever no tile closes it.
void applyLayerSides(PartialLevel& level)
{
    if (level.layerSides.empty())
        return;
    if (!level.passabilityMap)
    {
        int rows = 0;
        int columns = 0;
        mapExtent(level, rows, columns);
        level.passabilityMap = std::make_unique<core::PassabilityMap>(rows, columns);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < columns; ++column)
                setOpenSides(level.passabilityMap.get(), row, column, TilePassability::ALL_OPEN);
    }
    core::PassabilityMap* map = level.passabilityMap.get();
    for (const LayerSides& sides : level.layerSides)
    {
        const int rows = std::min(sides.rows, map->getNumberOfRows());
        const int columns = std::min(sides.columns, map->getNumberOfColumns());
        for (int row = 0; row < rows; ++row)
        {
            for (int column = 0; column < columns; ++column)
            {
                const PassabilityTile* tile = map->getTile(row, column);
                const int was = (tile->isPassableTop() ? 8 : 0) | (tile->isPassableRight() ? 4 : 0) |
                                (tile->isPassableBottom() ? 2 : 0) | (tile->isPassableLeft() ? 1 : 0);
                setOpenSides(map, row, column,
                             was & sides.open[static_cast<std::size_t>(row) * sides.columns + column]);
            }
        }
    }
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
    sizeObjectLayers(level);
    applyLayerSides(level);
    placeSprites(level);
    readObjectGroups(level);
    if (level.drawableMaps.size() == level.objectLayers.size())
    {
        Log::error() << "LevelMapLoader::loadLevelMap - Unable to create level from " << level.fileName
                     << ": Missing drawable layers" << std::endl;
        return false;
    }
    return true;
}

std::unique_ptr<LevelMap> assemble(PartialLevel& level)
{
    auto levelMap = std::make_unique<LevelMap>(std::move(level.drawableMaps), level.passabilityMap.release(),
                                               level.triggerMap.release());
    for (auto& tileset : level.tilesets)
        levelMap->adoptTileset(std::move(tileset));
    for (auto& picture : level.layerImages)
        levelMap->adoptTileset(std::move(picture));
    levelMap->adoptTileset(std::move(level.ownGrid));
    return levelMap;
}

// A property of the map itself, as the editor writes it under <map>; empty
// when the map has none of that name.
std::string mapProperty(const tinyxml2::XMLElement* mapElement, const std::string& name)
{
    const tinyxml2::XMLElement* properties = mapElement->FirstChildElement("properties");
    for (const tinyxml2::XMLElement* property = properties ? properties->FirstChildElement("property") : nullptr;
         property; property = property->NextSiblingElement("property"))
        if (nullToEmpty(property->Attribute("name")) == name)
            return nullToEmpty(property->Attribute("value"));
    return "";
}

std::unique_ptr<LevelMap> loadParsed(PartialLevel& level, const tinyxml2::XMLDocument& document)
{
    const tinyxml2::XMLElement* mapElement = document.FirstChildElement("map");
    if (!mapElement)
    {
        refuse(level, "the file has no <map>");
        return nullptr;
    }
    if (!readLevel(level, mapElement))
        return nullptr;
    std::unique_ptr<LevelMap> levelMap = assemble(level);
    if (levelMap)
        levelMap->setStepCue(mapProperty(mapElement, "stepCue"));
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

std::unique_ptr<LevelMap> LevelMapLoader::loadLevelMap(const std::string& fileName)
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

std::unique_ptr<LevelMap> LevelMapLoader::loadLevelMapFromMemory(const char* bytes, std::size_t size,
                                                                 const std::string& fileName)
{
    PartialLevel level;
    level.fileName = fileName;
    level.path = WORKING_DIRECTORY + "/" + fileName;
    LevelMapDocument document;
    if (!bytes || !reportParse(level, document.document(), document.parse(bytes, size)))
        return nullptr;
    return loadParsed(level, document.document());
}

MapTile LevelMapLoader::drawableTileFor(std::uint32_t gid, int maxCol, std::uint32_t firstGid)
{
    return MapTileResolver::tileFor(gid, maxCol, firstGid);
}

void LevelMapLoader::fillDrawableMap(MapLayer* map, const std::vector<std::uint32_t>& gids, std::uint32_t firstGid)
{
    if (!map)
        return;
    map->tilesets = {map->tileset};
    map->firstGids = {firstGid};
    std::vector<std::uint32_t> cells(gids);
    takeCells(*map, cells);
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

std::unique_ptr<PassabilityTile> LevelMapLoader::passabilityTileFor(int gid)
{
    const int open = openSidesFor(gid);
    return std::make_unique<PassabilityTile>((open & 8) != 0, (open & 4) != 0, (open & 2) != 0, (open & 1) != 0);
}

void LevelMapLoader::fillPassabilityMap(core::PassabilityMap* passabilityMap, const std::vector<std::uint32_t>& gids)
{
    // Flip bits stay in: a flipped tile matches no passability id.
    std::vector<unsigned char> open(static_cast<std::size_t>(passabilityMap->getNumberOfRows()) *
                                        static_cast<std::size_t>(passabilityMap->getNumberOfColumns()),
                                    TilePassability::ALL_OPEN);
    const BuiltInSides& builtIn = builtInSides();
    for (std::size_t cell = 0; cell < open.size() && cell < gids.size(); ++cell)
        open[cell] = static_cast<unsigned char>(builtIn.of(gids[cell]));
    passabilityMap->setSidesRowByRow(open);
}

bool LevelMapLoader::loadDrawableMapTiles(MapLayer* map, const tinyxml2::XMLElement* dataElement)
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

void LevelMapLoader::loadTriggerMapTiles(TriggerMap* triggerMap, const MapTileset* tileset,
                                         const tinyxml2::XMLElement* objectGroupElement, const std::string& fileName)
{
    loadTriggerMapTiles(triggerMap, tileset, objectGroupElement, fileName, 0, 0);
}

void LevelMapLoader::loadTriggerMapTiles(TriggerMap* triggerMap, const MapTileset* tileset,
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

bool LevelMapLoader::loadTrigger(TriggerMap* triggerMap, const MapTileset* tileset, const tinyxml2::XMLElement* object,
                                 const std::string& fileName, int rowShift, int columnShift)
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
    auto tile = std::make_unique<TriggerTile>();
    tile->addEvent(std::make_unique<event::TriggerTileEvent>(script, params));
    // The trigger map takes the tile, and releases it itself when no cell of
    // the area lies inside the grid.
    triggerMap->setTiles(cellOf(y, tileset->tileHeight, rowShift), cellOf(x, tileset->tileWidth, columnShift),
                         pixelHeight / tileset->tileHeight, pixelWidth / tileset->tileWidth, std::move(tile));
    return true;
}
