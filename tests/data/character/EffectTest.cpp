#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include "CharacterTestSupport.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "data/Effect.h"
#include "data/ResourceManager.h"
#include "graphics/TGSprite.h"

using core::Ability;
using core::Character;
using core::Effect;
using core::ResourceManager;
using namespace charactertest;

namespace
{
const char* const EFFECTS_FILE = "tests/data/character/data/effects.xml";
const char* const BAD_EFFECTS_FILE = "tests/data/character/data/bad-effects.xml";

class EffectTest : public WorldTest
{
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        static bool loaded = false;
        if (!loaded)
        {
            loaded = true;
            ASSERT_TRUE(ResourceManager::buildFromXMLFile(EFFECTS_FILE));
            ASSERT_TRUE(ResourceManager::buildFromXMLFile(BAD_EFFECTS_FILE));
            _loadErrors() = logs().error.str();
            logs().clear();
        }
    }
    static std::string& _loadErrors()
    {
        static std::string errors;
        return errors;
    }
};

std::unique_ptr<Effect> parse(const std::string& xml, std::vector<std::string>& problems)
{
    tinyxml2::XMLDocument document;
    EXPECT_EQ(document.Parse(xml.c_str()), tinyxml2::XML_SUCCESS) << xml;
    return Effect::fromXML(document.RootElement(), problems);
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += line + "\n";
    return all;
}
}

// One row per way an effect record can be wrong: each is refused with a
// problem naming the effect and what is wrong, and the database read from
// a file of them keeps none and names the file and line of each.
TEST_F(EffectTest, EveryBadEffectRecordIsRefusedWithItsFileLineAndFault)
{
    struct Row
    {
        int line;
        const char* name;
        const char* fault;
    };
    const Row rows[] = {
        {1, "", "needs a name"},
        {2, "noRounds", "needs a duration in rounds"},
        {3, "zeroRounds", "duration 0 is outside 1 to 100"},
        {4, "foreverRounds", "duration 101 is outside 1 to 100"},
        {5, "wordRounds", "duration \"three\" is not a whole number"},
        {6, "negativeDamage", "damage -1 is outside 0 to 10000"},
        {7, "hugeHealing", "healing 99999999999 is outside 0 to 10000"},
        {8, "typo", "unknown attribute atack"},
        {9, "wordStat", "dodge \"lots\" is not a whole number"},
        {10, "frameless", "a frame needs a texture"},
    };
    tinyxml2::XMLDocument document;
    ASSERT_EQ(document.LoadFile(BAD_EFFECTS_FILE), tinyxml2::XML_SUCCESS);
    const tinyxml2::XMLElement* record = document.FirstChildElement("effect");
    for (const Row& row : rows)
    {
        ASSERT_NE(record, nullptr) << "row for line " << row.line;
        std::vector<std::string> problems;
        EXPECT_EQ(Effect::fromXML(record, problems), nullptr) << row.fault;
        EXPECT_TRUE(contains(joined(problems), row.fault)) << joined(problems);
        const std::string where = std::string(BAD_EFFECTS_FILE) + ":" + std::to_string(row.line) + ": ";
        EXPECT_TRUE(contains(_loadErrors(), where)) << where << " in\n" << _loadErrors();
        if (*row.name)
        {
            EXPECT_TRUE(contains(_loadErrors(), where + "effect " + row.name + ": " + row.fault)) << row.name;
            EXPECT_EQ(ResourceManager::getEffect(row.name), nullptr) << row.name;
        }
        record = record->NextSiblingElement("effect");
    }
    EXPECT_EQ(record, nullptr) << "every record of the file has a row";
}

TEST_F(EffectTest, ARecordDefinedTwiceKeepsTheFirstAndSaysSo)
{
    const Effect* rally = ResourceManager::getEffect("rally");
    ASSERT_NE(rally, nullptr);
    EXPECT_EQ(rally->getDuration(), 2);
    EXPECT_TRUE(contains(_loadErrors(), std::string(EFFECTS_FILE) + ":5: effect rally is defined twice"));
}

TEST_F(EffectTest, AGoodRecordKeepsEveryValue)
{
    std::vector<std::string> problems;
    std::unique_ptr<Effect> effect =
        parse("<effect name='glare' description='d' duration='4' damage='2' healing='1' crit='-3' move='2' "
              "texture='t' frameCol='3' frameRow='5' frameSize='16' sound='s'/>",
              problems);
    ASSERT_NE(effect, nullptr) << joined(problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(effect->getName(), "glare");
    EXPECT_EQ(effect->getDescription(), "d");
    EXPECT_EQ(effect->getDuration(), 4);
    EXPECT_EQ(effect->getDamagePerRound(), 2);
    EXPECT_EQ(effect->getHealingPerRound(), 1);
    const std::vector<std::pair<std::string, int>> changes = {{"crit", -3}, {"move", 2}};
    EXPECT_EQ(effect->getStatChanges(), changes);
    EXPECT_EQ(effect->getTexture(), "t");
    EXPECT_EQ(effect->getFrameColumn(), 3);
    EXPECT_EQ(effect->getFrameRow(), 5);
    EXPECT_EQ(effect->getFrameSize(), 16);
    EXPECT_EQ(effect->getSound(), "s");
    EXPECT_TRUE(effect->isDefined());
}

// One row per kind of effect: what it does on being placed, at each tick
// of its holder's turns, and when it runs out.
TEST_F(EffectTest, EachKindActsEachRoundAndEndsAfterItsDuration)
{
    struct Row
    {
        const char* effect;
        int rounds;
        int hpEachRound; // change of current HP per tick
        int attackWhileHeld;
        int defenseWhileHeld;
        int moveWhileHeld;
        const char* roundLine;
    };
    const Row rows[] = {
        {"rally", 2, 0, 15, 0, 1, nullptr},
        {"scorch", 3, -4, 0, 0, 0, "Hero takes 4 damage from scorch."},
        {"mend", 2, 5, 0, 0, 0, "Hero recovers 5 HP from mend."},
        {"hex", 1, 0, 0, -3, 0, nullptr},
    };
    for (const Row& row : rows)
    {
        Character hero("hero", false);
        hero.addHP(true, 100);
        hero.addHP(false, 50);
        hero.addAttack(10);
        hero.addDefense(4);
        hero.addMove(3);
        hero.addEffect(row.effect);
        ASSERT_NE(hero.heldEffect(row.effect), nullptr) << row.effect;
        EXPECT_EQ(hero.getAttack(), 10 + row.attackWhileHeld) << row.effect;
        EXPECT_EQ(hero.getDefense(), 4 + row.defenseWhileHeld) << row.effect;
        EXPECT_EQ(hero.getMove(), 3 + row.moveWhileHeld) << row.effect;
        for (int round = 1; round <= row.rounds; ++round)
        {
            const std::vector<std::string> lines = hero.tickEffects();
            EXPECT_EQ(hero.getHP(false), 50 + round * row.hpEachRound) << row.effect << " round " << round;
            if (row.roundLine)
            {
                EXPECT_TRUE(contains(joined(lines), row.roundLine)) << joined(lines);
            }
            const bool last = round == row.rounds;
            EXPECT_EQ(hero.heldEffect(row.effect) == nullptr, last) << row.effect << " round " << round;
            EXPECT_EQ(contains(joined(lines), std::string(row.effect) + " wears off Hero."), last) << joined(lines);
        }
        EXPECT_EQ(hero.getAttack(), 10) << row.effect << " gives back what it added";
        EXPECT_EQ(hero.getDefense(), 4) << row.effect;
        EXPECT_EQ(hero.getMove(), 3) << row.effect;
        EXPECT_TRUE(hero.getEffects().empty()) << row.effect;
        EXPECT_TRUE(hero.tickEffects().empty()) << "nothing left to tick";
    }
}

TEST_F(EffectTest, HealingStopsAtTheMaximum)
{
    Character hero("hero", false);
    hero.addHP(true, 20);
    hero.addHP(false, 18);
    hero.addEffect("mend");
    const std::vector<std::string> lines = hero.tickEffects();
    EXPECT_EQ(hero.getHP(false), 20);
    EXPECT_TRUE(contains(joined(lines), "recovers 2 HP")) << joined(lines);
}

TEST_F(EffectTest, PlacingAHeldEffectAgainStartsItsRoundsAfreshWithoutAddingTwice)
{
    Character hero("hero", false);
    hero.addEffect("rally");
    hero.tickEffects();
    ASSERT_EQ(hero.heldEffect("rally")->getRemaining(), 1);
    hero.addEffect("rally");
    EXPECT_EQ(hero.getEffects().size(), 1u);
    EXPECT_EQ(hero.getAttack(), 15);
    EXPECT_EQ(hero.heldEffect("rally")->getRemaining(), 2);
}

TEST_F(EffectTest, EndingOrClearingEffectsGivesBackWhatTheyAdded)
{
    Character hero("hero", false);
    hero.addEffect("rally");
    hero.addEffect("hex");
    hero.addEffect("chill");
    EXPECT_EQ(hero.getAttack(), 15);
    EXPECT_EQ(hero.getResistance(), -5);
    hero.endTimedEffects();
    EXPECT_EQ(hero.getAttack(), 0);
    EXPECT_EQ(hero.getResistance(), 0);
    ASSERT_EQ(hero.getEffects().size(), 1u) << "a mark without rounds stays";
    EXPECT_EQ(hero.getEffects()[0]->getName(), "chill");
    hero.addEffect("rally");
    hero.clearEffects();
    EXPECT_EQ(hero.getAttack(), 0);
    EXPECT_TRUE(hero.getEffects().empty());
}

TEST_F(EffectTest, EachHolderGetsItsOwnCopyAndIcon)
{
    Character one("one", false);
    Character two("two", false);
    one.addEffect("mend");
    two.addEffect("mend");
    const Effect* first = one.heldEffect("mend");
    const Effect* second = two.heldEffect("mend");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, ResourceManager::getEffect("mend")) << "the record itself is shared, not held";
    EXPECT_NE(first->getUniqueId(), second->getUniqueId());
    ASSERT_NE(first->getSprite(), nullptr);
    EXPECT_EQ(first->getSprite()->GetTextureName(), "tileset");
    EXPECT_EQ(first->getSprite()->GetTexCoords(), glm::vec2(4.0f, 4.0f));
    EXPECT_EQ(first->getSprite()->GetSize(), glm::vec2(16.0f, 16.0f));
    EXPECT_EQ(ResourceManager::getEffect("mend")->getSprite(), nullptr) << "records draw nothing";
    one.addEffect("hex");
    EXPECT_EQ(one.heldEffect("hex")->getSprite(), nullptr) << "an effect without a texture shows nothing";
}

// Abilities place effects by the names the effects file gives them.
TEST_F(EffectTest, AbilitiesPlaceDefinedEffectsOnTargetsAndUsers)
{
    Character* user = new Character("user", false);
    Character* target = new Character("target", false);
    target->addHP(true, 30);
    target->addHP(false, 30);
    Ability brand("brand", "", 5, 1, 0, 0, 0, 0, 0);
    brand.addTypeTag("autoHit");
    brand.addTypeTag("noDamage");
    brand.addTargetEffect(ResourceManager::getEffect("scorch"));
    brand.addUserMissEffect(ResourceManager::getEffect("rally"));
    const std::string text = brand.resolveAttack({target}, user);
    EXPECT_TRUE(contains(text, "Effect scorch on target")) << text;
    EXPECT_TRUE(contains(text, "Effect rally on self")) << text;
    ASSERT_NE(target->heldEffect("scorch"), nullptr);
    ASSERT_NE(user->heldEffect("rally"), nullptr);
    EXPECT_EQ(user->getAttack(), 15);
    target->tickEffects();
    EXPECT_EQ(target->getHP(false), 26);
    delete user;
    delete target;
}

TEST_F(EffectTest, EffectsAreFoundByTheirExactName)
{
    Effect* scorch = ResourceManager::getEffect("scorch");
    ASSERT_NE(scorch, nullptr);
    EXPECT_EQ(scorch->getName(), "scorch");
    EXPECT_EQ(ResourceManager::getEffect("Scorch"), nullptr);
    EXPECT_EQ(ResourceManager::getEffect(""), nullptr);
    EXPECT_EQ(ResourceManager::getEffect("noSuchEffect"), nullptr);
    EXPECT_TRUE(ResourceManager::buildFromXMLFile(EFFECTS_FILE));
    EXPECT_FALSE(contains(logs().error.str(), "scorch is defined twice")) << "reading a file again is no fault";
}
