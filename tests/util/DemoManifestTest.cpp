#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <tinyxml2.h>

#include "util/GameManifest.h"

// The demo plays as it always did only if its manifest, and the default
// manifest that stands in for old game folders, hold the tables the engine
// used to compile in: the same names in the same order (each texture takes
// the next texture unit), the same sound files, kinds and loop points, the
// same scenes.
namespace
{
struct Sound
{
    std::string file;
    bool music;
    unsigned int loopTo;
};

const std::vector<std::pair<std::string, std::string>> TEXTURES_BEFORE = {
    {"tileset", "assets/maps/region1/tileset.png"},
    {"walking", "assets/sprites/walkingSpriteSheet.png"},
    {"walking2", "assets/sprites/walkingSpriteSheet2.png"},
    {"walking3", "assets/sprites/walkingSpriteSheet3.png"},
    {"walking4", "assets/sprites/walkingSpriteSheet4.png"},
    {"dog", "assets/sprites/dog.png"},
    {"banana", "assets/sprites/banana.gif"},
    {"fireball", "assets/sprites/fireball.png"}};
const char* const PORTRAITS_BEFORE[] = {"Aldric",   "Bandit",    "BanditLeader", "Brune",     "Captain", "Elder",
                                        "Fenwy",    "Fisherman", "Guard",        "Innkeeper", "Man",     "Mayor",
                                        "Merchant", "Oskel",     "Sailor",       "Tibbet",    "Vosk",    "Woman"};

const std::vector<Sound> SOUNDS_BEFORE = {
    {"assets/sound/testSong.ogg", true, 0},         {"assets/sound/testSoundShort.ogg", false, 0},
    {"assets/sound/testSoundLong.ogg", false, 0},   {"assets/sound/testMusicShort.ogg", true, 760},
    {"assets/sound/tempOverworld.ogg", true, 5337}, {"assets/sound/tempEvent.ogg", true, 2397},
    {"assets/sound/tempBattle.ogg", true, 13197},   {"assets/sound/tempCave.ogg", true, 0},
    {"assets/sound/tempRunSound.ogg", false, 0},    {"assets/sound/eventForeboding.ogg", true, 0},
    {"assets/sound/eventSilly.ogg", true, 0},       {"assets/sound/eventHappy.ogg", true, 1076},
    {"assets/sound/eventDivine.ogg", true, 0},      {"assets/sound/themeBattle.ogg", true, 5828},
    {"assets/sound/themeTown.ogg", true, 0},        {"assets/sound/themeBoss.ogg", true, 0},
    {"assets/sound/silence.ogg", true, 0},          {"assets/sound/SFX/stepSoft.ogg", false, 0},
    {"assets/sound/SFX/stepHard.ogg", false, 0},    {"assets/sound/SFX/text.ogg", false, 0},
    {"assets/sound/SFX/swing.ogg", false, 0},       {"assets/sound/SFX/thud.ogg", false, 0},
    {"assets/sound/SFX/punch.ogg", false, 0},       {"assets/sound/SFX/flame.ogg", false, 0},
    {"assets/sound/SFX/flameStrike.ogg", false, 0}, {"assets/sound/SFX/portal.ogg", false, 0},
};

const char* const SCENES_BEFORE[] = {"coastalVillage_start",
                                     "coastalVillage_main",
                                     "coastalVillage_townhall",
                                     "coastalVillage_cave",
                                     "coastalVillage_house1",
                                     "coastalVillage_house2",
                                     "town_main",
                                     "town_market",
                                     "town_house1",
                                     "town_house1_2",
                                     "town_house2",
                                     "town_house3",
                                     "town_house3_1",
                                     "town_house3_2",
                                     "town_house4",
                                     "town_house5",
                                     "boss_main"};

const std::vector<std::string> DATA_BEFORE = {"assets/animation.xml", "assets/party.xml", "assets/items.xml",
                                              "assets/abilities.xml", "assets/classes.xml"};

GameManifest read(const std::string& relative)
{
    GameManifest manifest;
    manifest.readFile(std::string(ZOLT_SOURCE_DIR) + "/" + relative);
    return manifest;
}

std::string baseName(const std::string& file)
{
    const std::string name = file.substr(file.find_last_of('/') + 1);
    return name.substr(0, name.find_last_of('.'));
}

void expectTodaysTables(const GameManifest& manifest)
{
    SCOPED_TRACE(manifest.fileName());
    EXPECT_TRUE(manifest.problems().empty()) << ::testing::PrintToString(manifest.problems());
    EXPECT_EQ(manifest.title(), "OpenGL") << "the window keeps its title";
    EXPECT_EQ(manifest.width(), 640);
    EXPECT_EQ(manifest.height(), 480);
    EXPECT_EQ(manifest.avatarId(), "fenwy");
    EXPECT_EQ(manifest.startScript(), "demoStartup.lua");
    EXPECT_TRUE(manifest.startScene().empty()) << "the start-up script enters the first scene";
    EXPECT_EQ(manifest.sessionFile(), "assets/session.xml");

    std::vector<std::pair<std::string, std::string>> textures = TEXTURES_BEFORE;
    for (const char* portrait : PORTRAITS_BEFORE)
        textures.emplace_back(portrait, std::string("assets/sprites/") + portrait + ".png");
    // The GUI theme's picture may follow, loaded when first drawn so that
    // the texture units of the others stay where they were.
    const size_t extra = manifest.theme().panel.empty() ? 0 : 1;
    ASSERT_EQ(manifest.textures().size(), textures.size() + extra);
    if (extra)
    {
        EXPECT_EQ(manifest.textures().back().name, manifest.theme().panel);
        EXPECT_TRUE(manifest.textures().back().lazy) << "the theme's picture takes no start-up texture unit";
    }
    for (size_t i = 0; i < textures.size(); ++i)
    {
        EXPECT_EQ(manifest.textures()[i].name, textures[i].first) << "texture unit " << i;
        EXPECT_EQ(manifest.textures()[i].file, textures[i].second) << "texture unit " << i;
        EXPECT_FALSE(manifest.textures()[i].lazy) << textures[i].first << " loads at start, as before";
    }

    ASSERT_EQ(manifest.sounds().size(), SOUNDS_BEFORE.size());
    for (size_t i = 0; i < SOUNDS_BEFORE.size(); ++i)
    {
        const ManifestSound& sound = manifest.sounds()[i];
        EXPECT_EQ(sound.file, SOUNDS_BEFORE[i].file) << "sound " << i;
        EXPECT_EQ(sound.music, SOUNDS_BEFORE[i].music) << sound.file;
        EXPECT_EQ(sound.loopTo, SOUNDS_BEFORE[i].loopTo) << sound.file;
        EXPECT_EQ(sound.name, baseName(sound.file)) << "scripts ask for sounds by their file's name";
    }
    // The sounds the engine played by name before it played them by cue.
    EXPECT_EQ(manifest.soundForCue("step"), "stepHard");
    EXPECT_EQ(manifest.soundForCue("dialogText"), "text");
    EXPECT_EQ(manifest.soundForCue("hit"), "flame");
    EXPECT_EQ(manifest.soundForCue("battle"), "themeBattle");
    EXPECT_EQ(manifest.textureForCue("fire"), "fireball");
    EXPECT_EQ(manifest.scriptsFor("sceneChange"), (std::vector<std::string>{"portal.lua", "portalWithMusic.lua"}));
    EXPECT_EQ(manifest.scriptsFor("wander"), (std::vector<std::string>{"wanderRegion.lua"}));

    std::vector<std::string> data;
    for (const ManifestEntry& entry : manifest.dataFiles())
        data.push_back(entry.file);
    EXPECT_EQ(data, DATA_BEFORE);

    ASSERT_EQ(manifest.sceneFiles().size(), 1u);
    tinyxml2::XMLDocument scenes;
    ASSERT_EQ(scenes.LoadFile((std::string(ZOLT_SOURCE_DIR) + "/" + manifest.sceneFiles()[0].file).c_str()),
              tinyxml2::XML_SUCCESS);
    std::vector<std::string> ids;
    for (const tinyxml2::XMLElement* scene = scenes.FirstChildElement("scene"); scene;
         scene = scene->NextSiblingElement("scene"))
        ids.push_back(scene->Attribute("id"));
    EXPECT_EQ(ids, std::vector<std::string>(std::begin(SCENES_BEFORE), std::end(SCENES_BEFORE)));
}
}

TEST(DemoManifest, TheDemosManifestHoldsTheTablesTheEngineUsedToCompileIn)
{
    const GameManifest demo = read(GameManifest::FILE_NAME);
    expectTodaysTables(demo);
    EXPECT_EQ(demo.name(), "The False Lights") << "the title screen names the game";
}

TEST(DemoManifest, TheDefaultManifestHoldsTheSameTablesForOldGameFolders)
{
    expectTodaysTables(read(GameManifest::DEFAULT_FILE));
}

TEST(DemoManifest, TheDemosLogStreamsKeepTheirNamesAndVisibility)
{
    const GameManifest manifest = read(GameManifest::FILE_NAME);
    EXPECT_EQ(manifest.id(), "zolt-demo");
    EXPECT_TRUE(manifest.keepsSharedSaves()) << "the demo keeps its players' saves where they always were";
    std::vector<std::string> shown;
    std::vector<std::string> hidden;
    for (const ManifestLogStream& log : manifest.logStreams())
        (log.shown ? shown : hidden).push_back(log.stream);
    EXPECT_EQ(shown, (std::vector<std::string>{"vosk", "tibbet", "brune"}));
    EXPECT_EQ(hidden, (std::vector<std::string>{"oskel"}));
}
