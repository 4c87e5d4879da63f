// Holds the engine's map drawing (through the zolt-maprender tool) against
// the Tiled editor's own rasterizer on maps made to expose every flip,
// layer order, holes in upper layers, and tileset margins and spacing.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include "GameMaps.h"

namespace fs = std::filesystem;

namespace
{
const std::string DATA = "tests/map/data/render/";

struct Picture
{
    int width = 0;
    int height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> pixels{nullptr, stbi_image_free};

    explicit operator bool() const { return pixels != nullptr; }
    const unsigned char* at(int x, int y) const { return pixels.get() + (y * width + x) * 4; }
};

Picture readPicture(const fs::path& path)
{
    Picture picture;
    int channels = 0;
    picture.pixels.reset(stbi_load(path.c_str(), &picture.width, &picture.height, &channels, 4));
    return picture;
}

// Both tools need a display; under a bare test run, borrow a virtual one.
std::string withDisplay(const std::string& command)
{
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        return command;
    return "xvfb-run -a -s \"-screen 0 1024x768x24\" " + command;
}

// The tools end with 0, 1 (a map or file problem) or 2 (bad arguments). A
// command that ends otherwise (a signal, a sanitizer's report) shows what it
// printed, so the report reaches the test's log instead of vanishing.
int run(const std::string& command)
{
    char output[] = "/tmp/zolt-maprender-run-XXXXXX";
    const int file = mkstemp(output);
    if (file >= 0)
        close(file);
    int status = std::system((command + " >" + output + " 2>&1").c_str());
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (code < 0 || code > 2)
    {
        std::fprintf(stderr, "'%s' ended with %d; it printed:\n", command.c_str(), code);
        std::system((std::string("tail -n 60 ") + output + " >&2").c_str());
    }
    std::remove(output);
    return code;
}

std::string tool()
{
    return std::string(ZOLT_BINARY_DIR) + "/zolt-maprender";
}

class MapRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        _dir = fs::temp_directory_path() / ("zolt-maprender-test-" + std::to_string(::getpid()));
        fs::create_directories(_dir);
    }
    void TearDown() override { fs::remove_all(_dir); }

    fs::path ours(const std::string& map) { return oursFile(DATA + map + ".tmx"); }

    fs::path oursFile(const std::string& mapFile)
    {
        fs::path out = _dir / (fs::path(mapFile).stem().string() + ".zolt.png");
        EXPECT_EQ(run(withDisplay(tool() + " " + mapFile + " " + out.string())), 0) << mapFile;
        return out;
    }

    fs::path tiled(const std::string& map, const std::string& options = "")
    {
        return tiledFile(DATA + map + ".tmx", options);
    }

    fs::path tiledFile(const std::string& mapFile, const std::string& options = "")
    {
        fs::path out = _dir / (fs::path(mapFile).stem().string() + ".tiled.png");
        std::string command = "QT_QPA_PLATFORM=offscreen tmxrasterizer --scale 2 --no-smoothing " + options + " " +
                              mapFile + " " + out.string();
        EXPECT_EQ(run(command), 0) << command;
        return out;
    }

    fs::path _dir;
};

// Pixels whose colour or coverage differ by more than two steps; pixels
// that both leave transparent are equal whatever colour they carry.
// `b` may be larger, holding `a` with its top-left at (left, top).
long differingPixels(const Picture& a, const Picture& b, int left = 0, int top = 0)
{
    long differing = 0;
    for (int y = 0; y < a.height && y + top < b.height; ++y)
    {
        for (int x = 0; x < a.width && x + left < b.width; ++x)
        {
            const unsigned char* p = a.at(x, y);
            const unsigned char* q = b.at(x + left, y + top);
            if (p[3] == 0 && q[3] == 0)
                continue;
            for (int channel = 0; channel < 4; ++channel)
            {
                if (std::abs(p[channel] - q[channel]) > 2)
                {
                    ++differing;
                    break;
                }
            }
        }
    }
    return differing;
}

long opaquePixels(const Picture& picture)
{
    long opaque = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            opaque += picture.at(x, y)[3] == 255;
    return opaque;
}
}

TEST_F(MapRender, MatchesTiledOnEveryMap)
{
    for (const char* map : {"flips", "flips_base64_tsx", "margin_equal", "margin_unequal", "oblong"})
    {
        SCOPED_TRACE(map);
        Picture engine = readPicture(ours(map));
        Picture editor = readPicture(tiled(map));
        ASSERT_TRUE(engine);
        ASSERT_TRUE(editor);
        ASSERT_EQ(engine.width, editor.width);
        ASSERT_EQ(engine.height, editor.height);
        // The bottom layer covers the whole map, so nearly everything is
        // drawn; an empty image would match nothing here.
        EXPECT_EQ(opaquePixels(engine), static_cast<long>(engine.width) * engine.height);
        EXPECT_EQ(differingPixels(engine, editor), 0);
    }
}

TEST_F(MapRender, EveryTiledFeatureMatchesTiled)
{
    const std::string features = "tests/map/data/features/";
    for (const char* map :
         {"encoding_xml", "encoding_csv", "encoding_base64", "encoding_zlib", "encoding_gzip", "encoding_zstd",
          "infinite", "groups", "opacity", "tint", "transparent", "offset", "sizes", "unsized"})
    {
        SCOPED_TRACE(map);
        Picture engine = readPicture(oursFile(features + map + ".tmx"));
        Picture editor = readPicture(tiledFile(features + map + ".tmx"));
        ASSERT_TRUE(engine);
        ASSERT_TRUE(editor);
        ASSERT_EQ(engine.width, editor.width);
        ASSERT_EQ(engine.height, editor.height);
        EXPECT_GT(opaquePixels(engine), 0);
        EXPECT_EQ(differingPixels(engine, editor), 0);
    }
}

TEST_F(MapRender, ComparisonNoticesAMissingTint)
{
    // The same map without its tints, as Tiled draws it, must not match
    // the engine's tinted drawing.
    const std::string features = "tests/map/data/features/";
    Picture engine = readPicture(oursFile(features + "tint.tmx"));
    Picture untinted = readPicture(tiledFile(features + "tint_control.tmx"));
    ASSERT_TRUE(engine);
    ASSERT_TRUE(untinted);
    ASSERT_EQ(engine.width, untinted.width);
    EXPECT_GT(differingPixels(engine, untinted), engine.width * engine.height / 2);
}

TEST_F(MapRender, GameMapsMatchTiled)
{
    // The game's own maps, as their makers see them in the editor: every
    // drawn layer, without the passability layer and the trigger objects.
    const std::vector<std::string> maps = gamemaps::files();
    for (const std::string& map : maps)
    {
        SCOPED_TRACE(map);
        Picture engine = readPicture(oursFile(map));
        Picture editor = readPicture(tiledFile(map, "--ignore-visibility --hide-layer Passability "
                                                    "--hide-layer passability --hide-layer Triggers"));
        ASSERT_TRUE(engine);
        ASSERT_TRUE(editor);
        ASSERT_EQ(engine.width, editor.width);
        ASSERT_EQ(engine.height, editor.height);
        EXPECT_EQ(differingPixels(engine, editor), 0);
    }
    if (maps.empty())
        GTEST_SKIP() << "no game maps under assets/maps";
}

TEST_F(MapRender, ImageHasTheMapsFullSizeAtDoubleScale)
{
    Picture flips = readPicture(ours("flips"));
    ASSERT_TRUE(flips);
    EXPECT_EQ(flips.width, 8 * 16 * 2);
    EXPECT_EQ(flips.height, 6 * 16 * 2);
    Picture oblong = readPicture(ours("oblong"));
    ASSERT_TRUE(oblong);
    EXPECT_EQ(oblong.width, 16 * 16 * 2);
    EXPECT_EQ(oblong.height, 3 * 12 * 2);
}

TEST_F(MapRender, ComparisonNoticesAMissingLayer)
{
    // Without its top layer Tiled's picture must no longer match ours:
    // this keeps the comparison itself honest.
    Picture engine = readPicture(ours("flips"));
    Picture editor = readPicture(tiled("flips", "--hide-layer Roof"));
    ASSERT_TRUE(engine);
    ASSERT_TRUE(editor);
    ASSERT_EQ(engine.width, editor.width);
    EXPECT_GT(differingPixels(engine, editor), 1000);
}

std::string firstLines(const fs::path& path)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "r"), std::fclose);
    std::string text;
    char line[512] = {0};
    while (file && std::fgets(line, sizeof line, file.get()))
        text += line;
    return text;
}

TEST_F(MapRender, WhyAMapIsRefusedGoesToStandardError)
{
    const fs::path out = _dir / "out.txt";
    const fs::path err = _dir / "err.txt";
    const std::string map = "tests/map/data/bad/isometric.tmx";
    std::string command = withDisplay(tool() + " " + map + " " + (_dir / "never.png").string()) + " >" + out.string() +
                          " 2>" + err.string();
    ASSERT_NE(std::system(command.c_str()), 0);
    const std::string errors = firstLines(err);
    EXPECT_NE(errors.find("Unable to load map " + map + ": the map's orientation is \"isometric\""), std::string::npos)
        << errors;
    EXPECT_NE(errors.find("zolt-maprender: cannot load the map " + map), std::string::npos) << errors;
    EXPECT_EQ(firstLines(out).find("isometric"), std::string::npos);
}

TEST_F(MapRender, ScaleAndLayerLikeTmxrasterizer)
{
    for (const char* scale : {"1", "3"})
    {
        SCOPED_TRACE(scale);
        fs::path mine = _dir / (std::string("scaled") + scale + ".png");
        ASSERT_EQ(run(withDisplay(tool() + " --scale " + scale + " " + DATA + "flips.tmx " + mine.string())), 0);
        fs::path theirs = _dir / (std::string("scaled") + scale + ".tiled.png");
        ASSERT_EQ(run(std::string("QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing --scale ") + scale + " " +
                      DATA + "flips.tmx " + theirs.string()),
                  0);
        Picture engine = readPicture(mine);
        Picture editor = readPicture(theirs);
        ASSERT_TRUE(engine);
        ASSERT_TRUE(editor);
        EXPECT_EQ(engine.width, 8 * 16 * std::atoi(scale));
        ASSERT_EQ(engine.width, editor.width);
        ASSERT_EQ(engine.height, editor.height);
        EXPECT_EQ(differingPixels(engine, editor), 0);
    }
    fs::path roof = _dir / "roof.png";
    ASSERT_EQ(run(withDisplay(tool() + " " + DATA + "flips.tmx " + roof.string() + " --layer Roof")), 0);
    fs::path tiledRoof = _dir / "roof.tiled.png";
    ASSERT_EQ(run("QT_QPA_PLATFORM=offscreen tmxrasterizer --no-smoothing --scale 2 --show-layer Roof " + DATA +
                  "flips.tmx " + tiledRoof.string()),
              0);
    Picture engine = readPicture(roof);
    Picture editor = readPicture(tiledRoof);
    ASSERT_TRUE(engine);
    ASSERT_TRUE(editor);
    EXPECT_LT(opaquePixels(engine), engine.width * engine.height / 2) << "the roof alone has holes";
    EXPECT_EQ(differingPixels(engine, editor), 0);
    EXPECT_EQ(run(withDisplay(tool() + " " + DATA + "flips.tmx " + roof.string() + " --layer Nothing")), 1);
    EXPECT_EQ(run(tool() + " " + DATA + "flips.tmx " + roof.string() + " --scale 0"), 2);
    EXPECT_EQ(run(tool() + " " + DATA + "flips.tmx " + roof.string() + " --layer"), 2);
}

TEST_F(MapRender, RunsFromAnyFolder)
{
    const fs::path map = fs::absolute(DATA + "flips.tmx");
    const fs::path out = _dir / "elsewhere.png";
    const std::string command =
        "cd " + _dir.string() + " && " + withDisplay(tool() + " " + map.string() + " " + out.string());
    EXPECT_EQ(run(command), 0);
    Picture picture = readPicture(out);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture.width, 8 * 16 * 2);
}

TEST_F(MapRender, BadArgumentsAndBadMapsFail)
{
    EXPECT_EQ(run(tool()), 2);
    EXPECT_EQ(run(tool() + " only-one-argument"), 2);
    EXPECT_EQ(run(tool() + " a b c"), 2);
    std::string usage = (_dir / "usage.txt").string();
    ASSERT_NE(std::system((tool() + " >/dev/null 2>" + usage).c_str()), 0);
    std::string text;
    {
        std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(usage.c_str(), "r"), std::fclose);
        ASSERT_TRUE(file);
        char line[256] = {0};
        ASSERT_NE(std::fgets(line, sizeof line, file.get()), nullptr);
        text = line;
    }
    EXPECT_EQ(text.rfind("Usage: zolt-maprender MAP OUT.png", 0), 0u) << text;

    fs::path out = _dir / "never.png";
    EXPECT_EQ(run(withDisplay(tool() + " " + DATA + "missing.tmx " + out.string())), 1);
    EXPECT_EQ(run(withDisplay(tool() + " tests/map/data/bad/short_data.tmx " + out.string())), 1);
    EXPECT_FALSE(fs::exists(out));
    // A map that loads but whose tileset image is missing.
    EXPECT_EQ(run(withDisplay(tool() + " tests/map/data/level_xml.tmx " + out.string())), 1);
    EXPECT_FALSE(fs::exists(out));
}

// Maps drawn as the editor shows them: layer order whatever the names, tile
// objects, animated tiles, image layers, parallax. Each is held to within
// 100 differing pixels in a million of the editor's own drawing.
TEST_F(MapRender, EditorFeaturesMatchTiled)
{
    struct Case
    {
        const char* map;
        std::string ourOptions;
        std::string tiledOptions;
        // The editor's picture grows to hold layers its offsets move past
        // the map's right and bottom edges; ours keeps the map's size, so
        // only the map's own area is compared, found in the editor's
        // picture at (left, top).
        bool editorGrows;
        int left;
        int top;
    };
    const std::string editor = "tests/map/data/editor/";
    const Case cases[] = {
        {"layer_order", "", "", false, 0, 0},
        {"sprites_marked", "", "", false, 0, 0},
        {"tile_objects", "", "", false, 0, 0},
        {"object_offsets", "", "", false, 0, 0},
        {"animated", "", "", false, 0, 0},
        {"animated", "--time 350", "--advance-animations 350", false, 0, 0},
        {"animated", "--time 20000", "--advance-animations 20000", false, 0, 0},
        {"image_layer", "", "", true, 0, 0},
        {"parallax", "--scale 1", "--scale 1", true, 0, 0},
        // Pictures repeated across, down and both ways; the editor's picture
        // reaches left and up for the offsets of their first copies.
        {"image_repeat", "", "", true, 60, 40},
        // The editor reaches left to hold the image layer's offset from the
        // first chunk's corner, 120 map pixels.
        {"infinite_objects", "", "", true, 240, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::string(c.map) + " " + c.ourOptions);
        const std::string map = editor + c.map + ".tmx";
        const fs::path mine = _dir / (std::string(c.map) + ".zolt.png");
        ASSERT_EQ(run(withDisplay(tool() + " " + c.ourOptions + " " + map + " " + mine.string())), 0);
        const fs::path theirs = _dir / (std::string(c.map) + ".tiled.png");
        // The last --scale given wins, so a case may ask for another one.
        ASSERT_EQ(run("QT_QPA_PLATFORM=offscreen tmxrasterizer --scale 2 --no-smoothing " + c.tiledOptions + " " + map +
                      " " + theirs.string()),
                  0);
        Picture engine = readPicture(mine);
        Picture tiledPicture = readPicture(theirs);
        ASSERT_TRUE(engine);
        ASSERT_TRUE(tiledPicture);
        if (c.editorGrows)
        {
            ASSERT_LE(engine.width + c.left, tiledPicture.width);
            ASSERT_LE(engine.height + c.top, tiledPicture.height);
        }
        else
        {
            ASSERT_EQ(engine.width, tiledPicture.width);
            ASSERT_EQ(engine.height, tiledPicture.height);
        }
        EXPECT_GT(opaquePixels(engine), 0);
        const long total = static_cast<long>(engine.width) * engine.height;
        EXPECT_LE(differingPixels(engine, tiledPicture, c.left, c.top) * 1000000L, 100L * total);
    }
}

TEST_F(MapRender, AnimatedTilesFollowTheTimeAsked)
{
    const std::string map = "tests/map/data/editor/animated.tmx";
    const fs::path start = _dir / "start.png";
    const fs::path later = _dir / "later.png";
    const fs::path again = _dir / "again.png";
    ASSERT_EQ(run(withDisplay(tool() + " " + map + " " + start.string())), 0);
    ASSERT_EQ(run(withDisplay(tool() + " --time 350 " + map + " " + later.string())), 0);
    // One whole turn of both animations (1000 and 300 ms) later.
    ASSERT_EQ(run(withDisplay(tool() + " " + map + " " + again.string() + " --time 3000")), 0);
    Picture first = readPicture(start);
    Picture second = readPicture(later);
    Picture third = readPicture(again);
    ASSERT_TRUE(first && second && third);
    EXPECT_GT(differingPixels(first, second), 1000);
    EXPECT_GT(differingPixels(first, third), 1000) << "at exactly a whole turn the last frames still show";
    for (const char* bad : {"--time -5", "--time soon", "--time", "--time 99999999999999999999"})
        EXPECT_EQ(run(tool() + " " + map + " " + start.string() + " " + bad), 2) << bad;
}
