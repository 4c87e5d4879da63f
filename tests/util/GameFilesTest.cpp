#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "script/LuaInterface.h"
#include "graphics/TGFont.h"
#include "graphics/TGImage.h"
#include "graphics/TGImageLoader.h"
#include "sound/OggStream.h"
#include "support/Commands.h"
#include "support/Files.h"
#include "support/LogCapture.h"
#include "util/GameFiles.h"
#include "util/util.h"

namespace fs = std::filesystem;
using testsupport::ErrorCapture;
using testsupport::readText;
using testsupport::writeText;

// The game's files read the same from a folder, from a .zip of it and from a
// .zip holding the folder itself, with the engine's data behind the game;
// nothing outside the game can be reached, and archives that hold no game
// are refused by name.
namespace
{
const std::string SOURCE = ZOLT_SOURCE_DIR;

void put(const fs::path& file, const std::string& contents)
{
    fs::create_directories(file.parent_path());
    writeText(file.string(), contents);
}

// Packs `entries` (relative to `folder`) into `zip` as the build does.
bool pack(const fs::path& folder, const std::string& entries, const fs::path& zip)
{
    const std::string command =
        "cd '" + folder.string() + "' && cmake -E tar cf '" + zip.string() + "' --format=zip " + entries;
    return testsupport::runCommand(command).status == 0 && fs::exists(zip);
}

class GameFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(_scratch.path().empty());
        root = _scratch.path();
        const fs::path game = root / "work" / "mygame";
        put(game / "game.xml", "<game id=\"mine\"/>");
        put(game / "assets" / "a.txt", "alpha");
        put(game / "assets" / "sub" / "deep" / "b.txt", "nested");
        put(game / "assets" / "shaders" / "both.vert", "game shader");
        put(game / "assets" / "scripts" / "main.lua", "dofile(\"./assets/scripts/other.lua\")\nfound = found + 1\n");
        put(game / "assets" / "scripts" / "other.lua", "found = 41\n");
        put(game / "assets" / "scripts" / "escape.lua", "dofile(\"../outside.lua\")\n");
        put(game / "assets" / "data.xml", "<item name=\"stick\"/>");
        fs::copy_file(SOURCE + "/assets/sprites/Guard.png", game / "assets" / "guard.png");
        fs::copy_file(SOURCE + "/assets/sound/SFX/text.ogg", game / "assets" / "text.ogg");
        fs::copy_file(SOURCE + "/assets/fonts/FreeSans.ttf", game / "assets" / "face.ttf");
        put(root / "work" / "outside.txt", "secret");
        put(root / "work" / "outside.lua", "escaped = true\n");
        put(root / "engine" / "assets" / "shaders" / "both.vert", "engine shader");
        put(root / "engine" / "assets" / "shaders" / "only.vert", "engine only");
        put(root / "engine" / "assets" / "fonts" / "Eadui.ttf", "engine font");
        // The engine's data folder may be the demo's: its game files stay its own.
        put(root / "engine" / "assets" / "session.xml", "the demo's party");
        folder = game.string();
        ASSERT_TRUE(pack(game, "game.xml assets", root / "top.zip"));
        put(root / "work" / "__MACOSX" / "mygame" / "._game.xml", "resource fork");
        ASSERT_TRUE(pack(root / "work", "mygame __MACOSX", root / "inner.zip"));
        engine = (root / "engine").string();
    }

    void TearDown() override { GameFiles::unmount(); }

    std::vector<std::string> games() const
    {
        return {folder, (root / "top.zip").string(), (root / "inner.zip").string()};
    }

    testsupport::ScratchFolder _scratch{"zolt-gamefiles"};
    fs::path root;
    std::string folder;
    std::string engine;
};

TEST_F(GameFilesTest, EveryFormOfAPathReadsTheSameFileInEveryKindOfGame)
{
    const std::string outsideAbsolute = (root / "work" / "outside.txt").string();
    const struct
    {
        std::string path;
        bool readable;
        std::string contentsOrProblem;
    } cases[] = {
        {"assets/a.txt", true, "alpha"},
        {"./assets/a.txt", true, "alpha"},
        {".//assets/a.txt", true, "alpha"},
        {"assets/sub/deep/b.txt", true, "nested"},
        {"assets/sub/deep/../../a.txt", true, "alpha"},
        {"assets/shaders/both.vert", true, "game shader"},
        {"assets/shaders/only.vert", true, "engine only"},
        {"assets/fonts/Eadui.ttf", true, "engine font"},
        {"assets/session.xml", false, "no such file"},
        {"assets/missing.txt", false, "no such file"},
        {"assets/sub", false, "no such file"},
        {"../outside.txt", false, "\"..\" leads outside the game"},
        {"./assets/../../outside.txt", false, "\"..\" leads outside the game"},
        {outsideAbsolute, false, "an absolute path leads outside the game"},
        {"assets\\a.txt", false, "only \"/\" between names"},
    };
    for (const std::string& game : games())
    {
        std::string problem;
        ASSERT_TRUE(GameFiles::mount(game, engine, problem)) << problem;
        EXPECT_TRUE(GameFiles::mounted());
        EXPECT_EQ(GameFiles::location(), game);
        for (const auto& c : cases)
        {
            SCOPED_TRACE(game + " : " + c.path);
            ErrorCapture errors;
            std::string contents = "left over";
            std::string why;
            EXPECT_EQ(GameFiles::read(c.path, contents, &why), c.readable);
            if (c.readable)
            {
                EXPECT_EQ(contents, c.contentsOrProblem);
                EXPECT_TRUE(GameFiles::exists(c.path));
            }
            else
            {
                EXPECT_EQ(contents, "");
                EXPECT_NE(why.find(c.contentsOrProblem), std::string::npos) << why;
                EXPECT_FALSE(GameFiles::exists(c.path));
            }
        }
    }
}

TEST_F(GameFilesTest, APathLeadingOutsideIsNamedInTheLog)
{
    std::string problem;
    ASSERT_TRUE(GameFiles::mount((root / "top.zip").string(), engine, problem)) << problem;
    ErrorCapture errors;
    std::string contents;
    EXPECT_FALSE(GameFiles::read("../outside.txt", contents));
    EXPECT_TRUE(errors.contains("GameFiles - ../outside.txt refused: \"..\" leads outside the game")) << errors.text();
}

TEST_F(GameFilesTest, FoldersListTheGameAndTheEngineTogether)
{
    for (const std::string& game : games())
    {
        SCOPED_TRACE(game);
        std::string problem;
        ASSERT_TRUE(GameFiles::mount(game, engine, problem)) << problem;
        EXPECT_TRUE(GameFiles::isFolder("./assets/sub/deep"));
        EXPECT_FALSE(GameFiles::isFolder("assets/a.txt"));
        EXPECT_FALSE(GameFiles::isFolder("assets/nowhere"));
        EXPECT_EQ(GameFiles::list("assets/shaders"), (std::vector<std::string>{"both.vert", "only.vert"}));
        EXPECT_EQ(GameFiles::list("assets/sub"), (std::vector<std::string>{"deep"}));
        EXPECT_EQ(GameFiles::list("assets/fonts"), (std::vector<std::string>{"Eadui.ttf"}));
        const std::vector<std::string> assets = GameFiles::list("assets");
        EXPECT_NE(std::find(assets.begin(), assets.end(), "fonts"), assets.end());
        EXPECT_NE(std::find(assets.begin(), assets.end(), "a.txt"), assets.end());
        EXPECT_EQ(std::find(assets.begin(), assets.end(), "session.xml"), assets.end());
        EXPECT_TRUE(GameFiles::list("assets/nowhere").empty());
        EXPECT_TRUE(GameFiles::list("..").empty());
    }
}

TEST_F(GameFilesTest, WhatCannotBeMountedIsNamedWithWhatIsWrong)
{
    const fs::path bad = root / "bad";
    fs::create_directories(bad / "nogame" / "docs");
    put(bad / "nogame" / "docs" / "readme.txt", "no game here");
    put(bad / "two" / "one" / "assets" / "x.txt", "x");
    put(bad / "two" / "other" / "assets" / "y.txt", "y");
    put(bad / "garbage.zip", "this is not an archive at all, only some words");
    put(bad / "empty-file.zip", "");
    // An archive with nothing in it: only its end record.
    put(bad / "empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));
    const std::string whole = readText((root / "top.zip").string());
    put(bad / "cut.zip", whole.substr(0, whole.size() / 2));
    ASSERT_TRUE(pack(bad / "nogame", "docs", bad / "nogame.zip"));
    ASSERT_TRUE(pack(bad / "two", "one other", bad / "two.zip"));

    const struct
    {
        std::string location;
        std::string problem;
    } cases[] = {
        {(bad / "nowhere").string(), "is neither a game folder nor a .zip archive"},
        {(bad / "nogame").string(), "holds no game (no game.xml or assets folder at its top)"},
        {(bad / "garbage.zip").string(), "cannot be read as a .zip archive"},
        {(bad / "empty-file.zip").string(), "cannot be read as a .zip archive"},
        {(bad / "cut.zip").string(), "cannot be read as a .zip archive"},
        {(bad / "empty.zip").string(), "cannot be read as a .zip archive (it is empty"},
        {(bad / "nogame.zip").string(), "holds no game"},
        {(bad / "two.zip").string(), "holds no game"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.location);
        std::string problem;
        EXPECT_FALSE(GameFiles::mount(c.location, engine, problem));
        EXPECT_FALSE(GameFiles::mounted());
        EXPECT_EQ(problem.rfind(c.location, 0), 0u) << problem;
        EXPECT_NE(problem.find(c.problem), std::string::npos) << problem;
        EXPECT_FALSE(GameFiles::exists("assets/a.txt"));
    }
    // A failed mount leaves the last good one gone, not half replaced.
    std::string problem;
    ASSERT_TRUE(GameFiles::mount(folder, engine, problem)) << problem;
    EXPECT_FALSE(GameFiles::mount((bad / "garbage.zip").string(), engine, problem));
    EXPECT_FALSE(GameFiles::mounted());
}

TEST_F(GameFilesTest, EveryLoaderReadsFromAnArchive)
{
    FT_Library fonts = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&fonts), 0);
    for (const std::string& game : games())
    {
        SCOPED_TRACE(game);
        std::string problem;
        ASSERT_TRUE(GameFiles::mount(game, engine, problem)) << problem;
        ErrorCapture errors;

        XMLRoot data = getRoot("assets/data.xml");
        ASSERT_TRUE(data);
        EXPECT_STREQ(data->Attribute("name"), "stick");

        std::unique_ptr<tamsygraphics::Image> image(tamsygraphics::ImageLoader().LoadImage("./assets/guard.png"));
        int width = 0;
        int height = 0;
        EXPECT_TRUE(image->data != nullptr);
        EXPECT_GT(image->info.width, 0);
        EXPECT_TRUE(tamsygraphics::ImageLoader::ReadSize("assets/guard.png", width, height));
        EXPECT_EQ(width, image->info.width);
        EXPECT_EQ(height, image->info.height);

        sound::OggStream stream;
        EXPECT_TRUE(stream.open("./assets/text.ogg"));
        std::vector<char> pcm;
        EXPECT_GT(stream.read(pcm, 512), 0);
        EXPECT_TRUE(stream.seek(0));

        tamsygraphics::Font face("./assets/face.ttf", &fonts);
        EXPECT_TRUE(face.hasFace());

        core::LuaInterface::runString("found = 0");
        core::LuaInterface::runScript("main.lua");
        EXPECT_TRUE(core::LuaInterface::runBooleanString("return found == 42"));
        EXPECT_EQ(errors.text(), "");
    }
    FT_Done_FreeType(fonts);
}

TEST_F(GameFilesTest, AScriptCannotLoadAScriptOutsideTheGame)
{
    std::string problem;
    ASSERT_TRUE(GameFiles::mount((root / "inner.zip").string(), engine, problem)) << problem;
    ErrorCapture errors;
    core::LuaInterface::runString("escaped = false");
    core::LuaInterface::runScript("escape.lua");
    EXPECT_TRUE(core::LuaInterface::runBooleanString("return escaped == false"));
    EXPECT_TRUE(errors.contains("script path ../outside.lua leads out of the game's script folder")) << errors.text();
    core::LuaInterface::runScript("nothing.lua");
    EXPECT_TRUE(errors.contains("cannot open ./assets/scripts/nothing.lua: no such file in")) << errors.text();
}

// What Lua's own file loader accepted in a source file still loads; a
// precompiled chunk, which Lua does not check, is refused.
TEST_F(GameFilesTest, ScriptFilesLoadAsLuaSourceOnly)
{
    std::string binary;
    {
        lua_State* compiler = luaL_newstate();
        ASSERT_EQ(luaL_loadstring(compiler, "found = 9"), LUA_OK);
        lua_dump(
            compiler,
            [](lua_State*, const void* bytes, size_t size, void* into)
            {
                static_cast<std::string*>(into)->append(static_cast<const char*>(bytes), size);
                return 0;
            },
            &binary);
        lua_close(compiler);
    }
    ASSERT_FALSE(binary.empty());
    const struct
    {
        const char* name;
        std::string text;
        int found;           // the value the script leaves, -1 when it must not run
        const char* problem; // in the error line, or null for none
    } cases[] = {
        {"plain.lua", "found = 5", 5, nullptr},
        {"hashbang.lua", "#!/usr/bin/env lua\nfound = 6", 6, nullptr},
        {"bom.lua", "\xEF\xBB\xBF# a comment line\nfound = 7", 7, nullptr},
        {"broken.lua", "#!/usr/bin/env lua\nfound = = 8", -1, "broken.lua:2:"},
        {"compiled.lua", binary, -1, "attempt to load a binary chunk"},
        {"loadsBinary.lua", "found = 10; assert(loadfile('./assets/scripts/compiled.lua') == nil)", 10, nullptr},
    };
    for (const auto& c : cases)
        put(fs::path(folder) / "assets" / "scripts" / c.name, c.text);
    std::string problem;
    ASSERT_TRUE(GameFiles::mount(folder, engine, problem)) << problem;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ErrorCapture errors;
        core::LuaInterface::runString("found = -1");
        core::LuaInterface::runScript(c.name);
        EXPECT_TRUE(core::LuaInterface::runBooleanString("return found == " + std::to_string(c.found)));
        if (c.problem)
            EXPECT_TRUE(errors.contains(c.problem)) << errors.text();
        else
            EXPECT_EQ(errors.text(), "");
    }
}

TEST_F(GameFilesTest, WithNothingMountedPathsAreOpenedAsGiven)
{
    ASSERT_FALSE(GameFiles::mounted());
    std::string contents;
    EXPECT_TRUE(GameFiles::read(folder + "/assets/a.txt", contents));
    EXPECT_EQ(contents, "alpha");
    EXPECT_TRUE(GameFiles::read("./assets/fonts/README.md", contents));
    EXPECT_EQ(contents, readText(SOURCE + "/assets/fonts/README.md"));
    std::string problem;
    EXPECT_FALSE(GameFiles::read(folder + "/assets/sub", contents, &problem));
    EXPECT_EQ(problem, "no such file");
    EXPECT_EQ(GameFiles::list(folder + "/assets/sub/deep"), (std::vector<std::string>{"b.txt"}));
}

// Files are read in blocks: sizes around a block's edge, empty files and
// bytes a text reader could stop at (nulls, 0xFF, a lone '\r') all come
// back whole and unchanged.
TEST_F(GameFilesTest, FilesOfEverySizeAroundTheReadBlockComeBackWhole)
{
    ASSERT_FALSE(GameFiles::mounted());
    const std::size_t sizes[] = {0, 1, 65535, 65536, 65537, 3 * 65536 + 17};
    for (std::size_t size : sizes)
    {
        std::string written(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            written[i] = static_cast<char>((i * 131 + i / 251) % 256);
        if (size > 2)
            written[size / 2] = '\r';
        const std::string path = folder + "/assets/size-" + std::to_string(size) + ".bin";
        put(path, written);
        std::string contents = "left over from before";
        std::string problem;
        EXPECT_TRUE(GameFiles::read(path, contents, &problem)) << size << ": " << problem;
        EXPECT_EQ(contents.size(), size);
        EXPECT_TRUE(contents == written) << "the bytes of a file of " << size << " bytes differ";
    }
}

TEST(GameFilesPaths, InsideNamesAreNormalised)
{
    const struct
    {
        const char* path;
        const char* inside; // null: refused
    } cases[] = {
        {"assets/x", "assets/x"},
        {"./assets/x", "assets/x"},
        {".//assets/x", "assets/x"},
        {"././assets//x/", "assets/x"},
        {"assets/./x", "assets/x"},
        {"a/b/../../c", "c"},
        {"", ""},
        {".", ""},
        {"..", nullptr},
        {"a/../..", nullptr},
        {"/assets/x", nullptr},
        {"C:/x", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.path);
        std::string inside = "unset";
        std::string problem;
        EXPECT_EQ(GameFiles::normalise(c.path, inside, problem), c.inside != nullptr);
        if (c.inside)
            EXPECT_EQ(inside, c.inside);
        else
            EXPECT_FALSE(problem.empty());
    }
}
}
