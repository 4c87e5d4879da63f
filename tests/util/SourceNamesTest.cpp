#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "util/GameManifest.h"

// The engine runs any game only while it names none of the demo's things
// itself: every scene id, character id, texture, sound, script and file the
// demo's manifest and data define lives in the game's folder, never in src/.
namespace fs = std::filesystem;

namespace
{
const fs::path SOURCE = ZOLT_SOURCE_DIR;

// Words the demo uses that are also the engine's own vocabulary.
const std::set<std::string> ENGINE_WORDS = {
    // The engine's text shader program and the XML attribute of dialog text.
    "text",
    // The Tiled map format's element, and the engine's name for the texture
    // of a map's tileset.
    "tileset",
};

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void collect(const std::string& text, const std::regex& pattern, std::set<std::string>& into)
{
    for (std::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it)
        into.insert((*it)[1].str());
}

std::string fileName(const std::string& path)
{
    return fs::path(path).filename().string();
}

std::set<std::string> demoNames()
{
    GameManifest manifest;
    manifest.readFile((SOURCE / GameManifest::FILE_NAME).string());
    std::set<std::string> names = {manifest.avatarId(), manifest.startScript()};
    for (const ManifestTexture& texture : manifest.textures())
        names.insert({texture.name, fileName(texture.file)});
    for (const ManifestSound& sound : manifest.sounds())
        names.insert({sound.name, fileName(sound.file)});
    for (const ManifestEntry& role : manifest.scriptRoles())
        names.insert(role.file);
    for (const ManifestEntry& scenes : manifest.sceneFiles())
        collect(readFile(SOURCE / scenes.file), std::regex("<scene id=\"([^\"]+)\""), names);
    const std::regex character("<character\\b[^>]*\\bid=\"([^\"]+)\"");
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(SOURCE / "assets"))
    {
        if (entry.path().extension() == ".xml")
            collect(readFile(entry.path()), character, names);
        if (entry.path().extension() == ".lua")
            names.insert(entry.path().filename().string());
    }
    names.erase("");
    return names;
}
}

TEST(SourceNames, TheDemosDataDefinesNamesToLookFor)
{
    const std::set<std::string> names = demoNames();
    // The manifest's own tables alone hold more than fifty names.
    EXPECT_GT(names.size(), 50u);
    for (const char* sample : {"fenwy", "coastalVillage_start", "themeTown", "Fenwy.png", "demoStartup.lua"})
        EXPECT_TRUE(names.count(sample)) << sample;
}

TEST(SourceNames, NoNameOfTheDemoIsWrittenInTheEngine)
{
    const std::set<std::string> names = demoNames();
    int files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(SOURCE / "src"))
    {
        const std::string extension = entry.path().extension().string();
        if (extension != ".cpp" && extension != ".h" && extension != ".c")
            continue;
        ++files;
        const std::string code = readFile(entry.path());
        for (const std::string& name : names)
        {
            if (ENGINE_WORDS.count(name))
                continue;
            // A file name is found anywhere; a bare name only as a string
            // literal, since words like "dog" may well appear in prose.
            const bool isFile = name.find('.') != std::string::npos;
            const bool found = code.find(isFile ? name : "\"" + name + "\"") != std::string::npos;
            EXPECT_FALSE(found) << entry.path().string() << " names the demo's " << name;
        }
    }
    EXPECT_GT(files, 100) << "the engine's sources were not found";
}
