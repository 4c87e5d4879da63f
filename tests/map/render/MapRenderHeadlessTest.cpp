// zolt-maprender without any display: with DISPLAY unset it draws through
// EGL off-screen, and what it draws must be what the window path draws,
// pixel for pixel, on every map of the demo game.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <stb_image.h>

#include "GameMaps.h"
#include "support/Commands.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace
{
std::string tool()
{
    return std::string(ZOLT_BINARY_DIR) + "/zolt-maprender";
}

// The tool run as a job on a machine without a display would run it.
std::string headless(const std::string& arguments)
{
    return "env -u DISPLAY -u WAYLAND_DISPLAY " + tool() + " " + arguments;
}

// The window path: the test's own display if it has one, else a virtual one.
std::string windowed(const std::string& arguments)
{
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        return tool() + " " + arguments;
    return "xvfb-run -a -s \"-screen 0 1024x768x24\" " + tool() + " " + arguments;
}

struct Pixels
{
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

Pixels readPixels(const std::string& path)
{
    Pixels pixels;
    int channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> data(
        stbi_load(path.c_str(), &pixels.width, &pixels.height, &channels, 4), stbi_image_free);
    if (data)
        pixels.rgba.assign(data.get(), data.get() + static_cast<std::size_t>(pixels.width) * pixels.height * 4);
    return pixels;
}

long coveredPixels(const Pixels& pixels)
{
    long covered = 0;
    for (std::size_t at = 3; at < pixels.rgba.size(); at += 4)
        covered += pixels.rgba[at] != 0;
    return covered;
}
}

TEST(MapRenderHeadless, DrawsEveryGameMapAsTheWindowPathDoes)
{
    testsupport::ScratchFolder scratch("zolt-headless");
    std::vector<std::string> maps = gamemaps::files();
    maps.push_back("tests/map/data/render/flips.tmx");
    maps.push_back("tests/map/data/features/opacity.tmx");
    for (const std::string& map : maps)
    {
        SCOPED_TRACE(map);
        const std::string off = scratch.path() + "/off.png";
        const std::string win = scratch.path() + "/win.png";
        const testsupport::CommandResult offscreen = testsupport::runCommand(headless(map + " " + off + " 2>&1"));
        ASSERT_EQ(offscreen.status, 0) << offscreen.out;
        ASSERT_EQ(testsupport::runCommand(windowed(map + " " + win + " 2>&1")).status, 0);
        const Pixels a = readPixels(off);
        const Pixels b = readPixels(win);
        ASSERT_GT(a.width, 0);
        EXPECT_EQ(a.width, b.width);
        EXPECT_EQ(a.height, b.height);
        EXPECT_GT(coveredPixels(a), static_cast<long>(a.width) * a.height / 4) << "an empty picture proves nothing";
        EXPECT_TRUE(a.rgba == b.rgba) << "the off-screen picture differs from the window's";
    }
}

TEST(MapRenderHeadless, AnUnreachableDisplayStillLeavesEgl)
{
    testsupport::ScratchFolder scratch("zolt-headless");
    const std::string out = scratch.path() + "/out.png";
    const testsupport::CommandResult result = testsupport::runCommand(
        "DISPLAY=:4711 " + tool() + " tests/map/data/render/flips.tmx " + out + " 2>&1");
    EXPECT_EQ(result.status, 0) << result.out;
    EXPECT_EQ(readPixels(out).width, 8 * 16 * 2);
}

TEST(MapRenderHeadless, NoWayToDrawIsAClearErrorAndNoPicture)
{
    // No X display and an EGL that finds no driver: both ways fail, and the
    // tool says what each answered instead of crashing or writing a file.
    testsupport::ScratchFolder scratch("zolt-headless");
    const std::string out = scratch.path() + "/never.png";
    const testsupport::CommandResult result =
        testsupport::runCommand("__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json " +
                                headless("tests/map/data/render/flips.tmx " + out + " 2>&1"));
    EXPECT_EQ(result.status, 1) << result.out;
    EXPECT_NE(result.out.find("zolt-maprender: cannot create an OpenGL 3.2 core context"), std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("EGL surfaceless"), std::string::npos) << result.out;
    EXPECT_FALSE(fs::exists(out));
}

TEST(MapRenderHeadless, AnOutputThatCannotBeWrittenIsAnError)
{
    testsupport::ScratchFolder scratch("zolt-headless");
    const std::string out = scratch.path() + "/missing/folder/out.png";
    const testsupport::CommandResult result =
        testsupport::runCommand(headless("tests/map/data/render/flips.tmx " + out + " 2>&1"));
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("zolt-maprender: cannot write " + out), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find("wrote"), std::string::npos) << result.out;
}
