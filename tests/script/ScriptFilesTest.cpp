#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "LuaTestSupport.h"
#include "script/ScriptFiles.h"
#include "support/Files.h"

// Script paths come from game files and from scripts: every one is resolved
// inside the script folder, and a path that leads anywhere else is refused
// with the reason, before anything is opened.
using core::ScriptFiles;

namespace
{
// A script folder inside the game (the working directory), with a file, a
// sub-folder, a link out, a pipe and an oversized script.
class ScriptFolderOnDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "zolt-scriptfiles-XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        _folder = name;
        testsupport::writeText(_folder + "/a.lua", "x = 1");
        std::filesystem::create_directory(_folder + "/sub");
        testsupport::writeText(_folder + "/sub/b.lua", "y = 2");
        std::filesystem::create_symlink("/etc/hostname", _folder + "/out.lua");
        std::filesystem::create_directory_symlink("/etc", _folder + "/etc");
        ASSERT_EQ(::mkfifo((_folder + "/pipe.lua").c_str(), 0600), 0);
        testsupport::writeText(_folder + "/big.lua", std::string(ScriptFiles::MAX_BYTES + 1, '-'));
        _old = ScriptFiles::folder();
        ScriptFiles::setFolder(_folder);
    }
    void TearDown() override
    {
        ScriptFiles::setFolder(_old);
        std::error_code ignored;
        std::filesystem::remove_all(_folder, ignored);
    }

    std::string _folder;
    std::string _old;
};
}

TEST_F(ScriptFolderOnDisk, NamesThatLeadOutAreRefusedWithTheReason)
{
    const struct
    {
        std::string name;
        const char* reason;
    } refused[] = {
        {"", "script name is empty"},
        {"/etc/hostname", "is absolute"},
        {"../a.lua", "leads out of the game's script folder"},
        {"sub/../../a.lua", "leads out of the game's script folder"},
        {"sub/..", "leads out of the game's script folder"},
        {".", "names no file"},
        {std::string("a.lua\0/../../x", 14), "holds a NUL byte"},
        {"out.lua", "leads through the link"},
        {"etc/hostname", "leads through the link"},
        {"pipe.lua", "is not a plain file"},
        {"sub", "is not a plain file"},
        {"missing.lua", "cannot open"},
    };
    for (const auto& row : refused)
    {
        SCOPED_TRACE(row.name);
        std::string path = "unchanged";
        std::string why;
        EXPECT_FALSE(ScriptFiles::resolveName(row.name, path, why));
        EXPECT_NE(why.find(row.reason), std::string::npos) << why;
        EXPECT_EQ(path, "unchanged");
    }
}

TEST_F(ScriptFolderOnDisk, GamePathsMustLeadIntoTheScriptFolder)
{
    const struct
    {
        std::string gamePath;
        const char* reason;
    } refused[] = {
        {"CMakeLists.txt", "is outside the game's script folder"}, {_folder, "is outside the game's script folder"},
        {"./" + _folder + "/../CMakeLists.txt", "leads out"},      {"/" + _folder + "/a.lua", "is absolute"},
        {_folder + "/out.lua", "leads through the link"},
    };
    for (const auto& row : refused)
    {
        SCOPED_TRACE(row.gamePath);
        std::string path;
        std::string why;
        EXPECT_FALSE(ScriptFiles::resolveGamePath(row.gamePath, path, why));
        EXPECT_NE(why.find(row.reason), std::string::npos) << why;
    }
    std::string path;
    std::string why;
    ASSERT_TRUE(ScriptFiles::resolveGamePath("./" + _folder + "//sub/./b.lua", path, why)) << why;
    EXPECT_EQ(path, "./" + _folder + "/sub/b.lua");
}

TEST_F(ScriptFolderOnDisk, OtherGameFilesStayInsideTheGameFolder)
{
    const struct
    {
        std::string gamePath;
        const char* reason;
    } refused[] = {
        {"/etc/passwd", "path /etc/passwd is absolute"},
        {"assets/../../x.xml", "leads out of the game folder"},
        {_folder + "/etc/passwd", "leads through the link"},
        {_folder + "/pipe.lua", "is not a plain file"},
        {"", "path is empty"},
    };
    for (const auto& row : refused)
    {
        SCOPED_TRACE(row.gamePath);
        std::string path;
        std::string why;
        EXPECT_FALSE(ScriptFiles::resolveGameFile(row.gamePath, path, why));
        EXPECT_NE(why.find(row.reason), std::string::npos) << why;
    }
    std::string path;
    std::string why;
    ASSERT_TRUE(ScriptFiles::resolveGameFile("./CMakeLists.txt", path, why)) << why;
    EXPECT_EQ(path, "./CMakeLists.txt");
}

TEST_F(ScriptFolderOnDisk, ScriptsInsideAreReadWholeAndOversizedOnesRefused)
{
    std::string path;
    std::string why;
    std::string text;
    ASSERT_TRUE(ScriptFiles::resolveName("./sub//b.lua", path, why)) << why;
    EXPECT_EQ(path, "./" + _folder + "/sub/b.lua");
    ASSERT_TRUE(ScriptFiles::read(path, text, why)) << why;
    EXPECT_EQ(text, "y = 2");
    ASSERT_TRUE(ScriptFiles::resolveName("big.lua", path, why)) << why;
    EXPECT_FALSE(ScriptFiles::read(path, text, why));
    EXPECT_NE(why.find("over the " + std::to_string(ScriptFiles::MAX_BYTES)), std::string::npos) << why;
    // Read straight, a pipe is refused without waiting for a writer.
    EXPECT_FALSE(ScriptFiles::read("./" + _folder + "/pipe.lua", text, why));
    EXPECT_NE(why.find("is not a plain file"), std::string::npos) << why;
    EXPECT_FALSE(ScriptFiles::read("./" + _folder + "/out.lua", text, why)) << "links are not followed";
}

TEST_F(ScriptFolderOnDisk, AScriptFolderOutsideTheGameFindsNothing)
{
    std::string path;
    std::string why;
    for (const char* folder : {"/etc", "../outside", ""})
    {
        SCOPED_TRACE(folder);
        ScriptFiles::setFolder(folder);
        EXPECT_FALSE(ScriptFiles::resolveName("hostname", path, why));
        EXPECT_NE(why.find("is not a folder inside the game"), std::string::npos) << why;
    }
}
