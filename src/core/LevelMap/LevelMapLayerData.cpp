#include "core/LevelMap/LevelMapLayerData.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "util/util.h"

namespace
{
const std::size_t MAX_RESERVED = 1u << 20;
}

bool LevelMapLayerData::decode(const tinyxml2::XMLElement* data, std::size_t count,
                               std::vector<std::uint32_t>& gids, std::string& problem)
{
    gids.clear();
    // A size written wrongly must not make us ask for memory the data cannot fill.
    gids.reserve(count < MAX_RESERVED ? count : MAX_RESERVED);
    std::string encoding = nullToEmpty(data->Attribute("encoding"));
    if (encoding.empty())
        return decodeTiles(data, count, gids, problem);
    std::string text = nullToEmpty(data->GetText());
    if (encoding == "csv")
        return decodeCsv(text, count, gids, problem);
    if (encoding == "base64")
        return decodeBase64(text, count, gids, problem);
    problem = "layer data has the unknown encoding \"" + encoding + "\"";
    return false;
}

bool LevelMapLayerData::tooFew(std::size_t found, std::size_t count, std::string& problem)
{
    if (found >= count)
        return false;
    problem = "layer data holds " + std::to_string(found) + " tiles, " + std::to_string(count) +
              " expected";
    return true;
}

bool LevelMapLayerData::decodeTiles(const tinyxml2::XMLElement* data, std::size_t count,
                                    std::vector<std::uint32_t>& gids, std::string& problem)
{
    for (const tinyxml2::XMLElement* tile = data->FirstChildElement("tile");
         tile && gids.size() < count; tile = tile->NextSiblingElement("tile"))
    {
        // An empty cell may be written as <tile/> without a gid.
        gids.push_back(tile->UnsignedAttribute("gid", 0));
    }
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::decodeCsv(const std::string& text, std::size_t count,
                                  std::vector<std::uint32_t>& gids, std::string& problem)
{
    const char* cursor = text.c_str();
    while (gids.size() < count)
    {
        while (*cursor && std::isspace(static_cast<unsigned char>(*cursor)))
            ++cursor;
        if (!*cursor)
            break;
        char* end = nullptr;
        errno = 0;
        unsigned long long gid = std::strtoull(cursor, &end, 10);
        if (end == cursor || *cursor == '-' || errno == ERANGE || gid > 0xFFFFFFFFull)
        {
            problem = "layer CSV data holds a value that is not a tile id near \"" +
                      std::string(cursor).substr(0, 12) + "\"";
            return false;
        }
        gids.push_back(static_cast<std::uint32_t>(gid));
        cursor = end;
        while (*cursor && std::isspace(static_cast<unsigned char>(*cursor)))
            ++cursor;
        if (*cursor == ',')
            ++cursor;
        else if (*cursor)
        {
            problem = "layer CSV data has an unexpected character '" + std::string(1, *cursor) + "'";
            return false;
        }
    }
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::decodeBase64(const std::string& text, std::size_t count,
                                     std::vector<std::uint32_t>& gids, std::string& problem)
{
    std::vector<unsigned char> bytes;
    if (!base64Bytes(text, bytes))
    {
        problem = "layer base64 data is not valid base64";
        return false;
    }
    for (std::size_t at = 0; at + 4 <= bytes.size() && gids.size() < count; at += 4)
    {
        gids.push_back(static_cast<std::uint32_t>(bytes[at]) |
                       static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
                       static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                       static_cast<std::uint32_t>(bytes[at + 3]) << 24);
    }
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::base64Bytes(const std::string& text, std::vector<unsigned char>& bytes)
{
    unsigned int buffer = 0;
    int bits = 0;
    bool padding = false;
    for (char ch : text)
    {
        int value;
        if (ch >= 'A' && ch <= 'Z')
            value = ch - 'A';
        else if (ch >= 'a' && ch <= 'z')
            value = ch - 'a' + 26;
        else if (ch >= '0' && ch <= '9')
            value = ch - '0' + 52;
        else if (ch == '+')
            value = 62;
        else if (ch == '/')
            value = 63;
        else if (ch == '=')
        {
            padding = true;
            continue;
        }
        else if (std::isspace(static_cast<unsigned char>(ch)))
            continue;
        else
            return false;
        if (padding)
            return false; // data after the padding
        buffer = (buffer << 6) | static_cast<unsigned int>(value);
        bits += 6;
        if (bits >= 8)
        {
            bits -= 8;
            bytes.push_back(static_cast<unsigned char>((buffer >> bits) & 0xFF));
        }
    }
    return true;
}
