#pragma once

namespace tamsygraphics
{
enum PixelType
{
    UCHAR = 0,
    FLOAT = 1,
    NONE = 2
};

enum PixelFormat
{
    RGB = 0,
    RGBA = 1,
    GREY = 2,
    GREY_ALPHA = 3,
    UNKNOWN = 4
};

struct ImageInfo
{
    PixelType type = NONE;
    PixelFormat format = UNKNOWN;
    int width = 0;
    int height = 0;
};

// Decoded pixels, top row first. The image owns its pixel buffer, which was
// allocated by the decoder and is released with the decoder's own free.
class Image
{
public:
    Image() = default;
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    ImageInfo info;
    unsigned char* data = nullptr;
};
}
