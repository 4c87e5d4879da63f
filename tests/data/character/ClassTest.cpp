#include "CharacterTestSupport.h"

#include <memory>

#include "data/Character.h"
#include "data/Class.h"
#include "data/ResourceManager.h"

using core::Character;
using core::Class;
using namespace charactertest;

namespace
{
Class* classNamed(const std::string& name)
{
    Class* result = core::ResourceManager::getClass(name);
    EXPECT_NE(result, nullptr) << name;
    return result;
}

std::unique_ptr<Class> parseClass(const char* xml)
{
    tinyxml2::XMLDocument doc;
    EXPECT_EQ(doc.Parse(xml), tinyxml2::XML_SUCCESS);
    return std::unique_ptr<Class>(Class::fromXML(doc.RootElement()));
}
}

TEST_F(WorldTest, LevelUpRaisesMaximaAndGrants)
{
    Class* warrior = classNamed("warrior");
    ASSERT_NE(warrior, nullptr);
    EXPECT_EQ(warrior->getName(), "warrior");
    EXPECT_EQ(warrior->getPrerequisiteDescription(), "Anyone may fight");

    Character c("c", false);
    c.addHP(false, 7);
    EXPECT_TRUE(warrior->levelUp(&c));
    EXPECT_EQ(c.getHP(true), 5);
    EXPECT_EQ(c.getHP(false), 7);
    EXPECT_EQ(c.getStr(), 2);
    EXPECT_EQ(c.getClassLevel("warrior"), 1);
    EXPECT_EQ(c.getClass("warrior"), warrior);
    EXPECT_EQ(c.getAbility("slash"), core::ResourceManager::getAbility("slash"));
    const std::string oskel = logs().oskel.str();
    for (const char* line : {"class level: 0", "updated stats", "got abilities", " got an ability", "added ability"})
    {
        EXPECT_TRUE(contains(oskel, line)) << line;
    }
    EXPECT_LT(oskel.find("updated stats"), oskel.find("got abilities"));

    EXPECT_TRUE(warrior->levelUp(&c));
    EXPECT_EQ(c.getFatigue(true), 3);
    EXPECT_EQ(c.getFatigue(false), 0);
    EXPECT_EQ(c.getAttack(), 1);
    EXPECT_EQ(c.getAllAbilities(), (std::vector<std::string>{"cleave", "slash"}));
}

TEST_F(WorldTest, LevelTenIsTheLast)
{
    Class* warrior = classNamed("warrior");
    ASSERT_NE(warrior, nullptr);
    Character c("c", false);
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_TRUE(warrior->levelUp(&c)) << "level " << i + 1;
    }
    EXPECT_EQ(c.getClassLevel("warrior"), 10);
    EXPECT_EQ(c.getHP(true), 5 + 4 + 7);
    // Level 10 grants the effect "fire".
    ASSERT_EQ(c.getEffects().size(), 1u);
    EXPECT_EQ(c.getEffects()[0]->getName(), "fire");

    const std::string before = c.printStats();
    logs().clear();
    EXPECT_FALSE(warrior->levelUp(&c));
    EXPECT_EQ(c.getClassLevel("warrior"), 10);
    EXPECT_EQ(c.printStats(), before);
    EXPECT_EQ(c.getEffects().size(), 1u);
    EXPECT_TRUE(contains(logs().oskel.str(), "class level: 10"));
    EXPECT_FALSE(contains(logs().oskel.str(), "updated stats"));
    EXPECT_FALSE(warrior->levelUp(nullptr));
}

TEST_F(WorldTest, PrerequisiteMustBeComplete)
{
    Class* warrior = classNamed("warrior");
    Class* mage = classNamed("mage");
    ASSERT_TRUE(warrior && mage);
    Character c("c", false);
    EXPECT_TRUE(warrior->canTakeClass(&c));
    EXPECT_TRUE(warrior->canTakeClass(nullptr));
    EXPECT_FALSE(mage->canTakeClass(&c));
    for (int i = 0; i < 9; ++i)
    {
        warrior->levelUp(&c);
    }
    EXPECT_FALSE(mage->canTakeClass(&c));
    warrior->levelUp(&c);
    EXPECT_TRUE(mage->canTakeClass(&c));
    EXPECT_FALSE(mage->canTakeClass(nullptr));
}

TEST_F(WorldTest, GrantsSplitOnlyOnTheExactWordEffect)
{
    Class* mage = classNamed("mage");
    ASSERT_NE(mage, nullptr);
    ASSERT_NE(mage->getAbilitiesAt(1), nullptr);
    EXPECT_EQ(*mage->getAbilitiesAt(1), (Class::NameList{"Zap", "heal", "noSuchAbility"}));
    EXPECT_EQ(*mage->getEffectsAt(1), (Class::NameList{"glow"}));

    Character c("c", false);
    EXPECT_TRUE(mage->levelUp(&c));
    EXPECT_EQ(c.getInt(), 3);
    EXPECT_EQ(c.getAllAbilities(), (std::vector<std::string>{"Zap", "heal"}));
    EXPECT_TRUE(contains(logs().resourceManager.str(), "no ability named noSuchAbility found."));
    ASSERT_EQ(c.getEffects().size(), 1u);
    EXPECT_EQ(c.getEffects()[0]->getName(), "glow");
    EXPECT_EQ(c.getClassLevel("mage"), 1);
    // The file lists only level 1: the next level-up counts but grants nothing.
    logs().clear();
    EXPECT_TRUE(mage->levelUp(&c));
    EXPECT_EQ(c.getClassLevel("mage"), 2);
    EXPECT_EQ(c.getInt(), 3);
    EXPECT_TRUE(contains(logs().error.str(), "class mage lists no level 2; nothing granted"));
}

TEST_F(WorldTest, MalformedLevelsAreLeftOut)
{
    std::unique_ptr<Class> gappy =
        parseClass("<class name='gappy' prerequisiteClass='none' prerequisiteDescription='holes'>"
                   "<level level='0' str='100'><grant type='ability' name='Zap'/></level>"
                   "<level str='100'/>"
                   "<level level='11' str='100'/>"
                   "<level level='1' str='1'/>"
                   "<level level='1' str='50'><grant type='ability' name='Zap'/></level>"
                   "<level level='3' str='3' HP='2'><grant type='ability' name='heal'/>"
                   "<grant type='effect'/></level>"
                   "</class>");
    ASSERT_NE(gappy, nullptr);
    const std::string errors = logs().error.str();
    EXPECT_TRUE(contains(errors, "level 0 of class gappy is outside 1 to 10"));
    EXPECT_EQ(occurrences(errors, "level 0 of class gappy"), 2);
    EXPECT_TRUE(contains(errors, "level 11 of class gappy is outside 1 to 10"));
    EXPECT_TRUE(contains(errors, "level 1 of class gappy is listed twice"));
    EXPECT_TRUE(contains(errors, "a grant of level 3 of class gappy has no name"));
    EXPECT_TRUE(gappy->hasLevel(1));
    EXPECT_FALSE(gappy->hasLevel(2));
    EXPECT_TRUE(gappy->hasLevel(3));
    EXPECT_FALSE(gappy->hasLevel(0));
    EXPECT_FALSE(gappy->hasLevel(11));
    EXPECT_EQ(gappy->getAbilitiesAt(11), nullptr);
    EXPECT_TRUE(gappy->getEffectsAt(3)->empty());

    Character c("c", false);
    EXPECT_TRUE(gappy->levelUp(&c));
    EXPECT_EQ(c.getStr(), 1);
    EXPECT_TRUE(c.getAllAbilities().empty());
    logs().clear();
    EXPECT_TRUE(gappy->levelUp(&c));
    EXPECT_EQ(c.getStr(), 1);
    EXPECT_TRUE(contains(logs().error.str(), "class gappy lists no level 2"));
    EXPECT_TRUE(gappy->levelUp(&c));
    EXPECT_EQ(c.getStr(), 4);
    EXPECT_EQ(c.getHP(true), 2);
    EXPECT_EQ(c.getAllAbilities(), (std::vector<std::string>{"heal"}));
    EXPECT_EQ(c.getClassLevel("gappy"), 3);
}

TEST_F(WorldTest, ClassFromXmlReadsEveryGain)
{
    std::unique_ptr<Class> full =
        parseClass("<class name='full' prerequisiteClass='none' prerequisiteDescription='d'>"
                   "<anyName level='1' str='1' dex='2' int='3' move='4' HP='5' Fat='6' atk='7' dodge='8'"
                   " damagePhysical='9' damageMagical='10' defense='11' crit='12' glancing='13'"
                   " resistance='14'/></class>");
    ASSERT_NE(full, nullptr);
    Character c("c", false);
    EXPECT_TRUE(full->levelUp(&c));
    EXPECT_EQ(c.getStr(), 1);
    EXPECT_EQ(c.getDex(), 2);
    EXPECT_EQ(c.getInt(), 3);
    EXPECT_EQ(c.getMove(), 4);
    EXPECT_EQ(c.getHP(true), 5);
    EXPECT_EQ(c.getFatigue(true), 6);
    EXPECT_EQ(c.getAttack(), 7);
    EXPECT_EQ(c.getDodge(), 8);
    EXPECT_EQ(c.getDamagePhysical(), 9);
    EXPECT_EQ(c.getDamageMagical(), 10);
    EXPECT_EQ(c.getDefense(), 11);
    EXPECT_EQ(c.getCritValue(), 12);
    EXPECT_EQ(c.getGlancingValue(), 13);
    EXPECT_EQ(c.getResistance(), 14);
    EXPECT_EQ(c.getHP(false), 0);
    EXPECT_EQ(c.getFatigue(false), 0);

    logs().clear();
    EXPECT_EQ(Class::fromXML(nullptr), nullptr);
    EXPECT_TRUE(contains(logs().error.str(), "Class::fromXML"));
}
