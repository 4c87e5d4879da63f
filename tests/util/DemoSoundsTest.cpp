#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "combat/CombatEnding.h"
#include "combat/CombatManager.h"
#include "combat/CombatSpoils.h"
#include "data/Effect.h"
#include "util/GameManifest.h"

// Every sound the demo registers has a use: either the engine plays it for
// an event (its cue), or a file of the game names it. The table says which
// cue or file each one serves, so a sound added without a use, or a use
// taken away, shows here.
namespace
{
struct Use
{
    const char* sound;
    // The engine event that plays it, or null.
    const char* cue;
    // A file of the game that plays it by name, or null.
    const char* file;
};

const Use USES[] = {
    {"testSong", nullptr, "assets/dialogs/aldric.xml"},
    {"testSoundShort", core::CombatSpoils::LOOT_CUE, nullptr},
    {"testSoundLong", core::CombatSpoils::LEVEL_UP_CUE, nullptr},
    {"testMusicShort", nullptr, "assets/dialogs/innkeeper.xml"},
    {"tempOverworld", nullptr, "assets/dialogs/captain.xml"},
    {"tempEvent", nullptr, "assets/dialogs/sailor.xml"},
    {"tempBattle", nullptr, "assets/dialogs/bandits.xml"},
    {"tempCave", nullptr, "assets/maps/region1/boss/main.tmx"},
    {"tempRunSound", core::CombatManager::FLEE_CUE, nullptr},
    {"eventForeboding", nullptr, "assets/maps/region1/coastalVillage/cave.tmx"},
    {"eventSilly", nullptr, "assets/dialogs/bananas.xml"},
    {"eventHappy", nullptr, "assets/maps/region1/boss/main.xml"},
    {"eventDivine", nullptr, "assets/dialogs/halden.xml"},
    {"themeBattle", "battle", nullptr},
    {"themeTown", nullptr, "assets/scripts/demoStartup.lua"},
    {"themeBoss", nullptr, "assets/dialogs/vosk.xml"},
    {"silence", core::CombatEnding::DEFEAT_CUE, nullptr},
    {"stepHard", "step", nullptr},
    {"stepSoft", "stepSoft", "assets/maps/region1/coastalVillage/start.tmx"},
    {"text", "dialogText", nullptr},
    {"swing", "miss", nullptr},
    {"thud", "physicalHit", "assets/scripts/lockedPortal.lua"},
    {"punch", "unarmedHit", nullptr},
    {"flame", "hit", "assets/effects.xml"},
    {"flameStrike", "fireHit", nullptr},
    {"portal", nullptr, "assets/scripts/portal.lua"},
};

std::string contents(const std::string& relative)
{
    std::ifstream in(std::string(ZOLT_SOURCE_DIR) + "/" + relative);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
}

TEST(DemoSounds, EverySoundTheDemoRegistersServesACueOrIsNamedByAFile)
{
    GameManifest manifest;
    ASSERT_TRUE(manifest.readFile(std::string(ZOLT_SOURCE_DIR) + "/game.xml"));
    std::set<std::string> listed;
    for (const Use& use : USES)
    {
        listed.insert(use.sound);
        EXPECT_TRUE(use.cue || use.file) << use.sound << " needs a use";
        if (use.cue)
        {
            EXPECT_EQ(manifest.soundForCue(use.cue), use.sound) << "cue " << use.cue;
        }
        if (use.file)
        {
            const std::string text = contents(use.file);
            EXPECT_FALSE(text.empty()) << use.file;
            EXPECT_NE(text.find(std::string("\"") + use.sound + "\""), std::string::npos)
                << use.file << " names " << use.sound;
        }
    }
    for (const ManifestSound& sound : manifest.sounds())
        EXPECT_EQ(listed.count(sound.name), 1u) << sound.name << " is registered without a use";
    EXPECT_EQ(listed.size(), manifest.sounds().size()) << "every row is a registered sound";
}

TEST(DemoSounds, PhysicalBlowsNoLongerSoundLikeFlame)
{
    GameManifest manifest;
    ASSERT_TRUE(manifest.readFile(std::string(ZOLT_SOURCE_DIR) + "/game.xml"));
    for (const char* cue : {"physicalHit", "unarmedHit", "miss"})
        EXPECT_NE(manifest.soundForCue(cue), manifest.soundForCue("hit")) << cue;
}
