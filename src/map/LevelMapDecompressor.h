#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Unpacks the compressed layer data the Tiled editor writes: zlib and gzip
// streams (told apart by their headers) and zstd frames. The output must be
// exactly the size the layer needs; anything else means the data is damaged
// or belongs to another map, so it is refused rather than guessed at.
class LevelMapDecompressor
{
public:
    // `method` is the <data> element's compression attribute: "zlib",
    // "gzip" or "zstd". False, with `problem` set, for an unknown method,
    // corrupt or truncated input, or output of any size but `expected`.
    static bool unpack(const std::string& method, const std::vector<unsigned char>& packed, std::size_t expected,
                       std::vector<unsigned char>& out, std::string& problem);

private:
    static bool inflate(const std::string& method, const std::vector<unsigned char>& packed, std::size_t expected,
                        std::vector<unsigned char>& out, std::string& problem);
    static bool unzstd(const std::vector<unsigned char>& packed, std::size_t expected, std::vector<unsigned char>& out,
                       std::string& problem);
    static bool wrongSize(std::size_t produced, std::size_t expected, const std::string& method, std::string& problem);
};
