// The map preview's PNG output: every picture must read back exactly as it
// was given, whatever its size and however its rows arrive, and every misuse
// must fail with a reason and leave no half-written file behind.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <stb_image.h>

#include "graphics/TGFramebufferRows.h"
#include "graphics/TGOffscreenContext.h"
#include "graphics/TGPngWriter.h"
#include "support/Files.h"

namespace fs = std::filesystem;
using tamsygraphics::FramebufferRows;
using tamsygraphics::OffscreenContext;
using tamsygraphics::PngWriter;

namespace
{
// Pixels with flat runs, repeated rows, gradients and every kind of alpha,
// so that each of the row filters wins somewhere.
std::vector<unsigned char> picture(int width, int height, unsigned seed)
{
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    std::uint32_t state = seed * 2654435761u + 1u;
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            unsigned char* p = &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
            state = state * 1664525u + 1013904223u;
            const int kind = (y / 3 + x / 5) % 4;
            p[0] = static_cast<unsigned char>(kind == 0 ? 200 : kind == 1 ? x * 7 : state >> 24);
            p[1] = static_cast<unsigned char>(kind == 0 ? 30 : kind == 1 ? y * 5 : state >> 16);
            p[2] = static_cast<unsigned char>(kind == 2 ? (y % 2) * 255 : state >> 8);
            p[3] = static_cast<unsigned char>(kind == 3 ? 0 : kind == 2 ? 255 : state >> 20);
        }
    }
    return pixels;
}

struct Decoded
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels;
};

Decoded decode(const std::string& path)
{
    Decoded decoded;
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> data(
        stbi_load(path.c_str(), &decoded.width, &decoded.height, &channels, 4), stbi_image_free);
    if (data)
        decoded.pixels.assign(data.get(), data.get() + static_cast<std::size_t>(decoded.width) * decoded.height * 4);
    return decoded;
}

bool writeInBands(const std::string& path, int width, int height, int band, const std::vector<unsigned char>& pixels,
                  std::string& problem)
{
    PngWriter writer;
    if (!writer.Open(path, width, height, problem))
        return false;
    const std::size_t stride = static_cast<std::size_t>(width) * 4;
    for (int top = 0; top < height; top += band)
    {
        const int count = std::min(band, height - top);
        if (!writer.WriteRows(pixels.data() + stride * top, count, problem))
            return false;
    }
    return writer.Finish(problem);
}
}

TEST(PngWriter, EveryPictureReadsBackExactly)
{
    struct Case
    {
        int width;
        int height;
        int band;
    };
    const Case cases[] = {{1, 1, 1}, {3, 2, 1}, {17, 5, 2}, {300, 7, 64}, {64, 130, 64}, {1, 200, 7}, {1000, 40, 3}};
    testsupport::ScratchFolder scratch("zolt-png");
    unsigned seed = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " in bands of " +
                     std::to_string(c.band));
        const std::vector<unsigned char> pixels = picture(c.width, c.height, ++seed);
        const std::string path = scratch.path() + "/" + std::to_string(seed) + ".png";
        std::string problem;
        ASSERT_TRUE(writeInBands(path, c.width, c.height, c.band, pixels, problem)) << problem;
        const Decoded decoded = decode(path);
        EXPECT_EQ(decoded.width, c.width);
        EXPECT_EQ(decoded.height, c.height);
        EXPECT_TRUE(decoded.pixels == pixels);
    }
}

TEST(PngWriter, CompressesRepeatedPixels)
{
    // A flat picture must shrink far below its raw size, or nothing was
    // compressed at all.
    const int side = 512;
    std::vector<unsigned char> pixels(static_cast<std::size_t>(side) * side * 4, 90);
    testsupport::ScratchFolder scratch("zolt-png");
    const std::string path = scratch.path() + "/flat.png";
    std::string problem;
    ASSERT_TRUE(writeInBands(path, side, side, 64, pixels, problem)) << problem;
    EXPECT_LT(fs::file_size(path), pixels.size() / 50);
    EXPECT_TRUE(decode(path).pixels == pixels);
}

TEST(PngWriter, MisuseFailsWithAReasonAndLeavesNoFile)
{
    testsupport::ScratchFolder scratch("zolt-png");
    const std::string good = scratch.path() + "/out.png";
    const std::vector<unsigned char> pixels = picture(4, 4, 9);
    struct Case
    {
        const char* what;
        std::string path;
        int width;
        int height;
        int rowsGiven;
        const char* reason;
    };
    const Case cases[] = {
        {"no width", good, 0, 4, 0, "an image of 0 x 4 pixels"},
        {"negative height", good, 4, -1, 0, "an image of 4 x -1 pixels"},
        {"too wide", good, 1 << 25, 1, 0, "pixels"},
        {"folder missing", scratch.path() + "/no/such/folder/out.png", 4, 4, 4, "cannot write"},
        {"rows missing", good, 4, 4, 3, "3 of 4 rows given"},
        {"rows beyond the picture", good, 4, 3, 4, "more rows than the image has"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        PngWriter writer;
        std::string problem;
        bool ok = writer.Open(c.path, c.width, c.height, problem);
        if (ok && c.rowsGiven > 0)
            ok = writer.WriteRows(pixels.data(), c.rowsGiven, problem);
        if (ok)
            ok = writer.Finish(problem);
        EXPECT_FALSE(ok);
        EXPECT_NE(problem.find(c.reason), std::string::npos) << problem;
        EXPECT_FALSE(fs::exists(c.path));
    }
}

TEST(PngWriter, AWriterDroppedUnfinishedRemovesItsFile)
{
    testsupport::ScratchFolder scratch("zolt-png");
    const std::string path = scratch.path() + "/half.png";
    const std::vector<unsigned char> pixels = picture(8, 8, 3);
    {
        PngWriter writer;
        std::string problem;
        ASSERT_TRUE(writer.Open(path, 8, 8, problem)) << problem;
        ASSERT_TRUE(writer.WriteRows(pixels.data(), 4, problem)) << problem;
        EXPECT_TRUE(fs::exists(path));
    }
    EXPECT_FALSE(fs::exists(path));
}

TEST(FramebufferRows, UnpremultiplyRestoresTheColourOfPartlyCoveredPixels)
{
    struct Case
    {
        unsigned char in[4];
        unsigned char out[4];
    };
    const Case cases[] = {
        {{10, 20, 30, 255}, {10, 20, 30, 255}}, // opaque: untouched
        {{10, 20, 30, 0}, {10, 20, 30, 0}},     // empty: untouched
        {{64, 32, 0, 128}, {128, 64, 0, 128}},  // half covered
        {{100, 1, 51, 51}, {255, 5, 255, 51}},  // beyond full colour: clamped
        {{1, 0, 1, 2}, {128, 0, 128, 2}},       // rounded, not truncated
        {{200, 150, 100, 200}, {255, 191, 128, 200}},
    };
    for (const Case& c : cases)
    {
        unsigned char pixel[4] = {c.in[0], c.in[1], c.in[2], c.in[3]};
        FramebufferRows::Unpremultiply(pixel, 4);
        for (int channel = 0; channel < 4; ++channel)
            EXPECT_EQ(pixel[channel], c.out[channel]) << "pixel " << int(c.in[0]) << "," << int(c.in[1]) << ","
                                                      << int(c.in[2]) << "," << int(c.in[3]) << " channel " << channel;
    }
}

TEST(OffscreenContext, AWindowOnlyWhereAnXDisplayIsNamed)
{
    EXPECT_EQ(OffscreenContext::FirstChoice(nullptr), OffscreenContext::Kind::Egl);
    EXPECT_EQ(OffscreenContext::FirstChoice(""), OffscreenContext::Kind::Egl);
    EXPECT_EQ(OffscreenContext::FirstChoice(":0"), OffscreenContext::Kind::Window);
    EXPECT_EQ(OffscreenContext::FirstChoice("localhost:10.0"), OffscreenContext::Kind::Window);
}
