#include "graphics/TGImageLoader.h"

#include <cstdio>

#include "Log/FileLog.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#pragma GCC diagnostic ignored "-Wtype-limits"
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace tamsygraphics
{
namespace
{
const char* failureReason()
{
    const char* reason = stbi_failure_reason();
    return reason ? reason : "unknown";
}
}

Image* ImageLoader::LoadImage(const std::string& fpath) const
{
    FILE_LOG(logINFO) << "(ImageLoader::LoadImage) Loading image: " << fpath;
    Image* image = new Image();

    FILE* file = std::fopen(fpath.c_str(), "rb");
    if (!file)
    {
        FILE_LOG(logERROR) << "(ImageLoader::LoadImage) File Open Failed: " << fpath;
        return image;
    }

    int width = 0;
    int height = 0;
    int components = 0;
    unsigned char* pixels = stbi_load_from_file(file, &width, &height, &components, 4);
    std::fclose(file);
    if (!pixels)
    {
        // A file that is there but does not decode is as unusable as a
        // missing one: report it and hand back an empty image.
        FILE_LOG(logERROR) << "(ImageLoader::LoadImage) Image Decode Failed: " << fpath << " ("
                           << failureReason() << ")";
        return image;
    }

    image->info.type = UCHAR;
    image->info.format = RGBA;
    image->info.width = width;
    image->info.height = height;
    image->data = pixels;
    return image;
}
}
