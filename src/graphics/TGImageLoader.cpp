#include "graphics/TGImageLoader.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "Log/Log.h"
#include "util/GameFiles.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wtype-limits"
// The static analyzer walks stb's inlined bodies and reports allocations
// that stb frees on paths it cannot follow; stb is not ours to mend, so the
// analyzer sees only its declarations.
#ifndef __clang_analyzer__
#define STB_IMAGE_IMPLEMENTATION
#endif
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace tamsygraphics
{
namespace
{
// A few bytes can claim an image of any size, and decoding would allocate
// it (several times over for a GIF): larger claims are refused unread.
const int MAX_IMAGE_SIDE = 16384;
const long long MAX_IMAGE_PIXELS = 8192LL * 8192LL;

const stbi_uc* bytesOf(const std::string& contents)
{
    return reinterpret_cast<const stbi_uc*>(contents.data());
}

int sizeOf(const std::string& contents)
{
    return static_cast<int>(std::min<size_t>(contents.size(), static_cast<size_t>(INT_MAX)));
}

bool claimsTooMuch(const std::string& contents, int& width, int& height)
{
    int components = 0;
    if (!stbi_info_from_memory(bytesOf(contents), sizeOf(contents), &width, &height, &components))
        return false; // the decoder itself says why it cannot read it
    return width > MAX_IMAGE_SIDE || height > MAX_IMAGE_SIDE ||
           static_cast<long long>(width) * height > MAX_IMAGE_PIXELS;
}

uint32_t bigEndian(const unsigned char* bytes)
{
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) | uint32_t(bytes[3]);
}

// What the walk over a PNG's chunks found, before stb_image sees the file.
enum class Chunks
{
    AS_THEY_ARE,
    WITHOUT_EMPTY_DATA,
    RUNNING_PAST_THE_END
};

// Two things stb_image does wrong with a PNG's chunks are kept from it here.
// It copies the first image-data chunk into a buffer it has not allocated
// yet when that chunk is empty (memcpy(NULL, ..., 0): harmless in practice
// but undefined, and the sanitizer build stops on it); an empty IDAT chunk
// carries nothing, so such a PNG is handed over without it.
// And it allocates what an image-data chunk's length claims
// before reading it, so a few hundred bytes claiming a 2 GB chunk ask for
// 2 GB; a chunk running past the end of the file is refused unread.
Chunks walkPngChunks(std::string& contents)
{
    static const unsigned char SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const std::string& whole = contents;
    if (whole.size() > size_t(INT_MAX) || whole.size() < sizeof SIGNATURE ||
        std::memcmp(whole.data(), SIGNATURE, sizeof SIGNATURE) != 0)
        return Chunks::AS_THEY_ARE;
    std::string kept = whole.substr(0, sizeof SIGNATURE);
    bool dropped = false;
    size_t at = sizeof SIGNATURE;
    // Each chunk: length, type, data, CRC. Whatever follows the end chunk
    // is no concern of the decoder's.
    while (at + 8 <= whole.size())
    {
        const uint32_t length = bigEndian(reinterpret_cast<const unsigned char*>(&whole[at]));
        const char* type = &whole[at + 4];
        if (whole.size() - at < 12 || length > whole.size() - at - 12)
            return Chunks::RUNNING_PAST_THE_END;
        const size_t next = at + 12 + length;
        if (length == 0 && std::memcmp(type, "IDAT", 4) == 0)
            dropped = true;
        else
            kept.append(whole, at, next - at);
        at = next;
        if (std::memcmp(type, "IEND", 4) == 0)
            break;
    }
    kept.append(whole, at, std::string::npos);
    if (!dropped)
        return Chunks::AS_THEY_ARE;
    contents.swap(kept);
    return Chunks::WITHOUT_EMPTY_DATA;
}

const char* failureReason()
{
    const char* reason = stbi_failure_reason();
    return reason ? reason : "unknown";
}
}

std::unique_ptr<Image> ImageLoader::LoadImage(const std::string& fpath) const
{
    Log::file(logINFO) << "(ImageLoader::LoadImage) Loading image: " << fpath;
    auto image = std::make_unique<Image>();

    // Read whole through the game's files, which may lie inside an archive.
    std::string contents;
    if (!GameFiles::read(fpath, contents))
    {
        Log::file(logERROR) << "(ImageLoader::LoadImage) File Open Failed: " << fpath;
        return image;
    }

    if (walkPngChunks(contents) == Chunks::RUNNING_PAST_THE_END)
    {
        Log::file(logERROR) << "(ImageLoader::LoadImage) Image Decode Failed: " << fpath
                            << " (a PNG chunk claims more bytes than the file holds)";
        return image;
    }
    int width = 0;
    int height = 0;
    if (claimsTooMuch(contents, width, height))
    {
        Log::file(logERROR) << "(ImageLoader::LoadImage) Image Too Large: " << fpath << " (" << width << " x " << height
                            << "; at most " << MAX_IMAGE_SIDE << " a side and " << MAX_IMAGE_PIXELS << " pixels)";
        return image;
    }
    int components = 0;
    unsigned char* pixels = stbi_load_from_memory(bytesOf(contents), sizeOf(contents), &width, &height, &components, 4);
    if (!pixels)
    {
        // A file that is there but does not decode is as unusable as a
        // missing one: report it and hand back an empty image.
        Log::file(logERROR) << "(ImageLoader::LoadImage) Image Decode Failed: " << fpath << " (" << failureReason()
                            << ")";
        return image;
    }

    image->info.type = UCHAR;
    image->info.format = RGBA;
    image->info.width = width;
    image->info.height = height;
    image->data = pixels;
    return image;
}

bool ImageLoader::ReadSize(const std::string& fpath, int& width, int& height)
{
    std::string contents;
    if (!GameFiles::read(fpath, contents))
        return false;
    int components = 0;
    const bool known = stbi_info_from_memory(bytesOf(contents), sizeOf(contents), &width, &height, &components) != 0;
    return known && width > 0 && height > 0;
}

void ImageLoader::ApplyColourKey(Image& image, int colour)
{
    if (!image.data || colour < 0 || image.info.format != RGBA || image.info.type != UCHAR)
        return;
    const unsigned char red = static_cast<unsigned char>((colour >> 16) & 0xFF);
    const unsigned char green = static_cast<unsigned char>((colour >> 8) & 0xFF);
    const unsigned char blue = static_cast<unsigned char>(colour & 0xFF);
    unsigned char* pixel = static_cast<unsigned char*>(image.data);
    const size_t count = static_cast<size_t>(image.info.width) * static_cast<size_t>(image.info.height);
    for (size_t i = 0; i < count; ++i, pixel += 4)
    {
        if (pixel[0] == red && pixel[1] == green && pixel[2] == blue)
            pixel[3] = 0;
    }
}
}
