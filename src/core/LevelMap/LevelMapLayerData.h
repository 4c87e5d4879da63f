#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <tinyxml2.h>

// The global tile ids of one layer, read from its <data> element in any of
// the uncompressed forms the Tiled editor saves: <tile> elements, CSV text
// or base64 text (little-endian 32-bit ids). Compressed data is the
// caller's to refuse, since its message names the map.
class LevelMapLayerData
{
public:
    // Reads the first `count` ids, row-major from the top left. False, with
    // `problem` set, when the data is unreadable or holds fewer ids.
    static bool decode(const tinyxml2::XMLElement* data, std::size_t count,
                       std::vector<std::uint32_t>& gids, std::string& problem);

private:
    static bool decodeTiles(const tinyxml2::XMLElement* data, std::size_t count,
                            std::vector<std::uint32_t>& gids, std::string& problem);
    static bool decodeCsv(const std::string& text, std::size_t count,
                          std::vector<std::uint32_t>& gids, std::string& problem);
    static bool decodeBase64(const std::string& text, std::size_t count,
                             std::vector<std::uint32_t>& gids, std::string& problem);
    static bool base64Bytes(const std::string& text, std::vector<unsigned char>& bytes);
    static bool tooFew(std::size_t found, std::size_t count, std::string& problem);
};
