#include "map/LevelMapTilesetReader.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "map/LevelMapAttributes.h"
#include "map/TilePassability.h"
#include "graphics/TGImageLoader.h"
#include "util/LoadedFiles.h"
#include "util/util.h"
#include "util/GameFiles.h"

namespace
{
// Beyond this the world size of a map no longer fits an int.
const int MAX_TILE_SIZE = 1 << 15;
}

std::string LevelMapTilesetReader::directoryOf(const std::string& path)
{
    std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LevelMapTilesetReader::textureNameOf(const MapTileset& tileset)
{
    if (tileset.transparentColour < 0)
        return tileset.imagePath;
    char key[16];
    std::snprintf(key, sizeof key, "#%06x", tileset.transparentColour & 0xFFFFFF);
    return tileset.imagePath + key;
}

MapTileset* LevelMapTilesetReader::read(const tinyxml2::XMLElement* tilesetElement, const std::string& mapPath,
                                        std::uint32_t& firstGid, std::string& problem, TilePassability* passability)
{
    int first = 1;
    if (!LevelMapAttributes::readInt(tilesetElement, "firstgid", 1, first, problem))
        return nullptr;
    if (first < 1)
    {
        problem = "the tileset's firstgid must be at least 1";
        return nullptr;
    }
    firstGid = static_cast<std::uint32_t>(first);
    std::string source = LevelMapAttributes::text(tilesetElement, "source");
    if (!source.empty())
        return readExternal(mapPath, source, problem, passability);
    return build(tilesetElement, "", mapPath, problem, passability);
}

MapTileset* LevelMapTilesetReader::readExternal(const std::string& mapPath, const std::string& source,
                                                std::string& problem, TilePassability* passability)
{
    std::string mapDirectory = directoryOf(mapPath);
    std::string path = source[0] == '/' || mapDirectory.empty() ? source : mapDirectory + "/" + source;
    // A change to the tileset shows in every scene whose map uses it.
    LoadedFiles::note(path, FileKind::Map, mapPath);
    tinyxml2::XMLDocument document;
    if (LoadedFiles::loadXML(document, path, FileKind::Map) != tinyxml2::XML_SUCCESS)
    {
        problem = "cannot read the tileset file " + source + ": " + nullToEmpty(document.ErrorStr());
        return nullptr;
    }
    const tinyxml2::XMLElement* tilesetElement = document.FirstChildElement("tileset");
    if (!tilesetElement)
    {
        problem = "the tileset file " + source + " has no <tileset>";
        return nullptr;
    }
    MapTileset* tileset = build(tilesetElement, directoryOf(source), mapPath, problem, passability);
    if (!tileset)
        problem = "in the tileset file " + source + ": " + problem;
    return tileset;
}

MapTileset* LevelMapTilesetReader::build(const tinyxml2::XMLElement* tilesetElement, const std::string& imageDirectory,
                                         const std::string& mapPath, std::string& problem, TilePassability* passability)
{
    auto tileset = std::make_unique<MapTileset>();
    tileset->imageName = "tileset";
    if (!readTileSize(tilesetElement, *tileset, problem) || !readOffset(tilesetElement, *tileset, problem) ||
        !readImage(tilesetElement, imageDirectory, mapPath, *tileset, problem) ||
        !readAnimations(tilesetElement, *tileset, problem) ||
        (passability && !passability->read(tilesetElement, problem)))
        return nullptr;
    return tileset.release();
}

bool LevelMapTilesetReader::readOffset(const tinyxml2::XMLElement* tilesetElement, MapTileset& tileset,
                                       std::string& problem)
{
    const tinyxml2::XMLElement* offset = tilesetElement->FirstChildElement("tileoffset");
    if (!offset)
        return true;
    if (!LevelMapAttributes::readInt(offset, "x", 0, tileset.offsetX, problem) ||
        !LevelMapAttributes::readInt(offset, "y", 0, tileset.offsetY, problem))
        return false;
    if (std::abs(tileset.offsetX) > MAX_TILE_SIZE || std::abs(tileset.offsetY) > MAX_TILE_SIZE)
    {
        problem = "the tileset's tile offset is larger than " + std::to_string(MAX_TILE_SIZE);
        return false;
    }
    return true;
}

bool LevelMapTilesetReader::readTileSize(const tinyxml2::XMLElement* tilesetElement, MapTileset& tileset,
                                         std::string& problem)
{
    if (!LevelMapAttributes::readCount(tilesetElement, "tilewidth", 0, tileset.tileWidth, problem) ||
        !LevelMapAttributes::readCount(tilesetElement, "tileheight", 0, tileset.tileHeight, problem) ||
        !LevelMapAttributes::readCount(tilesetElement, "margin", 0, tileset.spaceX, problem) ||
        !LevelMapAttributes::readCount(tilesetElement, "spacing", 0, tileset.spaceY, problem))
        return false;
    if (tileset.tileWidth == 0 || tileset.tileHeight == 0)
    {
        problem = "the tileset's tile size is zero";
        return false;
    }
    if (tileset.tileWidth > MAX_TILE_SIZE || tileset.tileHeight > MAX_TILE_SIZE)
    {
        problem = "the tileset's tile size is larger than " + std::to_string(MAX_TILE_SIZE);
        return false;
    }
    // Tiles are drawn at twice their pixel size.
    tileset.renderedTileWidth = 2 * tileset.tileWidth;
    tileset.renderedTileHeight = 2 * tileset.tileHeight;
    return true;
}

bool LevelMapTilesetReader::readImage(const tinyxml2::XMLElement* tilesetElement, const std::string& imageDirectory,
                                      const std::string& mapPath, MapTileset& tileset, std::string& problem)
{
    const tinyxml2::XMLElement* image = tilesetElement->FirstChildElement("image");
    if (!image)
    {
        problem = "the tileset has no <image>";
        return false;
    }
    std::string source = LevelMapAttributes::text(image, "source");
    if (source.empty())
    {
        problem = "the tileset image has no source";
        return false;
    }
    tileset.name = imageDirectory.empty() || source[0] == '/' ? source : imageDirectory + "/" + source;
    const std::string mapDirectory = directoryOf(mapPath);
    tileset.imagePath =
        tileset.name[0] == '/' || mapDirectory.empty() ? tileset.name : mapDirectory + "/" + tileset.name;
    if (!readColourKey(image, tileset, problem))
        return false;
    int width = 0;
    int height = 0;
    if (!readImageSize(image, tileset, width, height, problem))
        return false;
    tileset.maxCol = tilesAcross(width, tileset.tileWidth, tileset.spaceX, tileset.spaceY);
    tileset.maxRow = tilesAcross(height, tileset.tileHeight, tileset.spaceX, tileset.spaceY);
    if (tileset.maxCol <= 0 || tileset.maxRow <= 0)
    {
        problem =
            "the tileset image (" + std::to_string(width) + " x " + std::to_string(height) + ") holds no whole tile";
        return false;
    }
    return true;
}

// Some editor versions leave the image size out; the image file knows it.
bool LevelMapTilesetReader::readImageSize(const tinyxml2::XMLElement* image, MapTileset& tileset, int& width,
                                          int& height, std::string& problem)
{
    if (!LevelMapAttributes::readCount(image, "width", 0, width, problem) ||
        !LevelMapAttributes::readCount(image, "height", 0, height, problem))
        return false;
    if (LevelMapAttributes::has(image, "width") && LevelMapAttributes::has(image, "height"))
        return true;
    if (!tamsygraphics::ImageLoader::ReadSize(tileset.imagePath, width, height))
    {
        problem = "the tileset image " + tileset.name + " gives no size and cannot be read";
        return false;
    }
    return true;
}

// The editor writes the colour as six hexadecimal digits, sometimes after a '#'.
bool LevelMapTilesetReader::readColourKey(const tinyxml2::XMLElement* image, MapTileset& tileset, std::string& problem)
{
    const char* raw = image->Attribute("trans");
    if (!raw)
        return true;
    const char* digits = raw[0] == '#' ? raw + 1 : raw;
    char* end = nullptr;
    long colour = std::strtol(digits, &end, 16);
    if (std::strlen(digits) != 6 || end != digits + 6 || colour < 0)
    {
        problem = std::string("attribute trans=\"") + raw + "\" of <image> is not a colour";
        return false;
    }
    tileset.transparentColour = static_cast<int>(colour);
    return true;
}

// The editor cuts tiles from the margin onwards, one every tile size plus
// spacing, as long as a whole tile fits; no margin is needed on the far
// side. Wide arithmetic: a map may give any spacing up to the int range.
int LevelMapTilesetReader::tilesAcross(int imageSize, int tileSize, int margin, int spacing)
{
    const long long usable = static_cast<long long>(imageSize) - margin + spacing;
    const long long step = static_cast<long long>(tileSize) + spacing;
    if (usable <= 0 || step <= 0)
        return 0;
    const long long tiles = usable / step;
    return tiles > INT_MAX ? INT_MAX : static_cast<int>(tiles);
}

bool LevelMapTilesetReader::readAnimations(const tinyxml2::XMLElement* tilesetElement, MapTileset& tileset,
                                           std::string& problem)
{
    for (const tinyxml2::XMLElement* tile = tilesetElement->FirstChildElement("tile"); tile;
         tile = tile->NextSiblingElement("tile"))
    {
        const tinyxml2::XMLElement* animation = tile->FirstChildElement("animation");
        if (!animation)
            continue;
        int id = 0;
        if (!LevelMapAttributes::readCount(tile, "id", 0, id, problem) ||
            !readAnimation(animation, id, tileset, problem))
            return false;
    }
    return true;
}

// Every frame must show a tile of this tileset for no negative time: a
// frame past the image would sample whatever the texture repeats there.
bool LevelMapTilesetReader::readAnimation(const tinyxml2::XMLElement* animation, int tileId, MapTileset& tileset,
                                          std::string& problem)
{
    const long long tiles = static_cast<long long>(tileset.maxCol) * tileset.maxRow;
    MapTileAnimation result;
    for (const tinyxml2::XMLElement* frame = animation->FirstChildElement("frame"); frame;
         frame = frame->NextSiblingElement("frame"))
    {
        MapTileAnimation::Frame read;
        const std::string where = "tile " + std::to_string(tileId) + ": animation frame ";
        if (!LevelMapAttributes::readCount(frame, "tileid", 0, read.tileId, problem) ||
            !LevelMapAttributes::readCount(frame, "duration", 0, read.duration, problem))
        {
            problem = where + std::to_string(result.frames.size() + 1) + ": " + problem;
            return false;
        }
        if (read.tileId >= tiles)
        {
            problem = where + std::to_string(result.frames.size() + 1) + " shows tile " + std::to_string(read.tileId) +
                      ", past the tileset's " + std::to_string(tiles) + " tiles";
            return false;
        }
        result.frames.push_back(read);
    }
    if (tileId < tiles && !result.frames.empty())
        tileset.animations[tileId] = std::move(result);
    return true;
}
