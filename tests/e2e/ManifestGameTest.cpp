#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "GameConsole.h"
#include "EnvironmentValue.h"
#include "GameProcess.h"
#include "support/Files.h"

// A game folder of its own: the demo's assets under a manifest that gives
// another id, title and window size, names its first scene itself, names a
// picture and a song that are not there and holds an element the engine does
// not know. The game must say each fault, with file and line, on standard
// error, play on, and write its logs under the player's state folder, never
// into the game.
namespace fs = std::filesystem;

namespace
{
std::string withFaults(std::string manifest)
{
    const std::string opening =
        "<game id=\"zolt-demo\" title=\"OpenGL\" name=\"The False Lights\" width=\"640\" height=\"480\"";
    const size_t at = manifest.find(opening);
    if (at == std::string::npos)
        return "";
    manifest.replace(at, opening.size(),
                     "<game id=\"manifest-probe\" title=\"Manifest Probe\" width=\"800\" height=\"600\"");
    // The first scene named by the manifest rather than entered by a script.
    const std::string start = "<start script=\"demoStartup.lua\"/>";
    const size_t startAt = manifest.find(start);
    if (startAt == std::string::npos)
        return "";
    manifest.replace(startAt, start.size(), "<start script=\"story.lua\" scene=\"town_main\" row=\"24\" col=\"19\"/>");
    const size_t end = manifest.find("</game>");
    manifest.insert(end, "  <texture name=\"ghost\" file=\"assets/sprites/ghost.png\"/>\n"
                         "  <sound name=\"ghostSong\" file=\"assets/sound/ghost.ogg\" music=\"true\"/>\n"
                         "  <banner/>\n");
    return manifest;
}

int lineOf(const std::string& text, const std::string& needle)
{
    const size_t at = text.find(needle);
    return at == std::string::npos ? 0 : 1 + static_cast<int>(std::count(text.begin(), text.begin() + at, '\n'));
}

bool anyLineHas(const std::vector<std::string>& lines, const std::string& text)
{
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

}

TEST(ManifestGame, FaultsAreNamedOnStandardErrorAndTheGamePlaysWithItsOwnWindowAndLogFolder)
{
    if (!GameProcess::haveDisplay())
        GTEST_SKIP() << "needs an X display (the test command runs under Xvfb)";
    testsupport::ScratchFolder tree("zolt-manifest");
    testsupport::ScratchFolder state("zolt-state");
    ASSERT_FALSE(tree.path().empty());
    ASSERT_FALSE(state.path().empty());
    // The demo's assets, linked, but for the scripts: the script sandbox
    // follows no link, so they are copied.
    const fs::path assets = fs::path(tree.path()) / "assets";
    fs::create_directory(assets);
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::path(ZOLT_SOURCE_DIR) / "assets"))
    {
        const fs::path target = assets / entry.path().filename();
        if (entry.path().filename() == "scripts")
            fs::copy(entry.path(), target, fs::copy_options::recursive);
        else
            fs::create_symlink(entry.path(), target);
    }
    const std::string manifest = withFaults(testsupport::readText(ZOLT_SOURCE_DIR "/game.xml"));
    ASSERT_FALSE(manifest.empty()) << "the demo's manifest no longer opens as this test expects";
    testsupport::writeText(tree.path() + "/game.xml", manifest);
    const int ghostLine = lineOf(manifest, "name=\"ghost\"");
    const int bannerLine = lineOf(manifest, "<banner/>");
    const int soundLine = lineOf(manifest, "name=\"ghostSong\"");

    EnvironmentValue stateHome("XDG_STATE_HOME", state.path());
    GameProcess game(ZOLT_BINARY_DIR "/zolt", tree.path());
    ASSERT_TRUE(game.launch("Manifest Probe", 800, 600, GameConsole::WAIT_MS * 2));
    GameConsole console(game);
    ASSERT_TRUE(console.open());
    int row = -1;
    int col = -1;
    ASSERT_TRUE(console.avatarTile(row, col));
    EXPECT_EQ(row, 24);
    EXPECT_EQ(col, 19);
    const std::vector<std::string> ids = console.sceneIds();
    EXPECT_NE(std::find(ids.begin(), ids.end(), "fenwy"), ids.end());
    EXPECT_EQ(std::find(ids.begin(), ids.end(), "brune"), ids.end()) << "not the beach the demo's script enters";
    std::string defined;
    ASSERT_TRUE(console.query("type(talk)", defined));
    EXPECT_EQ(defined, "function") << "the manifest's start script ran";
    console.close();
    EXPECT_EQ(game.quitWithEscape(GameConsole::WAIT_MS), 1);

    const std::vector<std::string> errors = game.errorLines();
    EXPECT_TRUE(anyLineHas(errors, "game.xml:" + std::to_string(bannerLine) + ": unknown element <banner>"))
        << ::testing::PrintToString(errors);
    EXPECT_TRUE(anyLineHas(errors, "game.xml:" + std::to_string(ghostLine) +
                                       ": texture ghost: assets/sprites/ghost.png is missing or not an image"))
        << ::testing::PrintToString(errors);
    EXPECT_TRUE(anyLineHas(errors, "game.xml:" + std::to_string(soundLine) +
                                       ": sound ghostSong: assets/sound/ghost.ogg does not exist"))
        << ::testing::PrintToString(errors);
    EXPECT_TRUE(anyLineHas(game.outputLines(), "unknown element <banner>")) << "and in the log";

    EXPECT_TRUE(fs::is_regular_file(state.path() + "/zolt/manifest-probe/logs/graphicslog.txt"));
    EXPECT_FALSE(fs::exists(tree.path() + "/logs")) << "nothing is written into the game's folder";
}
