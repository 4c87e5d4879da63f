#include <list>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "CharacterTestSupport.h"
#include "combat/CombatSpoils.h"
#include "data/Character.h"
#include "data/Class.h"
#include "data/Experience.h"
#include "data/IdList.h"
#include "data/ResourceManager.h"
#include "save/CharacterSnapshot.h"

using core::Character;
using core::CombatSpoils;
using core::Experience;
using core::ResourceManager;
using namespace charactertest;

namespace
{
class ExperienceTest : public WorldTest
{
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        static bool loaded = false;
        if (!loaded)
        {
            loaded = true;
            ASSERT_TRUE(ResourceManager::buildFromXMLFile("tests/data/character/data/loot-items.xml"));
        }
    }
};

std::unique_ptr<Character> warriorAt(const std::string& id, int level)
{
    std::unique_ptr<Character> character(new Character(id, false));
    for (int i = 0; i < level; ++i)
        ResourceManager::getClass("warrior")->levelUp(character.get());
    return character;
}

// Reads a character record into a character made in the test.
void absorb(Character& character, const std::string& xml)
{
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.Parse(xml.c_str()), tinyxml2::XML_SUCCESS) << xml;
    character.absorbXML(document.RootElement());
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}
}

TEST_F(ExperienceTest, EachLevelCostsMoreThanTheOneBefore)
{
    EXPECT_LT(Experience::neededAfter(1), Experience::neededAfter(2));
    EXPECT_LT(Experience::neededAfter(2), Experience::neededAfter(3));
    EXPECT_EQ(Experience::neededAfter(0), Experience::neededAfter(1)) << "no class counts as level 1";
}

// One row per way experience meets a character's class levels.
TEST_F(ExperienceTest, ExperienceBuysLevelsInTheMainClassAndKeepsTheRest)
{
    const int a = Experience::neededAfter(1);
    const int b = Experience::neededAfter(2);
    const int ninth = Experience::neededAfter(9);
    struct Row
    {
        const char* what;
        int startLevel;
        int points;
        int level;
        int left;
        const char* line;
    };
    const Row rows[] = {
        {"one short of a level", 1, a - 1, 1, a - 1, nullptr},
        {"exactly a level", 1, a, 2, 0, "Hero reaches level 2 as a warrior! Learns cleave."},
        {"two levels and some", 1, a + b + 7, 3, 7, "Hero reaches level 3 as a warrior!"},
        {"the last level", 9, ninth, 10, 0, "Hero reaches level 10 as a warrior!"},
        {"past the last level", 10, 5000, 10, 5000, nullptr},
        {"without a class", 0, 5000, 0, 5000, nullptr},
        {"nothing gained", 1, 0, 1, 0, nullptr},
    };
    for (const Row& row : rows)
    {
        std::unique_ptr<Character> hero = warriorAt("hero", row.startLevel);
        const int maxHP = hero->getHP(true);
        const std::vector<std::string> lines = Experience::gain(*hero, row.points);
        EXPECT_EQ(hero->getLevel(), row.level) << row.what;
        EXPECT_EQ(hero->getExperience(), row.left) << row.what;
        EXPECT_EQ(lines.size(), static_cast<size_t>(row.level - row.startLevel)) << row.what << "\n" << joined(lines);
        if (row.line)
        {
            EXPECT_TRUE(contains(joined(lines), row.line)) << row.what << "\n" << joined(lines);
        }
        EXPECT_EQ(hero->getHP(true) > maxHP, row.level > row.startLevel) << row.what << ": levels raise the maxima";
    }
}

TEST_F(ExperienceTest, TheMainClassIsTheHighest)
{
    std::unique_ptr<Character> hero = warriorAt("hero", 2);
    hero->setClassLevel("mage", 1);
    EXPECT_EQ(hero->getMainClass(), "warrior");
    EXPECT_EQ(hero->getLevel(), 2);
    Experience::gain(*hero, Experience::neededAfter(2));
    EXPECT_EQ(hero->getClassLevel("warrior"), 3);
    EXPECT_EQ(hero->getClassLevel("mage"), 1);
}

// One row per way a character record states (or leaves out) its reward.
TEST_F(ExperienceTest, ADefeatGivesTheRecordsExperienceElseTenALevel)
{
    struct Row
    {
        const char* record;
        int level;
        int reward;
        bool logged;
    };
    const Row rows[] = {
        {"<character experience='70'/>", 0, 70, false},
        {"<character experience='0'/>", 3, 0, false},
        {"<character/>", 3, 30, false},
        {"<character/>", 0, 10, false},
        {"<character experience='-5'/>", 2, 20, true},
        {"<character experience='lots'/>", 0, 10, true},
        {"<character experience='99999999999'/>", 0, 10, true},
    };
    for (const Row& row : rows)
    {
        logs().clear();
        std::unique_ptr<Character> foe = warriorAt("foe", row.level);
        absorb(*foe, row.record);
        EXPECT_EQ(foe->experienceReward(), row.reward) << row.record;
        EXPECT_EQ(contains(logs().error.str(), "\"experience\""), row.logged) << row.record << logs().error.str();
    }
}

TEST_F(ExperienceTest, ACharacterRecordCarriesItsLootAndRefusesUnknownItems)
{
    Character foe("foe", false);
    absorb(foe, "<character><item id='gem'/><item>coin</item><item id='noSuchThing'/><item/></character>");
    EXPECT_EQ(foe.getLoot(), (std::vector<std::string>{"gem", "coin"}));
    const std::string errors = logs().error.str();
    EXPECT_TRUE(contains(errors, "item noSuchThing of character foe is not in the game's items")) << errors;
    EXPECT_TRUE(contains(errors, "an item of character foe names no item")) << errors;
}

TEST_F(ExperienceTest, VictorsStillStandingShareTheExperienceAndTheBagGetsTheLoot)
{
    Character big("big", false);
    absorb(big, "<character experience='70'><item id='gem'/></character>");
    Character small("small", false);
    absorb(small, "<character experience='31'><item id='coin'/></character>");
    std::list<Character*> enemies{&big, &small};
    CombatSpoils spoils;
    spoils.begin(&enemies);
    EXPECT_EQ(spoils.experience(), 101);

    std::unique_ptr<Character> first = warriorAt("first", 1);
    std::unique_ptr<Character> second = warriorAt("second", 1);
    std::unique_ptr<Character> fallen = warriorAt("fallen", 1);
    for (Character* member : {first.get(), second.get()})
        member->addHP(false, 10);
    core::IdList bag;
    bag.add("potion");
    const std::vector<std::string> lines = spoils.award({first.get(), second.get(), fallen.get()}, &bag);

    EXPECT_EQ(first->getLevel() * 1000 + first->getExperience(), 2000 + 51 - Experience::neededAfter(1));
    EXPECT_EQ(second->getLevel() * 1000 + second->getExperience(), 2000 + 50 - Experience::neededAfter(1));
    EXPECT_EQ(fallen->getExperience(), 0) << "the fallen get nothing";
    EXPECT_EQ(bag.getIds(), (std::list<std::string>{"potion", "gem", "coin"}));
    const std::string text = joined(lines);
    EXPECT_TRUE(contains(text, "The party gains 101 experience.")) << text;
    EXPECT_TRUE(contains(text, "First reaches level 2")) << text;
    EXPECT_TRUE(contains(text, "Found: Green Gem, Old Coin.")) << text;

    const std::vector<std::string> again = spoils.award({first.get(), second.get()}, &bag);
    EXPECT_TRUE(again.empty()) << "a fight's spoils are given once: " << joined(again);
    EXPECT_EQ(bag.getIds().size(), 3u);
}

TEST_F(ExperienceTest, NobodyStandingOrNothingToGiveGivesNothing)
{
    Character foe("foe", false);
    std::list<Character*> enemies{&foe, nullptr};
    CombatSpoils spoils;
    spoils.begin(&enemies);
    Character fallen("fallen", false);
    core::IdList bag;
    EXPECT_TRUE(spoils.award({&fallen}, &bag).empty());
    EXPECT_EQ(fallen.getExperience(), 0);
    CombatSpoils none;
    none.begin(nullptr);
    EXPECT_EQ(none.experience(), 0);
    EXPECT_TRUE(none.award({&fallen}, nullptr).empty());
}

TEST_F(ExperienceTest, SavesKeepExperienceAndOldSavesStartAtNone)
{
    std::unique_ptr<Character> hero = warriorAt("hero", 1);
    hero->setExperience(42);
    tinyxml2::XMLDocument document;
    tinyxml2::XMLElement* party = document.NewElement("party");
    document.InsertEndChild(party);
    core::CharacterSnapshot::capture(*hero).toXml(party);

    tinyxml2::XMLElement* member = party->FirstChildElement("member");
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(member->IntAttribute("experience", -1), 42);
    std::string error;
    std::vector<std::string> warnings;
    std::vector<std::string> skipped;
    core::CharacterSnapshot saved;
    ASSERT_TRUE(core::CharacterSnapshot::fromXml(member, saved, error, warnings)) << error;
    hero->setExperience(7);
    saved.applyTo(*hero, skipped);
    EXPECT_EQ(hero->getExperience(), 42);

    member->DeleteAttribute("experience");
    core::CharacterSnapshot old;
    ASSERT_TRUE(core::CharacterSnapshot::fromXml(member, old, error, warnings)) << error;
    old.applyTo(*hero, skipped);
    EXPECT_EQ(hero->getExperience(), 0);
    EXPECT_EQ(hero->getLevel(), 1) << "the rest of the member is as saved";
}

TEST_F(ExperienceTest, SavesLeaveOutTimedEffectsAndWhatTheyAdd)
{
    ASSERT_TRUE(ResourceManager::getEffect("rally") ||
                ResourceManager::buildFromXMLFile("tests/data/character/data/effects.xml"));
    std::unique_ptr<Character> hero = warriorAt("hero", 1);
    const int attack = hero->getAttack();
    hero->addEffect("rally");
    hero->addEffect("chill");
    ASSERT_EQ(hero->getAttack(), attack + 15);
    core::CharacterSnapshot saved = core::CharacterSnapshot::capture(*hero);
    EXPECT_EQ(saved.getEffects(), (std::vector<std::string>{"chill"}));
    std::vector<std::string> skipped;
    saved.applyTo(*hero, skipped);
    EXPECT_EQ(hero->getAttack(), attack) << "loading gives the statistics without the effect";
    EXPECT_EQ(hero->heldEffect("rally"), nullptr);
    ASSERT_NE(hero->heldEffect("chill"), nullptr);
}
