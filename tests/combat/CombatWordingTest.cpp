#include "combat/CombatWording.h"

#include <gtest/gtest.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "data/Ability.h"
#include "data/Character.h"

using core::Ability;
using core::Character;
using core::CombatWording;

namespace
{
// A character as a scene file would give it: `xml` is its element.
std::unique_ptr<Character> person(const std::string& id, const char* xml = "<character/>")
{
    std::unique_ptr<Character> character(new Character(id, false));
    tinyxml2::XMLDocument doc;
    EXPECT_EQ(doc.Parse(xml), tinyxml2::XML_SUCCESS) << xml;
    character->absorbXML(doc.RootElement());
    return character;
}

Ability::Strike strikeOn(Character* target, bool hit, bool glancing, bool critical, bool harms, int damage)
{
    Ability::Strike strike;
    strike.target = target;
    strike.hit = hit;
    strike.glancing = glancing;
    strike.critical = critical;
    strike.harms = harms;
    strike.damage = damage;
    return strike;
}
}

TEST(CombatWording, NamesReadAsProperNamesOrCommonNouns)
{
    struct Case
    {
        const char* id;
        const char* xml;
        const char* inSentence;
        const char* atStart;
    };
    const Case cases[] = {
        {"fenwy", "<character/>", "Fenwy", "Fenwy"},
        {"bandit1", "<character name='bandit'/>", "the bandit", "The bandit"},
        {"brune", "<character name='Brune'/>", "Brune", "Brune"},
        {"rat", "<character name='giant rat'/>", "the giant rat", "The giant rat"},
        {"", "<character/>", "someone", "Someone"},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<Character> character = person(c.id, c.xml);
        EXPECT_EQ(CombatWording::refer(character.get()), c.inSentence) << c.xml;
        EXPECT_EQ(CombatWording::refer(character.get(), true), c.atStart) << c.xml;
    }
    EXPECT_EQ(CombatWording::refer(nullptr, true), "Someone");
}

TEST(CombatWording, EveryOutcomeOfABlowReadsAsASentence)
{
    std::unique_ptr<Character> fenwy = person("fenwy");
    std::unique_ptr<Character> bandit = person("bandit1", "<character name='bandit'/>");
    Ability slash("slash", "", 1, 0, 0, 9, 9, 0, 0);
    Ability bless("bless", "", 1, 0, 0, 0, 0, 0, 0);
    struct Case
    {
        const Ability* ability;
        Ability::Strike strike;
        const char* line;
    };
    const Case cases[] = {
        {&slash, strikeOn(bandit.get(), true, false, false, true, 9), "Fenwy hits the bandit for 9."},
        {&slash, strikeOn(bandit.get(), false, false, false, true, 0), "Fenwy misses the bandit."},
        {&slash, strikeOn(bandit.get(), true, true, false, true, 4), "Fenwy grazes the bandit for 4."},
        {&slash, strikeOn(bandit.get(), true, false, true, true, 18), "A critical hit! Fenwy hits the bandit for 18."},
        {&slash, strikeOn(bandit.get(), true, false, false, true, 0), "Fenwy hits the bandit but does no harm."},
        {&bless, strikeOn(fenwy.get(), true, false, false, false, 0), "Bless takes hold of Fenwy."},
        {&bless, strikeOn(bandit.get(), true, false, false, false, 0), "Bless takes hold of the bandit."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CombatWording::strike(fenwy.get(), *c.ability, c.strike), c.line);
}

TEST(CombatWording, DeathsAndWaitsNameTheCharacter)
{
    std::unique_ptr<Character> bandit = person("bandit1", "<character name='bandit'/>");
    std::unique_ptr<Character> oskel = person("oskel");
    EXPECT_EQ(CombatWording::defeated(bandit.get()), "The bandit is defeated.");
    EXPECT_EQ(CombatWording::fallen(oskel.get()), "Oskel has fallen.");
    EXPECT_EQ(CombatWording::waits(bandit.get()), "The bandit waits.");
}

// A real use of an ability: the records it leaves give the sentence, and the
// damage in it is what the target lost.
TEST(CombatWording, AResolvedBlowIsToldWithTheDamageDone)
{
    std::unique_ptr<Character> fenwy = person("fenwy", "<character attack='100'/>");
    std::unique_ptr<Character> bandit =
        person("bandit1", "<character name='bandit' maxHP='30' curHP='30' defense='2'/>");
    std::unique_ptr<Character> brune = person("brune", "<character name='Brune' maxHP='30' curHP='30'/>");
    Ability heavyBlow("heavyBlow", "", 1, 1, 0, 11, 11, 0, 0);
    heavyBlow.addTypeTag("autoHit");
    std::vector<Ability::Strike> strikes;
    const std::list<Character*> targets{bandit.get(), brune.get()};
    const std::string rolls = heavyBlow.resolveAttack(targets, fenwy.get(), &strikes);
    EXPECT_NE(rolls.find("automatic hit"), std::string::npos) << "the log keeps the rolls";
    ASSERT_EQ(strikes.size(), 2u);
    EXPECT_EQ(30 - bandit->getHP(false), 9);
    EXPECT_EQ(CombatWording::strikes(fenwy.get(), heavyBlow, strikes),
              "Fenwy hits the bandit for " + std::to_string(30 - bandit->getHP(false)) + ".\n" +
                  "Fenwy hits Brune for " + std::to_string(30 - brune->getHP(false)) + ".\n");
    EXPECT_EQ(CombatWording::uses(fenwy.get(), heavyBlow, {bandit.get()}), "Fenwy uses Heavy blow on the bandit.");
    EXPECT_EQ(CombatWording::uses(fenwy.get(), heavyBlow, targets), "Fenwy uses Heavy blow.");
}
