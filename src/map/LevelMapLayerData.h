#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <tinyxml2.h>

// The global tile ids of one layer (or one chunk of an infinite layer),
// read from its <data> element in every form the Tiled editor saves: <tile>
// elements, CSV text, base64 text of little-endian 32-bit ids, and base64
// of zlib, gzip or zstd compressed ids. Numbers are read straight from the
// document's text into the caller's array, which keeps its capacity from
// one layer to the next.
class LevelMapLayerData
{
public:
    // Reads the first `count` ids of a <data> element, row-major from the
    // top left. False, with `problem` set, when the data is unreadable or
    // holds fewer ids.
    static bool decode(const tinyxml2::XMLElement* data, std::size_t count, std::vector<std::uint32_t>& gids,
                       std::string& problem);
    // The same for an element that carries no encoding of its own: the
    // <chunk>s of an infinite layer are written in their <data>'s encoding.
    static bool decode(const tinyxml2::XMLElement* element, const char* encoding, const char* compression,
                       std::size_t count, std::vector<std::uint32_t>& gids, std::string& problem);

private:
    static bool decodeTiles(const tinyxml2::XMLElement* data, std::size_t count, std::vector<std::uint32_t>& gids,
                            std::string& problem);
    // The text runs to `end`; the character there is not part of it and is
    // no digit, comma or space (a null, or the '<' that ends the element).
    static bool decodeCsv(const char* text, const char* end, std::size_t count, std::vector<std::uint32_t>& gids,
                          std::string& problem);
    static bool decodeBase64(const char* text, const char* compression, std::size_t count,
                             std::vector<std::uint32_t>& gids, std::string& problem);
    static bool base64Bytes(const char* text, std::vector<unsigned char>& bytes);
    static bool tooFew(std::size_t found, std::size_t count, std::string& problem);
};
