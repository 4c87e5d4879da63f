#include <gtest/gtest.h>

#include <memory>

#include <tinyxml2.h>

#include "LogCapture.h"
#include "data/IdList.h"
#include "data/Item.h"

using core::IdList;
using core::Item;

TEST(IdList, KeepsOrderAndDuplicatesAndRemovesOneCopyAtATime)
{
    IdList list;
    EXPECT_FALSE(list.contains("potion"));
    EXPECT_FALSE(list.remove("potion"));

    list.add("potion");
    list.add("rope");
    list.add("potion");
    EXPECT_EQ((std::list<std::string>{"potion", "rope", "potion"}), list.getIds());
    EXPECT_TRUE(list.contains("rope"));
    EXPECT_FALSE(list.contains("Potion")) << "ids are case-sensitive";

    EXPECT_TRUE(list.remove("potion"));
    EXPECT_EQ((std::list<std::string>{"rope", "potion"}), list.getIds()) << "only the first copy goes";
    EXPECT_TRUE(list.contains("potion"));
    EXPECT_TRUE(list.remove("potion"));
    EXPECT_FALSE(list.contains("potion"));
    EXPECT_FALSE(list.remove("potion"));

    list.add("");
    EXPECT_TRUE(list.contains(""));
    list.clear();
    EXPECT_TRUE(list.getIds().empty());
}

TEST(Item, BuildsFromCompleteRecordAndRefusesIncompleteOnes)
{
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(tinyxml2::XML_SUCCESS, doc.Parse("<item id='p' name='Healing Potion' script='items/potion.lua'/>"
                                               "<item id='q' name='No Script'/>"
                                               "<item name='No Id' script='x.lua'/>"));
    tinyxml2::XMLElement* complete = doc.FirstChildElement();

    std::unique_ptr<Item> item = Item::buildFromXMLElement(complete);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ("p", item->getId());
    EXPECT_EQ("Healing Potion", item->getName());
    EXPECT_EQ("items/potion.lua", item->scriptFilename());
    item.reset();

    datatest::clearLog();
    EXPECT_EQ(nullptr, Item::buildFromXMLElement(complete->NextSiblingElement()));
    EXPECT_TRUE(datatest::logHas("missing its script attribute"));
    EXPECT_EQ(nullptr, Item::buildFromXMLElement(complete->NextSiblingElement()->NextSiblingElement()));
    EXPECT_TRUE(datatest::logHas("missing its id attribute"));

    datatest::clearLog();
    EXPECT_EQ(nullptr, Item::buildFromXMLElement(nullptr));
    EXPECT_TRUE(datatest::logHas("Item::buildFromXMLElement - Unable to build item from NULL XML Element"));
}
