#include "core/LevelMap/LevelMapLayerData.h"

#include <algorithm>
#include <cstring>

#include "core/LevelMap/LevelMapDecompressor.h"
#include "core/LevelMap/LevelMapDocument.h"
#include "util/util.h"

namespace
{
const std::size_t MAX_RESERVED = 1u << 20;

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\n' || ch == '\r' || ch == '\t';
}

const char* skipSpace(const char* cursor)
{
    while (isSpace(*cursor))
        ++cursor;
    return cursor;
}

// A tile id in decimal: digits only, at most 32 bits. Null when the text
// at `cursor` is not one; otherwise the first character after it.
const char* readId(const char* cursor, std::uint32_t& id)
{
    unsigned digit = static_cast<unsigned char>(cursor[0]) - static_cast<unsigned>('0');
    if (digit > 9)
        return nullptr;
    // Nine digits never overflow 32 bits, so only longer numbers are
    // checked; a character is read only after a digit.
    std::uint32_t value = digit;
    for (int at = 1; at < 9; ++at)
    {
        digit = static_cast<unsigned char>(cursor[at]) - static_cast<unsigned>('0');
        if (digit > 9)
        {
            id = value;
            return cursor + at;
        }
        value = value * 10 + digit;
    }
    std::uint64_t wide = value;
    for (cursor += 9; (digit = static_cast<unsigned char>(*cursor) - static_cast<unsigned>('0')) <= 9; ++cursor)
    {
        wide = wide * 10 + digit;
        if (wide > 0xFFFFFFFFull)
            return nullptr;
    }
    id = static_cast<std::uint32_t>(wide);
    return cursor;
}

std::string near(const char* cursor, const char* end)
{
    return std::string(cursor, std::min<std::size_t>(12, static_cast<std::size_t>(end - cursor)));
}

// Base64 digit values; -1 for any other character.
struct Base64Table
{
    signed char value[256];
    Base64Table()
    {
        for (signed char& v : value)
            v = -1;
        const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            value[static_cast<unsigned char>(digits[i])] = static_cast<signed char>(i);
    }
};

void readLittleEndian(const std::vector<unsigned char>& bytes, std::size_t count, std::vector<std::uint32_t>& gids)
{
    std::size_t ids = bytes.size() / 4 < count ? bytes.size() / 4 : count;
    gids.resize(ids);
    const unsigned char* at = bytes.data();
    for (std::size_t i = 0; i < ids; ++i, at += 4)
    {
        gids[i] = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                  static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
    }
}
}

bool LevelMapLayerData::decode(const tinyxml2::XMLElement* data, std::size_t count, std::vector<std::uint32_t>& gids,
                               std::string& problem)
{
    return decode(data, data->Attribute("encoding"), data->Attribute("compression"), count, gids, problem);
}

bool LevelMapLayerData::decode(const tinyxml2::XMLElement* element, const char* encoding, const char* compression,
                               std::size_t count, std::vector<std::uint32_t>& gids, std::string& problem)
{
    gids.clear();
    std::string kind = nullToEmpty(encoding);
    if (compression && kind != "base64")
    {
        problem = "layer data is compressed but not base64 encoded";
        return false;
    }
    if (kind.empty())
        return decodeTiles(element, count, gids, problem);
    if (kind == "csv")
    {
        // Read from the file's own bytes where the document set them aside.
        std::pair<const char*, const char*> span = LevelMapDocument::csvText(element);
        if (!span.first)
        {
            const char* raw = element->GetText();
            span.first = raw ? raw : "";
            span.second = span.first + std::strlen(span.first);
        }
        return decodeCsv(span.first, span.second, count, gids, problem);
    }
    const char* raw = element->GetText();
    const char* text = raw ? raw : "";
    if (kind == "base64")
        return decodeBase64(text, compression, count, gids, problem);
    problem = "layer data has the unknown encoding \"" + kind + "\"";
    return false;
}

bool LevelMapLayerData::tooFew(std::size_t found, std::size_t count, std::string& problem)
{
    if (found >= count)
        return false;
    problem = "layer data holds " + std::to_string(found) + " tiles, " + std::to_string(count) + " expected";
    return true;
}

bool LevelMapLayerData::decodeTiles(const tinyxml2::XMLElement* data, std::size_t count,
                                    std::vector<std::uint32_t>& gids, std::string& problem)
{
    // A size written wrongly must not make us ask for memory the data cannot fill.
    gids.reserve(count < MAX_RESERVED ? count : MAX_RESERVED);
    for (const tinyxml2::XMLElement* tile = data->FirstChildElement("tile"); tile && gids.size() < count;
         tile = tile->NextSiblingElement("tile"))
    {
        // An empty cell may be written as <tile/> without a gid.
        const char* raw = tile->Attribute("gid");
        std::uint32_t gid = 0;
        if (raw && !readId(skipSpace(raw), gid))
        {
            problem = "layer data holds <tile gid=\"" + std::string(raw) + "\">, which is not a tile id";
            return false;
        }
        gids.push_back(gid);
    }
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::decodeCsv(const char* text, const char* end, std::size_t count,
                                  std::vector<std::uint32_t>& gids, std::string& problem)
{
    // Each id takes a digit and a comma at least, so the text bounds how
    // many there can be, whatever size the layer claims.
    const std::size_t most = std::min(count, static_cast<std::size_t>(end - text) / 2 + 1);
    gids.resize(most);
    std::uint32_t* out = gids.data();
    std::uint32_t* const full = out + most;
    const char* cursor = skipSpace(text);
    while (out < full && cursor < end)
    {
        const char* after = readId(cursor, *out);
        if (!after)
        {
            problem = "layer CSV data holds a value that is not a tile id near \"" + near(cursor, end) + "\"";
            return false;
        }
        ++out;
        // The editor writes "12,7,9": a comma right before the next digit
        // needs none of the checks below.
        if (after[0] == ',' && after[1] >= '0' && after[1] <= '9')
        {
            cursor = after + 1;
            continue;
        }
        cursor = skipSpace(after);
        if (cursor < end && *cursor == ',')
            cursor = skipSpace(cursor + 1);
        else if (cursor < end)
        {
            problem = "layer CSV data has an unexpected character '" + std::string(1, *cursor) + "'";
            return false;
        }
    }
    gids.resize(static_cast<std::size_t>(out - gids.data()));
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::decodeBase64(const char* text, const char* compression, std::size_t count,
                                     std::vector<std::uint32_t>& gids, std::string& problem)
{
    std::vector<unsigned char> bytes;
    if (count > static_cast<std::size_t>(-1) / 4)
    {
        problem = "layer data claims more tiles than memory can hold";
        return false;
    }
    if (!base64Bytes(text, bytes))
    {
        problem = "layer base64 data is not valid base64";
        return false;
    }
    if (compression)
    {
        std::vector<unsigned char> unpacked;
        if (!LevelMapDecompressor::unpack(compression, bytes, count * 4, unpacked, problem))
            return false;
        bytes.swap(unpacked);
    }
    readLittleEndian(bytes, count, gids);
    return !tooFew(gids.size(), count, problem);
}

bool LevelMapLayerData::base64Bytes(const char* text, std::vector<unsigned char>& bytes)
{
    static const Base64Table table;
    unsigned int buffer = 0;
    int bits = 0;
    bool padding = false;
    bytes.reserve(std::strlen(text) / 4 * 3 + 3);
    for (const char* cursor = text; *cursor; ++cursor)
    {
        const char ch = *cursor;
        if (isSpace(ch))
            continue;
        if (ch == '=')
        {
            padding = true;
            continue;
        }
        const int value = table.value[static_cast<unsigned char>(ch)];
        if (value < 0 || padding)
            return false; // not base64, or data after the padding
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
