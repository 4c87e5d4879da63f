#include "map/LevelMapDecompressor.h"

#include <algorithm>

#include <zlib.h>
#include <zstd.h>

namespace
{
// Output grows in steps as the stream delivers it, so a layer that claims
// a huge size costs memory only for the data that is really there.
const std::size_t FIRST_STEP = 1u << 16;

std::size_t nextCapacity(std::size_t current, std::size_t expected)
{
    // One byte past the expected size shows a stream that is too long.
    std::size_t limit = expected + 1;
    return std::min(limit, std::max(FIRST_STEP, current * 2));
}
}

bool LevelMapDecompressor::unpack(const std::string& method, const std::vector<unsigned char>& packed,
                                  std::size_t expected, std::vector<unsigned char>& out, std::string& problem)
{
    if (method == "zlib" || method == "gzip")
        return inflate(method, packed, expected, out, problem);
    if (method == "zstd")
        return unzstd(packed, expected, out, problem);
    problem = "layer data has the unknown compression \"" + method + "\"";
    return false;
}

bool LevelMapDecompressor::wrongSize(std::size_t produced, std::size_t expected, const std::string& method,
                                     std::string& problem)
{
    if (produced == expected)
        return false;
    problem = "the " + method + " layer data unpacks to " +
              (produced > expected ? "more than " + std::to_string(expected) : std::to_string(produced)) + " bytes, " +
              std::to_string(expected) + " expected";
    return true;
}

bool LevelMapDecompressor::inflate(const std::string& method, const std::vector<unsigned char>& packed,
                                   std::size_t expected, std::vector<unsigned char>& out, std::string& problem)
{
    z_stream stream{};
    // 15 + 32: the largest window, and a zlib or gzip header told apart by
    // zlib itself; a gzip trailer's length and checksum are checked too.
    if (inflateInit2(&stream, 15 + 32) != Z_OK)
    {
        problem = "cannot start unpacking the " + method + " layer data";
        return false;
    }
    out.resize(std::min(expected + 1, FIRST_STEP));
    stream.next_in = const_cast<Bytef*>(packed.data());
    stream.avail_in = static_cast<uInt>(packed.size());
    int result = Z_OK;
    std::size_t produced = 0;
    while (result == Z_OK)
    {
        if (produced == out.size())
        {
            if (out.size() > expected)
                break;
            out.resize(nextCapacity(out.size(), expected));
        }
        stream.next_out = out.data() + produced;
        stream.avail_out = static_cast<uInt>(out.size() - produced);
        result = ::inflate(&stream, Z_NO_FLUSH);
        produced = out.size() - stream.avail_out;
        if (result == Z_BUF_ERROR && stream.avail_in == 0)
            break; // the input ended before the stream did
        if (result == Z_BUF_ERROR)
            result = Z_OK;
    }
    std::string reason = stream.msg ? stream.msg : "";
    inflateEnd(&stream);
    if (result != Z_STREAM_END && produced <= expected)
    {
        problem = result == Z_BUF_ERROR || result == Z_OK
                      ? "the " + method + " layer data is truncated"
                      : "the " + method + " layer data is corrupt" + (reason.empty() ? "" : " (" + reason + ")");
        return false;
    }
    out.resize(produced);
    return !wrongSize(produced, expected, method, problem);
}

bool LevelMapDecompressor::unzstd(const std::vector<unsigned char>& packed, std::size_t expected,
                                  std::vector<unsigned char>& out, std::string& problem)
{
    ZSTD_DStream* stream = ZSTD_createDStream();
    if (!stream)
    {
        problem = "cannot start unpacking the zstd layer data";
        return false;
    }
    ZSTD_inBuffer input{packed.data(), packed.size(), 0};
    out.resize(std::min(expected + 1, FIRST_STEP));
    std::size_t produced = 0;
    std::size_t remaining = 1; // what the frame still owes, 0 when it is complete
    std::string reason;
    while (remaining != 0)
    {
        if (produced == out.size())
        {
            if (out.size() > expected)
                break;
            out.resize(nextCapacity(out.size(), expected));
        }
        ZSTD_outBuffer output{out.data(), out.size(), produced};
        std::size_t before = input.pos;
        remaining = ZSTD_decompressStream(stream, &output, &input);
        produced = output.pos;
        if (ZSTD_isError(remaining))
        {
            reason = ZSTD_getErrorName(remaining);
            break;
        }
        if (remaining != 0 && input.pos == packed.size() && input.pos == before && output.pos < output.size)
            break; // nothing left to read and the frame is not complete
    }
    ZSTD_freeDStream(stream);
    if (!reason.empty())
    {
        problem = "the zstd layer data is corrupt (" + reason + ")";
        return false;
    }
    if (remaining != 0 && produced <= expected)
    {
        problem = "the zstd layer data is truncated";
        return false;
    }
    if (input.pos != packed.size() && produced <= expected)
    {
        problem = "the zstd layer data has bytes after its frame";
        return false;
    }
    out.resize(produced);
    return !wrongSize(produced, expected, "zstd", problem);
}
