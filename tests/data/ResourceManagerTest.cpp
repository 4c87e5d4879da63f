#include <gtest/gtest.h>

#include <sstream>

#include <tinyxml2.h>

#include "LogCapture.h"
#include "animation/TAAnimation.h"
#include "animation/TAAnimationManager.h"
#include "data/Ability.h"
#include "data/Class.h"
#include "data/Item.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"

using core::ResourceManager;

namespace
{
const std::string DATA = "tests/data/data/";

size_t itemCount()
{
    return ResourceManager::getItems().size();
}
}

TEST(ResourceManager, ReadsEveryTopLevelRecordAndReportsUnknownOnes)
{
    datatest::clearLog();
    size_t before = itemCount();
    EXPECT_TRUE(ResourceManager::buildFromXMLFile(DATA + "itemsAndFoo.xml"));
    EXPECT_EQ(before + 3, itemCount());
    EXPECT_TRUE(datatest::logHas("Unknown resource type foo"));
    ASSERT_NE(nullptr, ResourceManager::getItem("Cheese"));
    EXPECT_EQ("c1", ResourceManager::getItem("Cheese")->getId());
    EXPECT_EQ(nullptr, ResourceManager::getItem("cheese")) << "names are case-sensitive";
    EXPECT_EQ(nullptr, ResourceManager::getItem("c1")) << "items are found by name, not id";

    std::ostringstream dump;
    ResourceManager::dumpItems(dump);
    EXPECT_NE(std::string::npos, dump.str().find("Apple\nBread\nCheese\n"));
}

TEST(ResourceManager, FirstRecordWinsForDuplicateNames)
{
    ASSERT_TRUE(ResourceManager::buildFromXMLFile(DATA + "duplicateItems.xml"));
    ASSERT_NE(nullptr, ResourceManager::getItem("Twin"));
    EXPECT_EQ("first", ResourceManager::getItem("Twin")->getId());
}

TEST(ResourceManager, MissingOrMalformedFilesFailAndChangeNothing)
{
    size_t before = itemCount();
    datatest::clearLog();
    EXPECT_FALSE(ResourceManager::buildFromXMLFile(DATA + "doesNotExist.xml"));
    EXPECT_TRUE(datatest::logHas("ResourceManager::buildFromXML - Failed to load or parse file ./" + DATA +
                                 "doesNotExist.xml"));

    datatest::clearLog();
    EXPECT_FALSE(ResourceManager::buildFromXMLFile(DATA + "malformed.xml"));
    EXPECT_TRUE(datatest::logHas("Failed to load or parse file ./" + DATA + "malformed.xml"));
    EXPECT_EQ(nullptr, ResourceManager::getItem("Unclosed"));
    EXPECT_EQ(before, itemCount());

    // A leading slash is kept, giving ".//path", which still opens the file.
    EXPECT_TRUE(ResourceManager::buildFromXMLFile("/" + DATA + "duplicateItems.xml"));
}

TEST(ResourceManager, SkipsCharactersScenesAndBrokenItemsButReadsOn)
{
    size_t before = itemCount();
    datatest::clearLog();
    EXPECT_TRUE(ResourceManager::buildFromXMLFile(DATA + "mixedRecords.xml"));
    EXPECT_TRUE(datatest::logHas("Don't read in characters directly to the resource manager"));
    EXPECT_FALSE(datatest::logHas("Unknown resource type scene")) << "scenes are not built here";
    EXPECT_EQ("x.tmx", core::levelNameMap["test_someScene"]) << "a scene record names its file in the table";
    EXPECT_TRUE(datatest::logHas("of ./" + DATA + "mixedRecords.xml")) << "the skipped item names its file";
    EXPECT_TRUE(datatest::logHas("ResourceManager::buildFromXML - Skipped an item record on line 3 of ./" + DATA +
                                 "mixedRecords.xml"))
        << "and the line it stands on";
    EXPECT_EQ(nullptr, ResourceManager::getItem("Broken"));
    EXPECT_NE(nullptr, ResourceManager::getItem("AfterBroken"));
    EXPECT_EQ(before + 1, itemCount());
    for (core::Item* item : ResourceManager::getItems())
        EXPECT_NE(nullptr, item);
}

TEST(ResourceManager, AnimationFramesAreRowThenColumn)
{
    datatest::clearLog();
    EXPECT_EQ(nullptr, ResourceManager::buildAnimation(nullptr));
    ASSERT_TRUE(ResourceManager::buildFromXMLFile(DATA + "animations.xml"));
    EXPECT_TRUE(datatest::logHas("Building animation dataTestWalk"));

    auto* manager = tamsyAnimation::AnimationManager::getInstance();
    tamsyAnimation::Animation* walk = manager->getAnimation("dataTestWalk");
    ASSERT_NE(nullptr, walk);
    ASSERT_EQ(3, walk->getNumFrames());
    EXPECT_EQ(glm::vec2(1, 3), walk->getTexCoords(0));
    EXPECT_EQ(glm::vec2(2, 0), walk->getTexCoords(1)) << "a missing col reads as 0";
    EXPECT_EQ(glm::vec2(5, 0), walk->getTexCoords(2)) << "a malformed col reads as 0";

    tamsyAnimation::Animation* empty = manager->getAnimation("dataTestEmpty");
    ASSERT_NE(nullptr, empty);
    EXPECT_EQ(0, empty->getNumFrames());
}

TEST(ResourceManager, AbilitiesAndClassesAreFoundByExactName)
{
    datatest::clearLog();
    ASSERT_TRUE(ResourceManager::buildFromXMLFile(DATA + "combat.xml"));
    EXPECT_TRUE(datatest::logHas("Loaded ability dataTestPoke"));
    EXPECT_TRUE(datatest::logHas("loaded classDataTestClass"));

    ASSERT_NE(nullptr, ResourceManager::getAbility("dataTestPoke"));
    EXPECT_EQ("dataTestPoke", ResourceManager::getAbility("dataTestPoke")->getName());
    EXPECT_EQ(nullptr, ResourceManager::getAbility("DataTestPoke"));
    ASSERT_NE(nullptr, ResourceManager::getClass("DataTestClass"));
    EXPECT_EQ(nullptr, ResourceManager::getClass("dataTestPoke"));
    // Nothing fills the effect list, so every effect name misses.
    EXPECT_EQ(nullptr, ResourceManager::getEffect("Effect1"));
    EXPECT_EQ(nullptr, ResourceManager::getEffect(""));
}

TEST(ResourceManager, SceneTableHoldsTheSeventeenScenes)
{
    datatest::initScripting();
    ResourceManager::init();
    size_t gameRows = 0;
    for (auto& row : core::levelNameMap)
        gameRows += row.first.compare(0, 5, "test_") != 0;
    EXPECT_EQ(17u, gameRows);
    EXPECT_EQ("assets/maps/region1/coastalVillage/start.xml", core::levelNameMap["coastalVillage_start"]);
    EXPECT_EQ("assets/maps/region1/town/house3_2.xml", core::levelNameMap["town_house3_2"]);
    EXPECT_EQ("assets/maps/region1/boss/main.xml", core::levelNameMap["boss_main"]);
}

TEST(ResourceManager, GetSceneBuildsAFreshSceneForKnownIds)
{
    datatest::initScripting();
    core::levelNameMap["test_tiny"] = DATA + "tinyScene.xml";
    std::unique_ptr<core::Scene> first = ResourceManager::getScene("test_tiny");
    std::unique_ptr<core::Scene> second = ResourceManager::getScene("test_tiny");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    EXPECT_EQ("test_tiny", first->getId());
    ASSERT_EQ(2u, first->getEntities().size());
    ASSERT_NE(nullptr, first->getEntity("dtOne"));
    EXPECT_EQ(glm::vec2(1, 2), first->getEntity("dtOne")->getPosition());
    EXPECT_EQ(glm::vec2(2, 0), first->getEntity("dtTwo")->getPosition());
}

TEST(ResourceManager, GetSceneLogsAndReturnsNullForUnknownOrBrokenScenes)
{
    datatest::initScripting();
    datatest::clearLog();
    size_t rows = core::levelNameMap.size();
    EXPECT_EQ(nullptr, ResourceManager::getScene("nowhere"));
    EXPECT_TRUE(datatest::logHas("ResourceManager::buildFromXML - Failed to get scene nowhere does ./ exist?"));
    EXPECT_EQ(rows, core::levelNameMap.size()) << "a miss adds no row to the table";

    core::levelNameMap["test_missingFile"] = DATA + "noSuchScene.xml";
    core::levelNameMap["test_broken"] = DATA + "brokenScene.xml";
    core::levelNameMap["test_empty"] = DATA + "emptyScene.xml";
    core::levelNameMap["test_nomap"] = DATA + "sceneWithoutMap.xml";
    datatest::clearLog();
    EXPECT_EQ(nullptr, ResourceManager::getScene("test_missingFile"));
    EXPECT_TRUE(datatest::logHas("Failed to get scene test_missingFile does ./" + DATA + "noSuchScene.xml exist?"));
    EXPECT_EQ(nullptr, ResourceManager::getScene("test_broken"));
    EXPECT_TRUE(datatest::logHas("./" + DATA + "brokenScene.xml"));
    EXPECT_EQ(nullptr, ResourceManager::getScene("test_empty"));
    EXPECT_TRUE(datatest::logHas("./" + DATA + "emptyScene.xml"));
    EXPECT_EQ(nullptr, ResourceManager::getScene("test_nomap"));
    EXPECT_TRUE(datatest::logHas("Scene test_nomap from ./" + DATA + "sceneWithoutMap.xml could not be built"));
}
