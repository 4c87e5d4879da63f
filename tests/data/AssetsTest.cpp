// Checks that the demo game's content is complete and consistent: every file
// that code, data or maps refer to exists and loads, so broken content shows
// up here rather than as a silent gap in the running game.
#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include <lua5.2/lua.hpp>
#include <stb_image.h>
#include <tinyxml2.h>
#include <vorbis/vorbisfile.h>

#include "LogCapture.h"
#include "animation/TAAnimation.h"
#include "animation/TAAnimationManager.h"
#include "data/Character.h"
#include "map/LevelMap.h"
#include "map/PassabilityMap.h"
#include "map/TriggerMap.h"
#include "map/TriggerTile.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "script/ScriptInstance.h"
#include "event/TriggerTileEvent.h"
#include "graphics/TGSprite.h"
#include "support/Files.h"
#include "util/util.h"

namespace
{
using testsupport::readText;

// The start-up textures: fixed ones, then one per character figure.
const std::vector<std::string> FIXED_TEXTURES = {"maps/region1/tileset.png",
                                                 "sprites/walkingSpriteSheet.png",
                                                 "sprites/walkingSpriteSheet2.png",
                                                 "sprites/walkingSpriteSheet3.png",
                                                 "sprites/walkingSpriteSheet4.png",
                                                 "sprites/dog.png",
                                                 "sprites/banana.gif",
                                                 "sprites/fireball.png"};
const std::vector<std::string> CHARACTER_TEXTURES = {
    "Aldric",    "Bandit", "BanditLeader", "Brune",    "Captain", "Elder",  "Fenwy",  "Fisherman", "Guard",
    "Innkeeper", "Man",    "Mayor",        "Merchant", "Oskel",   "Sailor", "Tibbet", "Vosk",      "Woman"};

// Music rows carry the point the track loops back to (ms); effects carry -1.
const std::vector<std::pair<std::string, int>> SOUNDS = {
    {"testSong", 0},         {"testSoundShort", -1}, {"testSoundLong", -1}, {"testMusicShort", 760},
    {"tempOverworld", 5337}, {"tempEvent", 2397},    {"tempBattle", 13197}, {"tempCave", 0},
    {"tempRunSound", -1},    {"eventForeboding", 0}, {"eventSilly", 0},     {"eventHappy", 1076},
    {"eventDivine", 0},      {"themeBattle", 5828},  {"themeTown", 0},      {"themeBoss", 0},
    {"silence", 0},          {"SFX/stepSoft", -1},   {"SFX/stepHard", -1},  {"SFX/text", -1},
    {"SFX/swing", -1},       {"SFX/thud", -1},       {"SFX/punch", -1},     {"SFX/flame", -1},
    {"SFX/flameStrike", -1}, {"SFX/portal", -1}};

const std::vector<std::string> FLAT_DATA_FILES = {"assets/animation.xml", "assets/party.xml",     "assets/items.xml",
                                                  "assets/scenes.xml",    "assets/abilities.xml", "assets/classes.xml",
                                                  "assets/session.xml"};

bool exists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::set<std::string> startupTextureNames()
{
    std::set<std::string> names = {"tileset",  "walking", "walking2", "walking3",
                                   "walking4", "dog",     "banana",   "fireball"};
    names.insert(CHARACTER_TEXTURES.begin(), CHARACTER_TEXTURES.end());
    return names;
}

// The records of a flat data file, each as (element name, element).
struct FlatFile
{
    tinyxml2::XMLDocument doc{true, tinyxml2::PRESERVE_WHITESPACE};
    bool ok = false;
    explicit FlatFile(const std::string& path)
    {
        ok = doc.LoadFile(path.c_str()) == tinyxml2::XML_SUCCESS && doc.FirstChildElement();
    }
    std::vector<tinyxml2::XMLElement*> all(const std::string& name)
    {
        std::vector<tinyxml2::XMLElement*> found;
        for (auto* e = doc.FirstChildElement(); e; e = e->NextSiblingElement())
            if (name == e->Name())
                found.push_back(e);
        return found;
    }
};

std::set<std::string> attributeValues(const std::string& path, const std::string& element, const std::string& attribute)
{
    FlatFile file(path);
    std::set<std::string> values;
    for (auto* e : file.all(element))
        values.insert(nullToEmpty(e->Attribute(attribute.c_str())));
    return values;
}

void loadGameData()
{
    datatest::initScripting();
    core::ResourceManager::init();
    core::ResourceManager::buildFromXMLFile("/assets/abilities.xml");
    core::ResourceManager::buildFromXMLFile("/assets/classes.xml");
}
}

TEST(Assets, DataFilesAreWellFormed)
{
    for (const std::string& path : FLAT_DATA_FILES)
        EXPECT_TRUE(FlatFile(path).ok) << path;
    int files = 0;
    for (const char* dir : {"assets/characters", "assets/dialogs"})
        for (const auto& entry : std::filesystem::directory_iterator(dir))
        {
            ++files;
            tinyxml2::XMLDocument doc;
            EXPECT_EQ(tinyxml2::XML_SUCCESS, doc.LoadFile(entry.path().c_str())) << entry.path();
        }
    EXPECT_GE(files, 40);
}

TEST(Assets, GameDataLoadsWithoutErrors)
{
    datatest::clearLog();
    loadGameData();
    EXPECT_FALSE(datatest::logHas("[Error]")) << datatest::logText();
    EXPECT_FALSE(datatest::logHas("Unknown resource type")) << datatest::logText();

    auto* animations = tamsyAnimation::AnimationManager::getInstance();
    for (const char* name : {"moveUp", "moveRight", "moveDown", "moveLeft"})
    {
        tamsyAnimation::Animation* walk = animations->getAnimation(name);
        ASSERT_NE(nullptr, walk) << name;
        EXPECT_EQ(4, walk->getNumFrames()) << name;
        for (int frame = 0; frame < walk->getNumFrames(); ++frame)
        {
            // the sheets are 4 x 4 frames
            glm::vec2 cell = walk->getTexCoords(frame);
            EXPECT_TRUE(cell.x >= 0 && cell.x < 4 && cell.y >= 0 && cell.y < 4) << name;
        }
    }
    for (const std::string& name : attributeValues("assets/abilities.xml", "ability", "name"))
        EXPECT_NE(nullptr, core::ResourceManager::getAbility(name)) << name;
    for (const std::string& name : attributeValues("assets/classes.xml", "class", "name"))
        EXPECT_NE(nullptr, core::ResourceManager::getClass(name)) << name;
}

TEST(Assets, RecordsReferToThingsThatExist)
{
    std::set<std::string> abilities = attributeValues("assets/abilities.xml", "ability", "name");
    FlatFile classes("assets/classes.xml");
    for (auto* cls : classes.all("class"))
    {
        int levels = 0;
        for (auto* level = cls->FirstChildElement(); level; level = level->NextSiblingElement())
        {
            EXPECT_EQ(++levels, level->IntAttribute("level"));
            for (auto* grant = level->FirstChildElement(); grant; grant = grant->NextSiblingElement())
                EXPECT_TRUE(abilities.count(grant->Attribute("name"))) << grant->Attribute("name");
        }
        EXPECT_EQ(10, levels) << cls->Attribute("name");
    }

    std::set<std::string> itemIds;
    for (const char* file : {"assets/items.xml", "assets/party.xml"})
    {
        FlatFile items(file);
        for (auto* item : items.all("item"))
        {
            itemIds.insert(item->Attribute("id"));
            EXPECT_TRUE(exists(std::string("assets/scripts/") + item->Attribute("script")))
                << item->Attribute("script");
        }
    }
    FlatFile session("assets/session.xml");
    ASSERT_EQ(1u, session.all("party").size());
    for (auto* item = session.all("party")[0]->FirstChildElement("item"); item; item = item->NextSiblingElement("item"))
        EXPECT_TRUE(itemIds.count(nullToEmpty(item->GetText()))) << item->GetText();

    for (const std::string& scene : attributeValues("assets/scenes.xml", "scene", "filename"))
        EXPECT_TRUE(exists(scene)) << scene;
}

TEST(Assets, SessionPartyIsLedByFenwy)
{
    loadGameData();
    FlatFile session("assets/session.xml");
    ASSERT_TRUE(session.ok);
    datatest::clearLog();
    std::unique_ptr<core::Party> party = core::Party::buildFromXMLElement(session.all("party")[0]);
    ASSERT_NE(nullptr, party);
    EXPECT_FALSE(datatest::logHas("[Error]")) << datatest::logText();

    core::Entity* avatar = nullptr;
    for (auto& member : party->getMembers())
        if (member.second->isAvatar() && !avatar)
            avatar = member.second;
    ASSERT_NE(nullptr, avatar);
    EXPECT_EQ("fenwy", avatar->getName());
    ASSERT_NE(nullptr, avatar->getSprite());
    EXPECT_TRUE(startupTextureNames().count(avatar->getSprite()->GetTextureName()));
    auto* fenwy = static_cast<core::Character*>(avatar);
    EXPECT_GT(fenwy->getHP(false), 0);
    EXPECT_EQ(fenwy->getHP(true), fenwy->getHP(false)) << "starts at full health";
    EXPECT_EQ(1, fenwy->getClassLevel("Warrior"));
    EXPECT_NE(nullptr, fenwy->getAbility("slash")) << "granted by the first Warrior level";
    party.reset();
}

TEST(Assets, ImagesDecode)
{
    std::vector<std::string> paths;
    for (const std::string& path : FIXED_TEXTURES)
        paths.push_back("assets/" + path);
    for (const std::string& name : CHARACTER_TEXTURES)
        paths.push_back("assets/sprites/" + name + ".png");
    for (const std::string& path : paths)
    {
        int w = 0, h = 0, channels = 0;
        unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 4);
        ASSERT_NE(nullptr, pixels) << path;
        stbi_image_free(pixels);
        if (path.find("tileset") != std::string::npos)
        {
            EXPECT_EQ(20 * 16, w) << "the tileset is 20 tiles wide";
            EXPECT_GE(h, 30 * 16) << "the passability tiles sit in rows 26 to 29";
        }
        else if (path.find("fireball") != std::string::npos)
        {
            EXPECT_EQ(28, w);
            EXPECT_EQ(34, h);
        }
        else if (path.find("banana") == std::string::npos)
        {
            EXPECT_EQ(64, w) << path << " is a sheet of 4 x 4 frames of 16 pixels";
            EXPECT_EQ(64, h) << path;
        }
    }
}

TEST(Assets, SoundsDecodeAndOutlastTheirLoopPoints)
{
    for (const auto& sound : SOUNDS)
    {
        std::string path = "assets/sound/" + sound.first + ".ogg";
        OggVorbis_File file;
        ASSERT_EQ(0, ov_fopen(path.c_str(), &file)) << path;
        double seconds = ov_time_total(&file, -1);
        ov_clear(&file);
        EXPECT_GT(seconds, 0.0) << path;
        // the game jumps back 100 ms before the end; the loop point must come first
        if (sound.second > 0)
        {
            EXPECT_GT(seconds * 1000.0 - 100.0, sound.second) << path;
        }
    }
}

TEST(Assets, ScriptsNamedByTheEngineAndContentExist)
{
    for (const char* script : {"demoStartup.lua", "portal.lua", "portalWithMusic.lua", "wanderRegion.lua"})
        EXPECT_TRUE(exists(std::string("assets/scripts/") + script)) << script;

    std::string startup = readText("assets/scripts/demoStartup.lua");
    EXPECT_NE(std::string::npos, startup.find("s:enter(\"coastalVillage_start\""));

    // the story's helpers (talk, quest, finish) are loaded before any scene
    EXPECT_NE(std::string::npos, startup.find("story.lua"));
    EXPECT_LT(startup.find("story.lua"), startup.find("s:enter"));
    EXPECT_TRUE(exists("assets/scripts/story.lua"));
    for (const char* script : {"lockedPortal.lua", "findItem.lua"})
        EXPECT_TRUE(exists(std::string("assets/scripts/") + script)) << script;
}

namespace
{
// Compiles without running, in a state of its own, so nothing in the game's
// state is touched.
bool compiles(const std::string& source, bool isFile, std::string& error)
{
    lua_State* state = luaL_newstate();
    int status = isFile ? luaL_loadfile(state, source.c_str()) : luaL_loadstring(state, source.c_str());
    if (status != LUA_OK)
        error = lua_tostring(state, -1);
    lua_close(state);
    return status == LUA_OK;
}
}

TEST(Assets, LuaInScriptsAndDialogsCompiles)
{
    std::string error;
    int scripts = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("assets/scripts"))
        if (entry.path().extension() == ".lua")
        {
            ++scripts;
            EXPECT_TRUE(compiles(entry.path().string(), true, error)) << error;
        }
    EXPECT_GE(scripts, 4);

    for (const auto& entry : std::filesystem::directory_iterator("assets/dialogs"))
    {
        XMLRoot dialog = getRoot(entry.path().string());
        ASSERT_TRUE(dialog) << entry.path();
        for (auto* node = dialog->FirstChildElement("node"); node; node = node->NextSiblingElement("node"))
        {
            for (auto* script = node->FirstChildElement("script"); script;
                 script = script->NextSiblingElement("script"))
                EXPECT_TRUE(compiles(nullToEmpty(script->GetText()), false, error)) << error;
            for (auto* option = node->FirstChildElement("option"); option;
                 option = option->NextSiblingElement("option"))
            {
                ASSERT_NE(nullptr, option->FirstChildElement("text")) << entry.path();
                ASSERT_NE(nullptr, option->FirstChildElement("next")) << entry.path();
                std::string flag = nullToEmpty(option->FirstChildElement("flag")->GetText());
                if (flag != "none")
                {
                    EXPECT_TRUE(compiles(flag, false, error)) << error;
                }
            }
        }
    }
}

namespace
{
void checkPortal(const event::TriggerTileEvent* event, const std::string& where)
{
    std::map<std::string, std::string> props(event->getParams().begin(), event->getParams().end());
    ASSERT_TRUE(props.count("targetScene")) << where;
    const std::string target = props["targetScene"];
    ASSERT_TRUE(core::levelNameMap.count(target)) << where << " leads to unknown " << target;
    std::unique_ptr<core::Scene> scene = core::ResourceManager::getScene(target);
    ASSERT_NE(nullptr, scene) << where << " leads to " << target;
    int row = std::stoi(props["targetRow"]);
    int col = std::stoi(props["targetCol"]);
    LevelMap* map = scene->getLevelMap();
    ASSERT_TRUE(map->isOnMap(row, col)) << where;
    EXPECT_TRUE(map->getPassabilityMap()->isPassable(row, col)) << where << " arrives on a wall";
    EXPECT_FALSE(map->getTriggerMap()->getTile(row, col)->isPortal()) << where << " arrives on another portal";
    if (event->getScript() == "portalWithMusic.lua")
    {
        EXPECT_TRUE(props.count("music")) << where;
    }
}
}

TEST(Assets, ScenesLoadAndConnect)
{
    loadGameData();
    std::set<std::string> textures = startupTextureNames();
    for (const char* id : {"coastalVillage_start", "coastalVillage_main"})
    {
        datatest::clearLog();
        std::unique_ptr<core::Scene> scene = core::ResourceManager::getScene(id);
        ASSERT_NE(nullptr, scene) << datatest::logText();
        EXPECT_FALSE(datatest::logHas("[Error]")) << datatest::logText();
        LevelMap* map = scene->getLevelMap();
        ASSERT_NE(nullptr, map);
        ASSERT_NE(nullptr, map->getPassabilityMap()) << id;
        ASSERT_NE(nullptr, map->getTriggerMap()) << id;
        EXPECT_GE(map->getDrawableMaps().size(), 3u) << id;

        int portals = 0, wanderCells = 0;
        std::set<std::string> targets;
        TriggerMap* triggers = map->getTriggerMap();
        for (int r = 0; r < triggers->getNumberOfRows(); ++r)
            for (int c = 0; c < triggers->getNumberOfColumns(); ++c)
            {
                TriggerTile* tile = triggers->getTile(r, c);
                wanderCells += tile->isNPCTrigger();
                for (event::TriggerTileEvent* event : tile->getEvents())
                {
                    EXPECT_TRUE(exists("assets/scripts/" + event->getScript())) << event->getScript();
                    if (tile->isPortal())
                    {
                        ++portals;
                        checkPortal(event, std::string(id) + " cell " + toString(r) + "," + toString(c));
                        for (const auto& param : event->getParams())
                            if (param.first == "targetScene")
                                targets.insert(param.second);
                    }
                }
            }
        EXPECT_GT(portals, 0) << id;
        const std::string other =
            std::string(id) == "coastalVillage_start" ? "coastalVillage_main" : "coastalVillage_start";
        EXPECT_TRUE(targets.count(other)) << id << " has no portal to " << other;
        EXPECT_GT(wanderCells, 0) << id;

        int wanderers = 0, talkers = 0;
        for (auto& entry : scene->getEntities())
        {
            core::Entity* entity = entry.second;
            glm::vec2 at = entity->getPosition();
            EXPECT_TRUE(map->getPassabilityMap()->isPassable(int(at.x), int(at.y))) << entry.first;
            ASSERT_NE(nullptr, entity->getSprite()) << entry.first;
            EXPECT_TRUE(textures.count(entity->getSprite()->GetTextureName())) << entry.first;
            core::ScriptInstance* think = entity->getThinkScript();
            if (think && think->getScriptText().find("wander") != std::string::npos)
            {
                ++wanderers;
                EXPECT_TRUE(triggers->getTile(int(at.x), int(at.y))->isNPCTrigger())
                    << entry.first << " starts outside its wander region";
            }
            if (core::ScriptInstance* interact = entity->getInteractScript())
            {
                ++talkers;
                if (interact->getType() == core::FILENAME)
                {
                    EXPECT_TRUE(exists("assets/scripts/" + interact->getScriptName()));
                }
            }
        }
        EXPECT_GE(wanderers, 1) << id;
        EXPECT_GE(talkers, 1) << id;
    }
}

TEST(Assets, TileMapsNameTheirTilesetImage)
{
    int maps = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator("assets/maps"))
    {
        if (entry.path().extension() != ".tmx")
            continue;
        ++maps;
        const std::string dir = entry.path().parent_path().string() + "/";
        const std::string name = entry.path().stem().string();
        tinyxml2::XMLDocument doc;
        ASSERT_EQ(tinyxml2::XML_SUCCESS, doc.LoadFile((dir + name + ".tmx").c_str()));
        auto* image = doc.RootElement()->FirstChildElement("tileset")->FirstChildElement("image");
        ASSERT_NE(nullptr, image);
        EXPECT_TRUE(exists(dir + image->Attribute("source")));
        std::set<std::string> kinds;
        int closedCells = 0;
        for (auto* layer = doc.RootElement()->FirstChildElement("layer"); layer;
             layer = layer->NextSiblingElement("layer"))
        {
            const std::string layerName = layer->Attribute("name");
            kinds.insert(layerName.compare(0, 5, "Floor") == 0 ? "Floor" : layerName);
            int cells = 0;
            for (auto* t = layer->FirstChildElement("data")->FirstChildElement("tile"); t;
                 t = t->NextSiblingElement("tile"))
            {
                ++cells;
                const int gid = t->IntAttribute("gid");
                if (layerName != "Passability" || gid == 0)
                    continue;
                // Only the passability marks close sides: 521-524, 541-544,
                // 561-564 and 581-583.
                const int column = (gid - 521) % 20;
                EXPECT_TRUE(gid >= 521 && gid <= 583 && column >= 0 && column <= 3)
                    << name << ": " << gid << " is no passability mark";
                ++closedCells;
            }
            EXPECT_EQ(layer->IntAttribute("width") * layer->IntAttribute("height"), cells);
        }
        EXPECT_GT(closedCells, 0) << name << ": walls and water must stop the walker";
        for (const char* kind : {"Floor", "Furniture", "Overhead", "Passability"})
            EXPECT_TRUE(kinds.count(kind)) << name << " lacks a " << kind << " layer";
    }
    EXPECT_EQ(17, maps) << "one map per scene";
}
