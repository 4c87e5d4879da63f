#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <stb_image.h>
#include <sys/stat.h>
#include <unistd.h>

#include "application/ScreenshotInputContext.h"
#include "application/Screenshots.h"
#include "support/Files.h"

using application::ScreenshotInputContext;
using application::Screenshots;
namespace fs = std::filesystem;

namespace
{
// A small picture whose every pixel differs, so a row or channel out of
// place shows.
std::vector<unsigned char> pattern(int width, int height)
{
    std::vector<unsigned char> rgba;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            rgba.push_back(static_cast<unsigned char>(x * 40));
            rgba.push_back(static_cast<unsigned char>(y * 50));
            rgba.push_back(static_cast<unsigned char>(x * 7 + y * 11));
            rgba.push_back(255);
        }
    return rgba;
}

std::vector<unsigned char> readPng(const std::string& path, int& width, int& height)
{
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (!data)
        return {};
    std::vector<unsigned char> pixels(data, data + static_cast<std::size_t>(width) * height * 4);
    stbi_image_free(data);
    return pixels;
}
}

TEST(ScreenshotFiles, TheFolderIsThePicturesFolderElseOneBesideTheGamesData)
{
    const struct
    {
        const char* pictures;
        const char* data;
        const char* game;
        const char* expected;
    } cases[] = {
        {"/home/p/Pictures", "/home/p/.local/share/zolt", "demo", "/home/p/Pictures"},
        {"", "/home/p/.local/share/zolt", "demo", "/home/p/.local/share/zolt/demo/screenshots"},
        {"", "/d/zolt", "lantern", "/d/zolt/lantern/screenshots"},
        {"", "/d/zolt", "", "/d/zolt/game/screenshots"},
        {"", "", "demo", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Screenshots::folderFor(c.pictures, c.data, c.game), c.expected)
            << "pictures '" << c.pictures << "', data '" << c.data << "', game '" << c.game << "'";
}

TEST(ScreenshotFiles, SavedPicturesHoldThePixelsAndNeverOverwriteEachOther)
{
    testsupport::ScratchFolder scratch;
    ASSERT_FALSE(scratch.path().empty());
    const std::string folder = scratch.path() + "/made/on/demand";
    const int width = 5, height = 3;
    const std::vector<unsigned char> rgba = pattern(width, height);

    std::set<std::string> paths;
    for (int i = 0; i < 3; ++i)
    {
        std::string problem;
        const std::string path = Screenshots::save(folder, "20260101-120000", width, height, rgba, problem);
        ASSERT_FALSE(path.empty()) << problem;
        EXPECT_EQ(path.rfind(folder + "/zolt-20260101-120000", 0), 0u) << path;
        paths.insert(path);
        int w = 0, h = 0;
        EXPECT_EQ(readPng(path, w, h), rgba) << path;
        EXPECT_EQ(w, width);
        EXPECT_EQ(h, height);
    }
    EXPECT_EQ(paths.size(), 3u) << "each picture under a name of its own";
    EXPECT_TRUE(paths.count(folder + "/zolt-20260101-120000.png"));
    EXPECT_TRUE(paths.count(folder + "/zolt-20260101-120000-2.png"));
}

TEST(ScreenshotFiles, FailuresAreReportedNotHidden)
{
    testsupport::ScratchFolder scratch;
    ASSERT_FALSE(scratch.path().empty());
    const std::string blocker = scratch.path() + "/a-file";
    testsupport::writeText(blocker, "not a folder");
    const std::string locked = scratch.path() + "/locked";
    fs::create_directories(locked);
    chmod(locked.c_str(), 0500);
    const bool rootIgnoresModes = access(locked.c_str(), W_OK) == 0;
    const std::vector<unsigned char> rgba = pattern(2, 2);

    const struct
    {
        const char* what;
        std::string folder;
        int width;
        int height;
        std::size_t bytes;
        const char* says;
    } cases[] = {
        {"no folder at all", "", 2, 2, rgba.size(), "no folder"},
        {"a file where the folder should be", blocker + "/shots", 2, 2, rgba.size(), "cannot create"},
        {"a folder that cannot be written", locked, 2, 2, rgba.size(), "cannot write"},
        {"no pixels read", scratch.path(), 0, 0, 0, "could not be read"},
        {"fewer pixels than the size says", scratch.path(), 2, 2, rgba.size() - 4, "could not be read"},
    };
    for (const auto& c : cases)
    {
        if (rootIgnoresModes && c.folder == locked)
            continue;
        std::vector<unsigned char> pixels(rgba.begin(), rgba.begin() + static_cast<long>(c.bytes));
        std::string problem;
        EXPECT_EQ(Screenshots::save(c.folder, "x", c.width, c.height, pixels, problem), "") << c.what;
        EXPECT_NE(problem.find(c.says), std::string::npos) << c.what << ": " << problem;
    }
    chmod(locked.c_str(), 0700);
    EXPECT_FALSE(fs::exists(scratch.path() + "/zolt-x.png")) << "no empty picture is left behind";
}

TEST(ScreenshotFiles, TheContextTellsTheNoticeLineWhereThePictureWentOrWhyNot)
{
    testsupport::ScratchFolder scratch;
    ASSERT_FALSE(scratch.path().empty());
    const std::string blocker = scratch.path() + "/a-file";
    testsupport::writeText(blocker, "not a folder");
    const std::vector<unsigned char> rgba = pattern(4, 4);

    ScreenshotInputContext good(nullptr, scratch.path() + "/shots");
    std::vector<std::string> notices;
    good.setNotifier([&notices](const std::string& message) { notices.push_back(message); });
    const std::string saved = good.keep(4, 4, rgba);
    ASSERT_EQ(saved.rfind("Screenshot saved to " + scratch.path() + "/shots/zolt-", 0), 0u) << saved;
    EXPECT_TRUE(fs::exists(saved.substr(std::string("Screenshot saved to ").size())));

    ScreenshotInputContext bad(nullptr, blocker);
    bad.setNotifier([&notices](const std::string& message) { notices.push_back(message); });
    const std::string failed = bad.keep(4, 4, rgba);
    EXPECT_EQ(failed.rfind("Screenshot not saved: cannot create " + blocker, 0), 0u) << failed;

    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], saved);
    EXPECT_EQ(notices[1], failed);
    // Only F12 is taken; other keys pass on to the contexts below.
    EXPECT_TRUE(good.dispatch(application::KEY_F12, application::KEYHIT));
    EXPECT_FALSE(good.dispatch(application::KEY_F5, application::KEYHIT));
}
