#include "CharacterTestSupport.h"

#include <memory>

#include <lua.hpp>

#include "data/Ability.h"
#include "data/Character.h"
#include "data/Class.h"
#include "script/LuaInterface.h"
#include "data/ResourceManager.h"
#include "script/ScriptInstance.h"
#include "graphics/TGSprite.h"

using core::Character;
using namespace charactertest;

namespace
{
const char* const CHARACTERS_FILE = "tests/data/character/data/characters.xml";

// The character element of the test file with the given id ("" for the one
// without attributes).
class CharacterXmlTest : public WorldTest
{
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        ASSERT_EQ(document.LoadFile(CHARACTERS_FILE), tinyxml2::XML_SUCCESS);
    }

    tinyxml2::XMLElement* element(const std::string& id)
    {
        for (tinyxml2::XMLElement* e = document.FirstChildElement("character"); e;
             e = e->NextSiblingElement("character"))
        {
            const char* attribute = e->Attribute("id");
            if (id == (attribute ? attribute : ""))
            {
                return e;
            }
        }
        ADD_FAILURE() << "no character " << id << " in " << CHARACTERS_FILE;
        return nullptr;
    }

    tinyxml2::XMLDocument document;
};

void expectAllStats(Character& c, int value)
{
    EXPECT_EQ(c.getStr(), value);
    EXPECT_EQ(c.getDex(), value);
    EXPECT_EQ(c.getInt(), value);
    EXPECT_EQ(c.getMove(), value);
    EXPECT_EQ(c.getHP(true), value);
    EXPECT_EQ(c.getHP(false), value);
    EXPECT_EQ(c.getFatigue(true), value);
    EXPECT_EQ(c.getFatigue(false), value);
    EXPECT_EQ(c.getAttack(), value);
    EXPECT_EQ(c.getDodge(), value);
    EXPECT_EQ(c.getDamagePhysical(), value);
    EXPECT_EQ(c.getDamageMagical(), value);
    EXPECT_EQ(c.getDefense(), value);
    EXPECT_EQ(c.getCritValue(), value);
    EXPECT_EQ(c.getGlancingValue(), value);
    EXPECT_EQ(c.getResistance(), value);
}

// Whatever the Lua global named `id` holds as its engine object.
void* luaObjectOf(const std::string& id)
{
    lua_State* ls = core::LuaInterface::getState();
    const int top = lua_gettop(ls);
    void* object = nullptr;
    lua_getglobal(ls, id.c_str());
    if (lua_istable(ls, -1))
    {
        lua_getfield(ls, -1, "core_");
        // The userdata is a handle: it holds where the engine object is.
        if (void* handle = lua_touserdata(ls, -1))
            object = *static_cast<void**>(handle);
    }
    lua_settop(ls, top);
    return object;
}
}

TEST_F(WorldTest, RandomCharacterTakesNamesAndStatsFromTheRolls)
{
    // Four letters of id, eight more for the name, then the sixteen stats.
    useRolls({12, 21, 0, 29, 0, 0, 0, 0, 0, 0, 0, 99, 7, 8, 0, 5, 29, 30, 0, 59, 1, 2, 3, 4, 5, 6, 7, 8});
    Character c;
    EXPECT_EQ(c.getId(), "Taeo");
    EXPECT_EQ(c.getName(), "Taeoeeeeeeez");
    EXPECT_EQ(c.getType(), "character");
    EXPECT_EQ(rollsDrawn(), 28u);
    EXPECT_EQ(c.getStr(), 10);
    EXPECT_EQ(c.getDex(), 3);
    EXPECT_EQ(c.getInt(), 3);
    EXPECT_EQ(c.getMove(), 8);
    EXPECT_EQ(c.getHP(true), 49);
    EXPECT_EQ(c.getHP(false), 20);
    EXPECT_EQ(c.getFatigue(true), 20);
    EXPECT_EQ(c.getFatigue(false), 49);
    EXPECT_EQ(c.getAttack(), 21);
    EXPECT_EQ(c.getResistance(), 28);
}

TEST_F(WorldTest, NamedCharactersAreZeroOrRolledWithinRange)
{
    Character plain("bob", false);
    EXPECT_EQ(plain.getId(), "bob");
    EXPECT_EQ(plain.getName(), "bob");
    EXPECT_EQ(plain.getType(), "character");
    EXPECT_EQ(plain.getParty(), nullptr);
    EXPECT_EQ(rollsDrawn(), 0u);
    expectAllStats(plain, 0);

    setRandSource(nullptr);
    for (unsigned seed = 1; seed < 50; ++seed)
    {
        std::srand(seed);
        Character rolled("roll", true);
        for (int v : {rolled.getStr(), rolled.getDex(), rolled.getInt(), rolled.getMove()})
        {
            EXPECT_GE(v, 3);
            EXPECT_LE(v, 10);
        }
        for (int v :
             {rolled.getHP(true), rolled.getHP(false), rolled.getAttack(), rolled.getDefense(), rolled.getResistance()})
        {
            EXPECT_GE(v, 20);
            EXPECT_LE(v, 49);
        }
    }
}

TEST_F(WorldTest, AddersNeverClamp)
{
    Character c("c", false);
    c.addHP(false, 20);
    c.addHP(false, -100);
    EXPECT_EQ(c.getHP(false), -80);
    EXPECT_EQ(c.getHP(true), 0);
    c.addHP(true, 10);
    c.addHP(false, 200);
    EXPECT_EQ(c.getHP(false), 120);
    EXPECT_EQ(c.getHP(true), 10);
    c.addFatigue(false, -7);
    c.addFatigue(true, 3);
    EXPECT_EQ(c.getFatigue(false), -7);
    EXPECT_EQ(c.getFatigue(true), 3);
    c.addStr(-2);
    c.addDex(1);
    c.addInt(2);
    c.addMove(3);
    c.addAttack(4);
    c.addDodge(5);
    c.addDamagePhysical(6);
    c.addDamageMagical(7);
    c.addDefense(8);
    c.addCritValue(9);
    c.addGlancingValue(10);
    c.addResistance(-11);
    EXPECT_EQ(c.getStr(), -2);
    EXPECT_EQ(c.getDex(), 1);
    EXPECT_EQ(c.getInt(), 2);
    EXPECT_EQ(c.getMove(), 3);
    EXPECT_EQ(c.getAttack(), 4);
    EXPECT_EQ(c.getDodge(), 5);
    EXPECT_EQ(c.getDamagePhysical(), 6);
    EXPECT_EQ(c.getDamageMagical(), 7);
    EXPECT_EQ(c.getDefense(), 8);
    EXPECT_EQ(c.getCritValue(), 9);
    EXPECT_EQ(c.getGlancingValue(), 10);
    EXPECT_EQ(c.getResistance(), -11);
}

TEST_F(WorldTest, StatsListingPrintAndXml)
{
    Character c("Ann", false);
    c.addStr(1);
    c.addDex(2);
    c.addInt(3);
    c.addMove(4);
    c.addHP(true, 5);
    c.addHP(false, 6);
    c.addFatigue(true, 7);
    c.addFatigue(false, 8);
    c.addAttack(9);
    c.addDodge(10);
    c.addDamagePhysical(11);
    c.addDamageMagical(12);
    c.addDefense(13);
    c.addCritValue(14);
    c.addGlancingValue(15);
    c.addResistance(16);

    std::unique_ptr<core::StatList> stats(c.getStats());
    const std::vector<std::pair<std::string, int>> expected = {{"Strength", 1},
                                                               {"Dexterity", 2},
                                                               {"Intelligence", 3},
                                                               {"Move", 4},
                                                               {"HP", 5},
                                                               {"Fatigue", 7},
                                                               {"Attack", 9},
                                                               {"Dodge", 10},
                                                               {"Damage Physical", 11},
                                                               {"Damage Magical", 12},
                                                               {"Defense", 13},
                                                               {"Critical Value", 14},
                                                               {"Glancing Value", 15},
                                                               {"Resistance", 16}};
    ASSERT_EQ(stats->size(), expected.size());
    std::size_t i = 0;
    for (const auto& row : *stats)
    {
        EXPECT_EQ(row.first, expected[i].first);
        EXPECT_EQ(row.second, expected[i].second);
        ++i;
    }

    EXPECT_EQ(c.printStats(), "_name: Ann\n Int: 3\n Str: 1\n Dex: 2\n Move: 4\n maxHP: : 5\n current HP: 6\n"
                              " max Fatigue: 7\n current Fatigue: 8\n attack: 9\n dodge: 10\n"
                              " physical damage: 11\n magic damage: 12\n defense: 13\n crit: 14\n"
                              " glancing blow: 15\n resistance: 16\n");

    std::unique_ptr<tinyxml2::XMLDocument> xml(c.toXml());
    tinyxml2::XMLElement* root = xml->RootElement();
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->Name(), "root");
    EXPECT_EQ(root->NextSiblingElement(), nullptr);
    EXPECT_EQ(root->FirstChildElement(), nullptr);
    const char* names[] = {"_name",         "str",     "dex",    "int",      "move",      "maxHP",
                           "curHP",         "maxFat",  "curFat", "attack",   "dodge",     "damagePhysical",
                           "damageMagical", "defense", "crit",   "glancing", "resistance"};
    int index = 0;
    for (const tinyxml2::XMLAttribute* a = root->FirstAttribute(); a; a = a->Next(), ++index)
    {
        ASSERT_LT(index, 17);
        EXPECT_STREQ(a->Name(), names[index]);
        if (index > 0)
        {
            EXPECT_EQ(a->IntValue(), index);
        }
    }
    EXPECT_EQ(index, 17);
    EXPECT_STREQ(root->Attribute("_name"), "Ann");
}

TEST_F(WorldTest, AbilitiesAreKeptByNameAndListedInByteOrder)
{
    core::Ability first("axe", "", 1, 1, 0, 1, 2, 0, 0);
    core::Ability second("axe", "other", 1, 1, 0, 1, 2, 0, 0);
    core::Ability capital("Zap", "", 1, 1, 0, 1, 2, 0, 0);
    Character c("c", false);

    EXPECT_TRUE(c.addAbility(&first));
    EXPECT_FALSE(c.addAbility(&second));
    EXPECT_EQ(c.getAbility("axe"), &first);
    EXPECT_TRUE(c.addAbility(&capital));
    EXPECT_FALSE(c.addAbility(nullptr));
    EXPECT_EQ(c.getAllAbilities(), (std::vector<std::string>{"Zap", "axe"}));

    testing::internal::CaptureStdout();
    EXPECT_TRUE(c.isAbilityEnabled("axe"));
    EXPECT_FALSE(c.isAbilityEnabled("bow"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "axe\nbow\n");

    EXPECT_EQ(c.removeAbility("axe"), &first);
    EXPECT_EQ(c.removeAbility("axe"), nullptr);
    EXPECT_EQ(c.getAbility("axe"), nullptr);
    EXPECT_EQ(c.getAllAbilities(), (std::vector<std::string>{"Zap"}));
    // A removed name may be added afresh.
    EXPECT_TRUE(c.addAbility(&second));
    EXPECT_EQ(c.getAbility("axe"), &second);
}

TEST_F(WorldTest, EffectsAndClassLevelsOnACharacterOutsideAScene)
{
    Character c("c", false);
    const int before = core::Effect::getCount();
    c.addEffect("fire");
    c.addEffect("chill");
    ASSERT_EQ(c.getEffects().size(), 2u);
    EXPECT_EQ(c.getEffects()[0]->getName(), "fire");
    EXPECT_NE(c.getEffects()[0]->getSprite(), nullptr);
    EXPECT_EQ(c.getEffects()[1]->getUniqueId(), "Effect" + std::to_string(before + 2));
    EXPECT_EQ(c.getEffect("fire"), nullptr);
    EXPECT_TRUE(c.getActiveEffects().empty());

    EXPECT_EQ(c.getClassLevel("warrior"), 0);
    EXPECT_EQ(c.addClassLevel("warrior"), 1);
    EXPECT_EQ(c.getClass("warrior"), core::ResourceManager::getClass("warrior"));
    EXPECT_NE(c.getClass("warrior"), nullptr);
    EXPECT_EQ(c.addClassLevel("warrior"), 2);
    EXPECT_EQ(c.getClassLevel("warrior"), 2);
    EXPECT_EQ(c.addClassLevel("ghost"), 1);
    EXPECT_EQ(c.getClass("ghost"), nullptr);
}

TEST_F(CharacterXmlTest, EmptyElementGivesAnEmptyCharacter)
{
    Character* c = Character::buildFromXMLElement(element(""));
    ASSERT_NE(c, nullptr);
    expectAllStats(*c, 0);
    EXPECT_EQ(c->getId(), "");
    EXPECT_EQ(c->getName(), "");
    EXPECT_TRUE(c->getAllAbilities().empty());
    EXPECT_EQ(c->getSprite(), nullptr);
    EXPECT_EQ(c->getInteractScript(), nullptr);
    EXPECT_EQ(c->getThinkScript(), nullptr);
    EXPECT_FALSE(c->isAvatar());
    EXPECT_EQ(c->getType(), "character");
    EXPECT_EQ(logs().error.str(), "");
}

TEST_F(CharacterXmlTest, TemplateValuesAndElementValuesSum)
{
    Character* c = Character::buildFromXMLElement(element("sir_rob"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getId(), "sir_rob");
    EXPECT_EQ(c->getName(), "sir_rob");
    EXPECT_EQ(c->getHP(true), 35);
    EXPECT_EQ(c->getHP(false), 36);
    EXPECT_EQ(c->getStr(), 3);
    EXPECT_EQ(c->getDex(), 2);
    EXPECT_EQ(c->getInt(), 3);
    EXPECT_EQ(c->getMove(), 4);
    EXPECT_EQ(c->getFatigue(true), 7);
    EXPECT_EQ(c->getFatigue(false), 8);
    EXPECT_EQ(c->getAttack(), 5);
    EXPECT_EQ(c->getDodge(), 10);
    EXPECT_EQ(c->getDamagePhysical(), 11);
    EXPECT_EQ(c->getDamageMagical(), 12);
    EXPECT_EQ(c->getDefense(), 13);
    EXPECT_EQ(c->getCritValue(), 14);
    EXPECT_EQ(c->getGlancingValue(), 15);
    EXPECT_EQ(c->getResistance(), 16);
    EXPECT_FALSE(c->isAvatar());

    // Abilities from both, stored under the id the XML names.
    EXPECT_EQ(c->getAllAbilities(), (std::vector<std::string>{"Zap", "slash"}));
    EXPECT_EQ(c->getAbility("slash"), core::ResourceManager::getAbility("slash"));
    EXPECT_NE(c->getAbility("Zap"), nullptr);

    // The element's sprite replaces the template's.
    tamsygraphics::Sprite* sprite = c->getSprite();
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->GetIdentifier(), "sir_rob");
    EXPECT_EQ(sprite->GetTextureName(), "rob");
    EXPECT_EQ(sprite->GetSize(), glm::vec2(32.0f, 32.0f));
    EXPECT_FLOAT_EQ(sprite->GetScale()[0][0], 64.0f);
    EXPECT_FLOAT_EQ(sprite->GetScale()[1][1], 64.0f);
    EXPECT_EQ(c->getRunner().getSprite(), sprite);

    ASSERT_NE(c->getInteractScript(), nullptr);
    EXPECT_EQ(c->getInteractScript()->getType(), core::FILENAME);
    EXPECT_EQ(c->getInteractScript()->getScriptName(), "talk.lua");
    ASSERT_NE(c->getThinkScript(), nullptr);
    EXPECT_EQ(c->getThinkScript()->getType(), core::TEXT);
    EXPECT_EQ(c->getThinkScript()->getScriptText(), "y = 2");

    EXPECT_EQ(logs().error.str(), "");
    EXPECT_EQ(luaObjectOf("sir_rob"), c);
    EXPECT_NE(c->getLuaRef(), -2);
}

TEST_F(CharacterXmlTest, ClassChildAppliesEveryLevelInOrder)
{
    Character* c = Character::buildFromXMLElement(element("fenwy"));
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->isAvatar());
    EXPECT_EQ(c->getClassLevel("warrior"), 3);
    EXPECT_EQ(c->getClass("warrior"), core::ResourceManager::getClass("warrior"));
    // Levels 1 to 3 of the test warrior.
    EXPECT_EQ(c->getStr(), 2);
    EXPECT_EQ(c->getDex(), 1);
    EXPECT_EQ(c->getInt(), 1);
    EXPECT_EQ(c->getMove(), 1);
    EXPECT_EQ(c->getHP(true), 29);
    EXPECT_EQ(c->getHP(false), 20);
    EXPECT_EQ(c->getFatigue(true), 3);
    EXPECT_EQ(c->getFatigue(false), 0);
    EXPECT_EQ(c->getAttack(), 1);
    EXPECT_EQ(c->getDodge(), 2);
    EXPECT_EQ(c->getResistance(), 1);
    EXPECT_EQ(c->getAllAbilities(), (std::vector<std::string>{"cleave", "slash"}));
    EXPECT_EQ(occurrences(logs().oskel.str(), "class level: "), 3);
    EXPECT_TRUE(contains(logs().oskel.str(), "class level: 2"));
    EXPECT_EQ(luaObjectOf("fenwy"), c);
}

TEST_F(CharacterXmlTest, BadChildrenAreLoggedAndSkipped)
{
    Character* c = Character::buildFromXMLElement(element("faulty"));
    ASSERT_NE(c, nullptr);
    const std::string errors = logs().error.str();
    EXPECT_TRUE(contains(errors, "Could not load ability unknownAbility for character faulty"));
    EXPECT_TRUE(contains(errors, "Could not load effect Effect999999 for character faulty"));
    EXPECT_TRUE(contains(errors, "Could not load class noSuchClass for character faulty"));
    EXPECT_EQ(occurrences(errors, "Could not load"), 3);
    EXPECT_EQ(occurrences(errors, "class warrior for character faulty has level"), 3);
    EXPECT_TRUE(contains(errors, "level 11"));
    EXPECT_TRUE(c->getAllAbilities().empty());
    EXPECT_TRUE(c->getActiveEffects().empty());
    EXPECT_EQ(c->getClassLevel("warrior"), 0);
    EXPECT_EQ(c->getClassLevel("noSuchClass"), 0);
    expectAllStats(*c, 0);
    EXPECT_EQ(c->getThinkScript(), nullptr);
    EXPECT_EQ(c->getInteractScript(), nullptr);
}

TEST_F(CharacterXmlTest, UnreadableTemplatesGiveNoCharacter)
{
    EXPECT_EQ(Character::buildFromXMLElement(element("lost")), nullptr);
    EXPECT_TRUE(contains(logs().error.str(), "Character::buildFromXML - Failed to load or parse file "
                                             "tests/data/character/data/noSuchTemplate.xml"));
    EXPECT_EQ(Character::buildFromXMLElement(element("broken")), nullptr);
    EXPECT_TRUE(
        contains(logs().error.str(), "Failed to load or parse file tests/data/character/data/brokenTemplate.xml"));
    // No half-built character is left behind for scripts to find.
    EXPECT_EQ(luaObjectOf("lost"), nullptr);
    EXPECT_EQ(luaObjectOf("broken"), nullptr);

    logs().clear();
    EXPECT_EQ(Character::buildFromXMLElement(nullptr), nullptr);
    EXPECT_TRUE(contains(logs().error.str(), "Character::buildFromXMLElement - Unable to build character from NULL "
                                             "XML Element"));
}

TEST_F(WorldTest, AbsorbingAddsOnTop)
{
    Character c("twice", false);
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<x maxHP='4' str='-1' crit='abc'><ability id='slash'/>"
                        "<script trigger='interact'>a = 1</script>"
                        "<script trigger='interact'>b = 2</script></x>"),
              tinyxml2::XML_SUCCESS);
    c.absorbXML(doc.RootElement());
    c.absorbXML(doc.RootElement());
    c.absorbXML(nullptr);
    EXPECT_EQ(c.getHP(true), 8);
    EXPECT_EQ(c.getStr(), -2);
    EXPECT_EQ(c.getCritValue(), 0);
    EXPECT_EQ(c.getAllAbilities(), (std::vector<std::string>{"slash"}));
    ASSERT_NE(c.getInteractScript(), nullptr);
    EXPECT_EQ(c.getInteractScript()->getScriptText(), "b = 2");
}

// What the player reads for each way a character's XML may name it; the id
// stays what scripts and saves use.
TEST_F(WorldTest, DisplayNamesComeFromTheNameAttributeOrTheCapitalisedId)
{
    struct Case
    {
        const char* id;
        std::vector<const char*> elements; // template first, then the element
        const char* shown;
        bool written;
        bool logsError;
    };
    const Case cases[] = {
        {"fenwy", {"<c/>"}, "Fenwy", false, false},
        {"Oskel", {"<c/>"}, "Oskel", false, false},
        {"bandit1", {"<c name='bandit'/>"}, "bandit", true, false},
        {"bandit2", {"<c name='bandit'/>", "<c name='Red Jack'/>"}, "Red Jack", true, false},
        {"rat", {"<c name='  giant rat \n'/>"}, "giant rat", true, false},
        {"ghost", {"<c name='   '/>"}, "Ghost", false, true},
        {"", {"<c/>"}, "", false, false},
        {"9lives", {"<c/>"}, "9lives", false, false},
        {"\xc3\xa9lan", {"<c/>"}, "\xc3\xa9lan", false, false},
    };
    for (const Case& c : cases)
    {
        logs().clear();
        Character character(c.id, false);
        for (const char* xml : c.elements)
        {
            tinyxml2::XMLDocument doc;
            ASSERT_EQ(doc.Parse(xml), tinyxml2::XML_SUCCESS) << xml;
            character.absorbXML(doc.RootElement());
        }
        EXPECT_EQ(character.getDisplayName(), c.shown) << c.id;
        EXPECT_EQ(character.hasWrittenName(), c.written) << c.id;
        EXPECT_EQ(character.getName(), c.id) << "the id is kept for scripts";
        EXPECT_EQ(!logs().error.str().empty(), c.logsError) << c.id << ": " << logs().error.str();
        if (c.logsError)
        {
            EXPECT_TRUE(contains(logs().error.str(), std::string("character ") + c.id)) << "the error names it";
        }
    }
}

TEST_F(WorldTest, PortraitIsReadFromTheCharacterElement)
{
    Character character("brune", false);
    EXPECT_EQ(character.getPortrait(), "") << "no portrait: the sprite's frame is used";
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<c portrait='BrunePortrait'/>"), tinyxml2::XML_SUCCESS);
    character.absorbXML(doc.RootElement());
    EXPECT_EQ(character.getPortrait(), "BrunePortrait");
}
