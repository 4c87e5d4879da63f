#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "combat/CombatSides.h"
#include "combat/CombatTargeting.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "data/ResourceManager.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

using core::Character;
using core::TilePos;

namespace
{
const char* const ABILITIES = "assets/abilities.xml";

enum class Aim
{
    FOE,     // the enemy next to the user
    ALLY,    // the member next to the user
    USER,    // the user itself
    AREA_FOE // every character on the squares aimed at: here the enemy alone
};

enum class Harm
{
    DAMAGE,
    NONE
};

// What each of the demo's abilities says it does. Effects named in a row's
// last column land once the effects file is read by the game; until then an
// ability lists no effect and the effect check below has nothing to find.
struct Row
{
    const char* name;
    Aim aim;
    Harm harm;
    const char* effectOnceEffectsLand;
};

const Row ROWS[] = {
    {"slash", Aim::FOE, Harm::DAMAGE, ""},
    {"heavyBlow", Aim::FOE, Harm::DAMAGE, ""},
    {"cleave", Aim::AREA_FOE, Harm::DAMAGE, ""},
    {"taunt", Aim::FOE, Harm::NONE, "taunted (effects pending)"},
    {"firebolt", Aim::FOE, Harm::DAMAGE, "fire (effects pending)"},
    {"fireball", Aim::AREA_FOE, Harm::DAMAGE, "fire (effects pending)"},
    {"bless", Aim::ALLY, Harm::NONE, "bless (effects pending)"},
    {"focus", Aim::USER, Harm::NONE, "focus (effects pending)"},
    {"stab", Aim::FOE, Harm::DAMAGE, ""},
    {"bite", Aim::FOE, Harm::DAMAGE, ""},
    {"club", Aim::FOE, Harm::DAMAGE, ""},
    {"throwKnife", Aim::FOE, Harm::DAMAGE, ""},
    {"shadowFlame", Aim::FOE, Harm::DAMAGE, ""},
    {"staffStrike", Aim::FOE, Harm::DAMAGE, ""},
};

std::vector<std::string> abilityNamesInFile()
{
    tinyxml2::XMLDocument document;
    std::vector<std::string> names;
    if (document.LoadFile(ABILITIES) != tinyxml2::XML_SUCCESS)
        return names;
    for (auto* e = document.FirstChildElement("ability"); e; e = e->NextSiblingElement("ability"))
        names.push_back(e->Attribute("name") ? e->Attribute("name") : "");
    return names;
}

// A user who never misses at (2, 2), a foe at (2, 3) and an ally at (3, 2)
// on an open 6 x 6 field; a second foe far off at (5, 5) must stay untouched.
class Field
{
public:
    Field() : map(new LevelMap(MapLayers(), new core::PassabilityMap(6, 6), nullptr))
    {
        user = person("user", {2, 2}, 40);
        ally = person("ally", {3, 2}, 40);
        foe = person("foe", {2, 3}, 40);
        farFoe = person("farFoe", {5, 5}, 40);
        user->addAttack(1000);
        user->addDamageMagical(2);
        user->addDamagePhysical(2);
        user->addFatigue(false, 50);
        enemies = {foe, farFoe};
        sides.begin(std::list<Character*>{user, ally}, &enemies);
    }

    Character* person(const std::string& id, TilePos at, int hp)
    {
        people.emplace_back(new Character(id, false));
        people.back()->setPosition(at.row, at.col);
        people.back()->addHP(true, hp);
        people.back()->addHP(false, hp);
        // Nobody shrugs an effect off, so that every effect an ability
        // places shows in its text.
        people.back()->addResistance(-1000);
        return people.back().get();
    }

    // Aims as the player would: the user is taken in at once for "self",
    // otherwise the square of whom the row aims at is clicked.
    void aim(const core::Ability& ability, Aim how)
    {
        targeting.begin(ability, *user);
        const TilePos square = CombatSidesSquare(how == Aim::ALLY ? ally : foe);
        if (how != Aim::USER)
            targeting.click(ability, *user, square);
    }

    static TilePos CombatSidesSquare(const Character* c) { return core::CombatSides::squareOf(c); }

    std::unique_ptr<LevelMap> map;
    std::vector<std::unique_ptr<Character>> people;
    std::list<Character*> enemies;
    core::CombatSides sides;
    core::CombatTargeting targeting{sides, [this] { return map.get(); }};
    Character* user = nullptr;
    Character* ally = nullptr;
    Character* foe = nullptr;
    Character* farFoe = nullptr;
};
}

TEST(DemoAbilities, EveryRowNamesAnAbilityOfTheGameAndEveryAbilityHasARow)
{
    const std::vector<std::string> names = abilityNamesInFile();
    ASSERT_FALSE(names.empty()) << ABILITIES << " could not be read";
    std::set<std::string> rows;
    for (const Row& row : ROWS)
        rows.insert(row.name);
    for (const std::string& name : names)
        EXPECT_TRUE(rows.count(name)) << name << " has no row saying what it does";
    for (const std::string& name : rows)
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << name << " is not in " << ABILITIES;
}

TEST(DemoAbilities, EachAbilityTakesInWhomItSaysAndDoesWhatItsDescriptionSays)
{
    core::ResourceManager::init();
    ASSERT_TRUE(core::ResourceManager::buildFromXMLFile(std::string("/") + ABILITIES));
    for (const Row& row : ROWS)
    {
        core::Ability* ability = core::ResourceManager::getAbility(row.name);
        ASSERT_NE(ability, nullptr) << row.name;
        Field field;
        field.aim(*ability, row.aim);

        Character* expected = row.aim == Aim::ALLY ? field.ally : row.aim == Aim::USER ? field.user : field.foe;
        const std::list<Character*> targets = field.targeting.targets();
        const auto taken = [&targets](const Character* c)
        { return std::find(targets.begin(), targets.end(), c) != targets.end(); };
        if (row.aim == Aim::AREA_FOE)
        {
            // An area takes in whoever stands in it, the user's side too.
            EXPECT_TRUE(taken(field.foe)) << row.name << " (" << ability->getTargetType() << ")";
            EXPECT_FALSE(taken(field.farFoe)) << row.name << " reaches no farther than its area";
        }
        else
        {
            ASSERT_EQ(targets, std::list<Character*>{expected}) << row.name << " (" << ability->getTargetType() << ")";
        }

        std::map<Character*, int> hpBefore;
        for (Character* c : {field.user, field.ally, field.foe, field.farFoe})
            hpBefore[c] = c->getHP(false);
        const int fatigueBefore = field.user->getFatigue(false);
        const std::string text = ability->resolveAttack(targets, field.user);

        EXPECT_EQ(field.user->getFatigue(false), fatigueBefore - ability->getCost()) << row.name << " costs its cost";
        const int lost = hpBefore[expected] - expected->getHP(false);
        if (row.harm == Harm::DAMAGE)
        {
            // Never missed, never glancing, never critical, no defense: the
            // roll (its top excluded) plus the user's bonus of 2.
            EXPECT_GE(lost, ability->getMinDamage() + 2) << row.name << ": " << text;
            EXPECT_LE(lost, std::max(ability->getMinDamage(), ability->getMaxDamage() - 1) + 2)
                << row.name << ": " << text;
        }
        else
        {
            EXPECT_EQ(lost, 0) << row.name << " does no harm: " << text;
        }
        for (Character* c : {field.user, field.ally, field.foe, field.farFoe})
        {
            if (c != expected && !(row.harm == Harm::DAMAGE && taken(c)))
            {
                EXPECT_EQ(c->getHP(false), hpBefore[c]) << row.name << " left " << c->getId() << " alone";
            }
        }
        for (const core::Effect* effect : ability->getTargetEffects())
        {
            if (effect)
            {
                EXPECT_NE(text.find("Effect " + effect->getName() + " on target"), std::string::npos)
                    << row.name << " places " << effect->getName() << " (" << row.effectOnceEffectsLand << ")";
            }
        }
    }
}
