#include "CharacterTestSupport.h"

#include <list>
#include <memory>

#include "data/Ability.h"
#include "data/Character.h"
#include "data/Effect.h"
#include "data/ResourceManager.h"
#include "graphics/TGSprite.h"

using core::Ability;
using core::Character;
using core::Effect;
using namespace charactertest;

namespace
{
struct Fighter
{
    int attack = 0;
    int dodge = 0;
    int glancing = 0;
    int crit = 0;
    int defense = 0;
    int resistance = 0;
};

std::unique_ptr<Character> makeFighter(const std::string& id, const Fighter& f)
{
    std::unique_ptr<Character> c(new Character(id, false));
    c->addAttack(f.attack);
    c->addDodge(f.dodge);
    c->addGlancingValue(f.glancing);
    c->addCritValue(f.crit);
    c->addDefense(f.defense);
    c->addResistance(f.resistance);
    c->addHP(true, 100);
    c->addHP(false, 100);
    return c;
}

Ability fixedDamage(int damage, int resist = 0, int cost = 0)
{
    return Ability("test", "", 1, 1, 0, damage, damage, resist, cost);
}

// The generator value that makes `rand() % 100 + 1` come out as `roll`.
int rollOf(int roll)
{
    return roll - 1;
}

std::unique_ptr<tinyxml2::XMLDocument> parse(const char* xml)
{
    std::unique_ptr<tinyxml2::XMLDocument> doc(new tinyxml2::XMLDocument());
    EXPECT_EQ(doc->Parse(xml), tinyxml2::XML_SUCCESS);
    return doc;
}
}

TEST_F(WorldTest, AbilityFromXml)
{
    Ability* slash = core::ResourceManager::getAbility("slash");
    ASSERT_NE(slash, nullptr);
    EXPECT_EQ(slash->getName(), "slash");
    EXPECT_EQ(slash->getDescription(), "A sweeping cut");
    EXPECT_EQ(slash->getTargetType(), "target");
    EXPECT_EQ(slash->getRange(), 2);
    EXPECT_EQ(slash->getRadius(), 1);
    EXPECT_EQ(slash->getBaseAttack(), 3);
    EXPECT_EQ(slash->getMinDamage(), 4);
    EXPECT_EQ(slash->getMaxDamage(), 7);
    EXPECT_EQ(slash->getResistanceThreshold(), 0);
    EXPECT_EQ(slash->getCost(), 2);
    EXPECT_EQ(slash->getTypeTags(), (core::TypeList{"physical"}));

    // The database holds no effects, so effect names resolve to null entries.
    Ability* zap = core::ResourceManager::getAbility("Zap");
    ASSERT_NE(zap, nullptr);
    EXPECT_EQ(zap->getResistanceThreshold(), 50);
    ASSERT_EQ(zap->getTargetEffects().size(), 1u);
    EXPECT_EQ(zap->getTargetEffects().front(), nullptr);

    auto doc = parse("<ability description='d' targetType='line' maxDamage='x'>"
                     "<typeTag name='magical'/><typeTag name='magical'/><typeTag/>"
                     "<onHit name='a'/><onMiss name='b'/><onMiss name='c'/><junk name='d'/>"
                     "</ability>");
    std::unique_ptr<Ability> built(Ability::buildFromXMLElement(doc->RootElement()));
    ASSERT_NE(built, nullptr);
    EXPECT_EQ(built->getName(), "");
    EXPECT_EQ(built->getTargetType(), "line");
    EXPECT_EQ(built->getMaxDamage(), 0);
    EXPECT_EQ(built->getTypeTags(), (core::TypeList{"magical", "magical"}));
    EXPECT_EQ(built->getUserHitEffects().size(), 1u);
    EXPECT_EQ(built->getUserMissEffects().size(), 2u);
    EXPECT_TRUE(built->getTargetEffects().empty());
    EXPECT_TRUE(contains(logs().ability.str(), "Ability \n"));
    EXPECT_TRUE(contains(logs().error.str(), "typeTag without a name"));

    logs().clear();
    EXPECT_EQ(Ability::buildFromXMLElement(nullptr), nullptr);
    EXPECT_TRUE(contains(logs().error.str(), "Unable to build Ability from NULL XML"));

    logs().clear();
    EXPECT_EQ(Ability::fromXmlFile("tests/data/character/data/noSuchFile.xml"), nullptr);
    EXPECT_EQ(logs().error.str(), "");
    std::unique_ptr<Ability> first(Ability::fromXmlFile("tests/data/character/data/abilities.xml"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getName(), "slash");
    EXPECT_NE(first.get(), slash);
}

TEST_F(WorldTest, DamageRollOnlyWhenTheRangeIsOpen)
{
    Fighter plain;
    auto user = makeFighter("u", plain);
    for (int value : {0, 1, 2, 3, 5})
    {
        auto target = makeFighter("t", plain);
        Ability ranged("r", "", 1, 1, 0, 4, 7, 0, 0);
        useRolls({value, rollOf(50), rollOf(50)});
        ranged.resolveAttack({target.get()}, user.get());
        EXPECT_EQ(100 - target->getHP(false), 4 + value % 3) << value;
        EXPECT_EQ(rollsDrawn(), 3u);
    }
    auto target = makeFighter("t", plain);
    Ability fixed = fixedDamage(4);
    useRolls({rollOf(50), rollOf(50)});
    fixed.resolveAttack({target.get()}, user.get());
    EXPECT_EQ(target->getHP(false), 96);
    EXPECT_EQ(rollsDrawn(), 2u);
}

TEST_F(WorldTest, OutcomeBoundaries)
{
    Fighter attacker;
    attacker.attack = 10;
    attacker.crit = 5;
    Fighter defender;
    defender.dodge = 50;
    defender.glancing = 20;
    auto user = makeFighter("u", attacker);

    struct Case
    {
        int roll;
        const char* outcome;
        int damage;
    };
    const Case cases[] = {{1, "miss ", 0}, {39, "miss ", 0}, {40, "glancing hit ", 4},   {59, "glancing hit ", 4},
                          {60, "hit ", 9}, {95, "hit ", 9},  {96, "critical hit! ", 18}, {100, "critical hit! ", 18}};
    for (const Case& c : cases)
    {
        auto target = makeFighter("t", defender);
        Ability ability = fixedDamage(9);
        useRolls({rollOf(c.roll), rollOf(50)});
        const std::string text = ability.resolveAttack({target.get()}, user.get());
        std::string expected = "Attack roll: " + std::to_string(c.roll) + "\n " + c.outcome;
        if (c.damage > 0)
        {
            expected += "for " + std::to_string(c.damage) + " damage\n";
        }
        EXPECT_EQ(text, expected);
        EXPECT_EQ(100 - target->getHP(false), c.damage) << c.roll;
        EXPECT_EQ(rollsDrawn(), c.damage > 0 ? 2u : 1u) << c.roll;
        // Only a plain hit sounds; misses, glancing and critical hits are silent.
        EXPECT_EQ(occurrences(logs().sound.str(), "Received request to play flame in 0 seconds"),
                  std::string(c.outcome) == "hit " ? 1 : 0)
            << c.roll;
        logs().clear();
    }
}

TEST_F(WorldTest, CriticalValueExtremes)
{
    Fighter defender;
    defender.dodge = 50;
    defender.glancing = 20;
    Fighter never;
    never.attack = 10;
    Fighter always = never;
    always.crit = 100;
    auto cautious = makeFighter("c", never);
    auto lucky = makeFighter("l", always);

    auto target = makeFighter("t", defender);
    Ability ability = fixedDamage(1);
    useRolls({rollOf(100), 0});
    EXPECT_TRUE(contains(ability.resolveAttack({target.get()}, cautious.get()), " hit for 1"));

    for (int roll : {60, 75, 100})
    {
        useRolls({rollOf(roll), 0});
        EXPECT_TRUE(contains(ability.resolveAttack({target.get()}, lucky.get()), "critical hit! ")) << roll;
    }
    useRolls({rollOf(39), 0});
    EXPECT_TRUE(contains(ability.resolveAttack({target.get()}, lucky.get()), "miss "));
    useRolls({rollOf(40), 0});
    EXPECT_TRUE(contains(ability.resolveAttack({target.get()}, lucky.get()), "glancing hit "));
}

TEST_F(WorldTest, GlancingHalvesTowardZeroBeforeDefense)
{
    Fighter defender;
    defender.dodge = 50;
    defender.glancing = 50;
    auto user = makeFighter("u", Fighter());
    auto target = makeFighter("t", defender);

    Ability nine = fixedDamage(9);
    useRolls({rollOf(60), 0});
    EXPECT_TRUE(contains(nine.resolveAttack({target.get()}, user.get()), "for 4 damage\n"));
    EXPECT_EQ(target->getHP(false), 96);

    Ability negative = fixedDamage(-3);
    useRolls({rollOf(60), 0});
    EXPECT_TRUE(contains(negative.resolveAttack({target.get()}, user.get()), "for 0 damage\n"));
    EXPECT_EQ(target->getHP(false), 96);
}

TEST_F(WorldTest, DamageCarriesFromTargetToTarget)
{
    Fighter armoured;
    armoured.defense = 2;
    auto user = makeFighter("u", Fighter());
    auto a = makeFighter("a", armoured);
    auto b = makeFighter("b", armoured);
    auto c = makeFighter("c", armoured);
    Ability burst = fixedDamage(10);
    burst.setTargetType("burst");
    useRolls({rollOf(50)});
    const std::string text = burst.resolveAttack({a.get(), b.get(), c.get()}, user.get());
    EXPECT_EQ(a->getHP(false), 92);
    EXPECT_EQ(b->getHP(false), 94);
    EXPECT_EQ(c->getHP(false), 96);
    EXPECT_EQ(text, "Attack roll: 50\n hit for 8 damage\n"
                    "Attack roll: 50\n hit for 6 damage\n"
                    "Attack roll: 50\n hit for 4 damage\n");
    EXPECT_EQ(rollsDrawn(), 6u);

    // A critical on the first target doubles what the second one starts from.
    Fighter sharp;
    sharp.crit = 10;
    auto striker = makeFighter("s", sharp);
    auto d = makeFighter("d", Fighter());
    auto e = makeFighter("e", Fighter());
    Ability two = fixedDamage(3);
    useRolls({rollOf(95), 0, rollOf(20), 0});
    two.resolveAttack({d.get(), e.get()}, striker.get());
    EXPECT_EQ(d->getHP(false), 94);
    EXPECT_EQ(e->getHP(false), 94);
}

TEST_F(WorldTest, NoDamageStillPlacesEffects)
{
    Effect burn("burn");
    Effect spark("spark");
    Fighter slippery;
    slippery.dodge = 1000;
    auto user = makeFighter("u", Fighter());
    auto a = makeFighter("a", Fighter());
    auto missed = makeFighter("m", slippery);
    auto b = makeFighter("b", Fighter());

    Ability calm = fixedDamage(5);
    calm.addTypeTag("noDamage");
    calm.addTargetEffect(&burn);
    calm.addTargetEffect(nullptr);
    calm.addTargetEffect(&spark);
    useRolls({rollOf(50), rollOf(50), rollOf(50), rollOf(50), rollOf(50)});
    const std::string text = calm.resolveAttack({a.get(), missed.get(), b.get()}, user.get());
    EXPECT_EQ(rollsDrawn(), 5u);
    for (Character* hit : {a.get(), b.get()})
    {
        EXPECT_EQ(hit->getHP(false), 100);
        ASSERT_EQ(hit->getEffects().size(), 2u);
        EXPECT_EQ(hit->getEffects()[0]->getName(), "burn");
        EXPECT_EQ(hit->getEffects()[1]->getName(), "spark");
    }
    EXPECT_TRUE(missed->getEffects().empty());
    EXPECT_FALSE(contains(text, "for"));
    EXPECT_EQ(occurrences(text, "Effect burn on target\nEffect spark on target\n"), 2);
    EXPECT_TRUE(user->getEffects().empty());
}

TEST_F(WorldTest, UserEffectsAndCost)
{
    Effect focus("focus");
    Effect tired("tired");
    Fighter slippery;
    slippery.dodge = 1000;
    auto user = makeFighter("u", Fighter());
    user->addFatigue(true, 10);
    user->addFatigue(false, 3);
    auto a = makeFighter("a", Fighter());
    auto b = makeFighter("b", Fighter());
    auto missed = makeFighter("m", slippery);

    Ability ability = fixedDamage(1, 0, 5);
    ability.addUserHitEffect(&focus);
    ability.addUserMissEffect(nullptr);
    ability.addUserMissEffect(&tired);
    useRolls({rollOf(50)});
    const std::string text = ability.resolveAttack({a.get(), missed.get(), b.get()}, user.get());
    EXPECT_EQ(user->getFatigue(false), -2);
    EXPECT_EQ(user->getFatigue(true), 10);
    ASSERT_EQ(user->getEffects().size(), 3u);
    EXPECT_EQ(user->getEffects()[0]->getName(), "focus");
    EXPECT_EQ(user->getEffects()[1]->getName(), "focus");
    EXPECT_EQ(user->getEffects()[2]->getName(), "tired");
    EXPECT_EQ(occurrences(text, "Effect focus on self\n"), 2);
    EXPECT_EQ(text.substr(text.size() - 21), "Effect tired on self\n");

    // With no targets at all the cost and the miss effects still apply.
    useRolls({});
    const std::string alone = ability.resolveAttack({}, user.get());
    EXPECT_EQ(alone, "Effect tired on self\n");
    EXPECT_EQ(user->getFatigue(false), -7);
    EXPECT_EQ(rollsDrawn(), 0u);

    // Every target hit: the miss effect still follows the hit effect.
    useRolls({rollOf(50)});
    EXPECT_EQ(ability.resolveAttack({a.get()}, user.get()),
              "Attack roll: 50\n hit for 1 damage\nEffect focus on self\nEffect tired on self\n");
}

TEST_F(WorldTest, ResistanceRoll)
{
    Effect slow("slow");
    Fighter stubborn;
    stubborn.resistance = 10;
    auto user = makeFighter("u", Fighter());
    auto target = makeFighter("t", stubborn);
    Ability hex = fixedDamage(0, 50);
    hex.addTargetEffect(&slow);

    useRolls({rollOf(50), rollOf(39)});
    hex.resolveAttack({target.get()}, user.get());
    EXPECT_EQ(target->getEffects().size(), 1u);
    useRolls({rollOf(50), rollOf(40)});
    hex.resolveAttack({target.get()}, user.get());
    EXPECT_EQ(target->getEffects().size(), 1u);
    EXPECT_EQ(rollsDrawn(), 2u);
}

TEST_F(WorldTest, TypeTagsAddDamageAndForceHits)
{
    auto user = makeFighter("u", Fighter());
    user->addDamageMagical(3);
    user->addDamagePhysical(5);
    Fighter slippery;
    slippery.dodge = 1000;
    auto target = makeFighter("t", slippery);

    Ability ability = fixedDamage(1);
    ability.addTypeTag("magical");
    ability.addTypeTag("autoHit");
    ability.addTypeTag("magical");
    ability.addTypeTag("physical");
    ability.addTypeTag("sparkly");
    useRolls({rollOf(7), 0});
    const std::string text = ability.resolveAttack({target.get()}, user.get());
    EXPECT_EQ(text, "Attack roll: 7\n automatic hit for 12 damage\n");
    EXPECT_EQ(occurrences(logs().sound.str(), "Received request to play flame in 0 seconds"), 1);
    EXPECT_EQ(target->getHP(false), 88);
    EXPECT_EQ(rollsDrawn(), 2u);

    const std::string oskel = logs().oskel.str();
    const char* order[] = {"entered resolve attack", "finished initialization tag size: 5",
                           "type tag: magical",      "type tag: sparkly",
                           "checked for type tags",  "finished targets",
                           "finished mess effects",  "removed triggered effects"};
    std::size_t at = 0;
    for (const char* line : order)
    {
        std::size_t found = oskel.find(line, at);
        EXPECT_NE(found, std::string::npos) << line;
        at = found == std::string::npos ? at : found;
    }
}

TEST_F(WorldTest, MissingParticipantsDoNotCrash)
{
    auto user = makeFighter("u", Fighter());
    auto target = makeFighter("t", Fighter());
    Ability ability = fixedDamage(2);
    useRolls({rollOf(50), 0});
    ability.resolveAttack({nullptr, target.get()}, user.get());
    EXPECT_EQ(target->getHP(false), 98);
    EXPECT_EQ(ability.resolveAttack({target.get()}, nullptr), "");
    EXPECT_TRUE(contains(logs().error.str(), "used without a user"));
    EXPECT_EQ(target->getHP(false), 98);
}

TEST_F(WorldTest, EffectIdsCountUp)
{
    Effect blank;
    EXPECT_EQ(blank.getUniqueId(), "");
    EXPECT_EQ(blank.getSprite(), nullptr);
    const int before = Effect::getCount();
    Effect first("poison");
    Effect second("poison");
    Effect fire("fire");
    EXPECT_EQ(first.getUniqueId(), "Effect" + std::to_string(before + 1));
    EXPECT_EQ(second.getUniqueId(), "Effect" + std::to_string(before + 2));
    EXPECT_EQ(first.getName(), "poison");
    EXPECT_EQ(first.getSprite(), nullptr);
    EXPECT_EQ(second.getSprite(), nullptr);
    EXPECT_EQ(first.getDuration(), 0);
    EXPECT_EQ(first.getDescription(), "");
    ASSERT_NE(fire.getSprite(), nullptr);
    EXPECT_EQ(fire.getSprite()->GetIdentifier(), fire.getUniqueId());
    EXPECT_EQ(fire.getSprite()->GetTextureName(), "fireball");
    EXPECT_EQ(fire.getSprite()->GetSize(), glm::vec2(28.0f, 34.0f));
    EXPECT_FLOAT_EQ(fire.getSprite()->GetScale()[0][0], 28.0f);
    EXPECT_FLOAT_EQ(fire.getSprite()->GetScale()[1][1], 34.0f);
    Effect capital("Fire");
    EXPECT_EQ(capital.getSprite(), nullptr);
}
