#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "ToolTestSupport.h"

// docs/scenes.svg, the picture of how the demo's scenes connect, is drawn by
// tools/assets/scene_map.py from the maps' portals and the dialogs' rides.
namespace
{
const std::string PICTURE = ZOLT_SOURCE_DIR "/docs/scenes.svg";
const std::string TOOL = ZOLT_SOURCE_DIR "/tools/assets/scene_map.py";
}

TEST(SceneMap, ThePictureIsDrawnFromTheMapsAsTheyAre)
{
    const std::string fresh = testing::TempDir() + "scenes.svg";
    const tooltest::CommandResult run = tooltest::runCommand("python3 " + TOOL + " " + fresh, true);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(tooltest::readText(fresh), tooltest::readText(PICTURE))
        << "docs/scenes.svg is stale: run python3 tools/assets/scene_map.py";
}

TEST(SceneMap, EverySceneOfTheTableIsInThePictureWithTheLockedWaysAndTheFerry)
{
    const std::string table = tooltest::readText(ZOLT_SOURCE_DIR "/assets/scenes.xml");
    const std::string picture = tooltest::readText(PICTURE);
    const std::regex sceneId("<scene id=\"(\\w+)\"");
    int scenes = 0;
    for (std::sregex_iterator it(table.begin(), table.end(), sceneId), end; it != end; ++it, ++scenes)
        EXPECT_NE(picture.find(">" + (*it)[1].str() + "</text>"), std::string::npos) << (*it)[1].str();
    EXPECT_EQ(scenes, 17);
    EXPECT_NE(picture.find("(1,25) needs oldKey"), std::string::npos) << "the cave gate";
    EXPECT_NE(picture.find("(1,14) needs rope"), std::string::npos) << "the shaft to the lair";
    EXPECT_NE(picture.find("ferry: Captain Hask"), std::string::npos);
}
