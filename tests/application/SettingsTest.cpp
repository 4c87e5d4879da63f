#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "input/InputContext.h"
#include "input/KeyBindings.h"
#include "application/Settings.h"
#include "support/Files.h"
#include "support/LogCapture.h"

using application::KeyBindings;
using application::Settings;

namespace
{
std::string settingsFile(const std::string& sound, const std::string& window, const std::string& keys)
{
    return "<settings>" + sound + window + "<keys>" + keys + "</keys></settings>";
}
}

TEST(Settings, WhatIsSavedIsReadBackInANewRun)
{
    testsupport::ScratchFolder folder("zolt-settings");
    const std::string path = folder.path() + "/deeper/zolt/settings.xml";
    Settings chosen;
    chosen.musicVolume = 30;
    chosen.effectsVolume = 0;
    chosen.windowScale = 3;
    chosen.fullScreen = true;
    ASSERT_TRUE(chosen.keys.bind("walk_up", application::KEY_UP));
    ASSERT_TRUE(chosen.save(path)) << "the folder is made as needed";

    Settings read;
    EXPECT_TRUE(read.load(path));
    EXPECT_EQ(read.musicVolume, 30);
    EXPECT_EQ(read.effectsVolume, 0);
    EXPECT_EQ(read.windowScale, 3);
    EXPECT_TRUE(read.fullScreen);
    EXPECT_EQ(read.keys.keyFor("walk_up"), application::KEY_UP);
    EXPECT_EQ(read.toXml(), chosen.toXml());
    struct stat info;
    EXPECT_NE(::stat((path + ".new").c_str(), &info), 0) << "no temporary file is left behind";
}

TEST(Settings, AMissingFileIsTheFirstRunAndNoFault)
{
    testsupport::ErrorCapture errors;
    Settings settings;
    EXPECT_TRUE(settings.load("/nonexistent/zolt/settings.xml"));
    EXPECT_EQ(settings.windowScale, 1);
    EXPECT_EQ(errors.lines(), 0) << errors.text();
}

TEST(Settings, EveryFaultIsReportedWithTheFileAndTheRestIsKept)
{
    struct Case
    {
        const char* name;
        std::string text;
        const char* fault;
        int music;
        int scale;
    };
    const std::string goodSound = "<sound music=\"40\" effects=\"50\"/>";
    const std::string goodWindow = "<window scale=\"2\" fullscreen=\"false\"/>";
    const std::vector<Case> cases = {
        {"not XML", "<settings><sound", "not well-formed XML", 80, 1},
        {"empty file", "", "not well-formed XML", 80, 1},
        {"another root", "<options/>", "root element is not <settings>", 80, 1},
        {"scale too big", settingsFile(goodSound, "<window scale=\"9\"/>", ""), "scale=\"9\"", 40, 1},
        {"scale zero", settingsFile(goodSound, "<window scale=\"0\"/>", ""), "scale=\"0\"", 40, 1},
        {"scale not a number", settingsFile(goodSound, "<window scale=\"2x\"/>", ""), "scale=\"2x\"", 40, 1},
        {"volume negative", settingsFile("<sound music=\"-5\"/>", goodWindow, ""), "music=\"-5\"", 80, 2},
        {"volume over 100", settingsFile("<sound music=\"101\"/>", goodWindow, ""), "music=\"101\"", 80, 2},
        {"huge volume", settingsFile("<sound music=\"99999999999999999999\"/>", goodWindow, ""), "music=", 80, 2},
        {"full screen yes", settingsFile(goodSound, "<window scale=\"2\" fullscreen=\"yes\"/>", ""),
         "fullscreen=\"yes\"", 40, 2},
        {"unknown action", settingsFile(goodSound, goodWindow, "<key action=\"fly\" key=\"F\"/>"), "\"fly\"", 40, 2},
        {"unknown key", settingsFile(goodSound, goodWindow, "<key action=\"walk_up\" key=\"Banana\"/>"), "\"Banana\"",
         40, 2},
        {"key without action", settingsFile(goodSound, goodWindow, "<key key=\"W\"/>"), "expected <key", 40, 2},
        {"another element", settingsFile(goodSound, goodWindow, "<button/>"), "expected <key", 40, 2},
    };
    testsupport::ScratchFolder folder("zolt-settings");
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string path = folder.path() + "/settings.xml";
        testsupport::writeText(path, c.text);
        testsupport::ErrorCapture errors;
        Settings settings;
        EXPECT_FALSE(settings.load(path));
        EXPECT_TRUE(errors.contains(path)) << errors.text();
        EXPECT_TRUE(errors.contains(c.fault)) << errors.text();
        EXPECT_EQ(settings.musicVolume, c.music);
        EXPECT_EQ(settings.windowScale, c.scale);
        EXPECT_EQ(settings.keys.keyFor("walk_up"), application::KEY_W) << "bad key lines leave the default";
    }
}

TEST(Settings, AFileThatCannotBeWrittenLeavesTheOldOne)
{
    testsupport::ScratchFolder folder("zolt-settings");
    const std::string path = folder.path() + "/settings.xml";
    Settings old;
    old.windowScale = 2;
    ASSERT_TRUE(old.save(path));
    // A folder where the temporary file would go makes the write fail.
    ASSERT_EQ(::mkdir((path + ".new").c_str(), 0755), 0);
    testsupport::ErrorCapture errors;
    Settings changed;
    changed.windowScale = 4;
    EXPECT_FALSE(changed.save(path));
    EXPECT_TRUE(errors.contains(path)) << errors.text();
    Settings read;
    EXPECT_TRUE(read.load(path));
    EXPECT_EQ(read.windowScale, 2);
}

TEST(KeyBindings, ARebindingMovesTheActionAndFreesTheOldKey)
{
    KeyBindings keys;
    EXPECT_EQ(keys.translate(application::KEY_W), application::KEY_W) << "defaults pass unchanged";
    ASSERT_TRUE(keys.bind("walk_up", application::KEY_I));
    EXPECT_EQ(keys.translate(application::KEY_I), application::KEY_W) << "the new key does what W did";
    EXPECT_EQ(keys.translate(application::KEY_W), -1) << "W no longer walks";
    EXPECT_EQ(keys.translate(application::KEY_Q), application::KEY_Q) << "unbound keys pass";

    // Taking another action's key swaps the two, so neither is left keyless.
    ASSERT_TRUE(keys.bind("interact", application::KEY_I));
    EXPECT_EQ(keys.keyFor("interact"), application::KEY_I);
    EXPECT_EQ(keys.keyFor("walk_up"), application::KEY_Z);
    EXPECT_EQ(keys.translate(application::KEY_Z), application::KEY_W);
    EXPECT_EQ(keys.translate(application::KEY_I), application::KEY_Z);

    EXPECT_FALSE(keys.bind("fly", application::KEY_Q));
    EXPECT_FALSE(keys.bind("walk_up", 9999));
    keys.resetToDefaults();
    EXPECT_EQ(keys.keyFor("walk_up"), application::KEY_W);
}

TEST(KeyBindings, EveryKeyNameReadsBackAsItsKey)
{
    for (int key = 0; key < application::NUM_KEYS; ++key)
    {
        const std::string name = KeyBindings::keyName(key);
        if (!name.empty())
        {
            EXPECT_EQ(KeyBindings::keyCode(name), key) << name;
        }
    }
    for (const char* bad : {"", "F0", "F13", "F1x", "a", "Esc", "ZZ"})
        EXPECT_EQ(KeyBindings::keyCode(bad), -1) << bad;
    for (const KeyBindings::Action& action : KeyBindings::actions())
        EXPECT_FALSE(KeyBindings::keyName(action.defaultKey).empty()) << action.id << " has a key the file can name";
}
