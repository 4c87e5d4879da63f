#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <tinyxml2.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "data/CharacterStore.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "graphics/TGMap.h"
#include "map/LevelMap.h"
#include "map/MapLayer.h"
#include "map/PassabilityMap.h"
#include "map/TriggerMap.h"
#include "script/LuaInterface.h"
#include "session/Session.h"
#include "world/LevelMapDrawing.h"
#include "world/Scene.h"

// Objects handed from one owner to another, or freed while scripts still
// hold them: whatever the order, a script sees a Lua error line naming what
// is gone, never freed memory, and no object has two owners.
using Ownership = sessiontest::SessionFixture;

using core::LuaInterface;
using namespace sessiontest;
using namespace testsupport;

namespace
{
core::Character* characterFromXml(const std::string& xml)
{
    tinyxml2::XMLDocument document;
    if (document.Parse(xml.c_str()) != tinyxml2::XML_SUCCESS)
        return nullptr;
    return core::Character::buildFromXMLElement(document.FirstChildElement());
}

// The engine object a script global stands for, read through its handle;
// null when the global is no engine object or its object is gone.
void* objectOfGlobal(const std::string& name)
{
    lua_State* ls = LuaInterface::getState();
    const int top = lua_gettop(ls);
    lua_getglobal(ls, name.c_str());
    void* object = nullptr;
    if (lua_istable(ls, -1))
    {
        lua_getfield(ls, -1, "core_");
        if (void* handle = lua_touserdata(ls, -1))
            object = *static_cast<void**>(handle);
    }
    lua_settop(ls, top);
    return object;
}

void collectGarbage()
{
    lua_gc(LuaInterface::getState(), LUA_GCCOLLECT, 0);
    lua_gc(LuaInterface::getState(), LUA_GCCOLLECT, 0);
}

struct ReleasedCase
{
    const char* name;
    // Builds the objects the script will call and lets some of them go.
    std::function<void()> handOver;
    // A chunk that leaves its answer in the global "result".
    const char* script;
    // Empty when the call must succeed.
    const char* error;
    const char* result;
};
}

TEST_F(Ownership, ScriptsCallingReleasedObjectsGetAnErrorLineNeverFreedMemory)
{
    clearsGlobals({"result", "keptByScript", "ownGhost", "tableGhost", "heldAfterSession"});
    const std::vector<ReleasedCase> cases = {
        {"a character released by its owner",
         []() { core::CharacterStore::release(characterFromXml("<character id=\"ownGhost\"/>")); },
         "result = ownGhost:getId()", "this Character is gone from the game", ""},
        {"a character a script kept in its own table",
         []()
         {
             core::Character* ghost = characterFromXml("<character id=\"tableGhost\"/>");
             LuaInterface::runString("keptByScript = {tableGhost}");
             core::CharacterStore::release(ghost);
         },
         "result = keptByScript[1]:getStr()", "this Character is gone from the game", ""},
        {"the session freed while scripts still name it",
         []() { core::Session::buildFromXMLFile(dataFile("session.xml")).reset(); }, "result = s:getflag('anything')",
         "this Session is gone from the game", ""},
        {"the party's members outlive the freed session",
         []() { core::Session::buildFromXMLFile(dataFile("session.xml")).reset(); }, "result = fenwy:getId()", "",
         "fenwy"},
        {"a scene freed while its characters are still named",
         []()
         {
             std::unique_ptr<core::Scene> scene = core::ResourceManager::getScene("testA");
             ASSERT_NE(scene, nullptr);
             ASSERT_FALSE(scene->getEntities().empty());
             LuaInterface::runString("heldAfterSession = nil");
             for (const auto& entry : scene->getEntities())
                 LuaInterface::registerAlias(entry.second->getLuaRef(), "heldAfterSession");
             scene->detachEntities();
         },
         "result = type(heldAfterSession:getId())", "", "string"},
    };
    for (const ReleasedCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        c.handOver();
        LuaInterface::runString("result = nil");
        ErrorCapture errors;
        LuaInterface::runString(c.script, "ownership");
        if (*c.error)
        {
            // One line, naming the chunk and its line, then the reason.
            EXPECT_NE(errors.text().find("ownership:1:"), std::string::npos) << errors.text();
            EXPECT_NE(errors.text().find(c.error), std::string::npos) << errors.text();
            EXPECT_NE(LuaInterface::lastError().find(c.error), std::string::npos) << LuaInterface::lastError();
            EXPECT_EQ(globalAsString("result"), "<nil>");
        }
        else
        {
            EXPECT_EQ(errors.text(), "");
            EXPECT_EQ(globalAsString("result"), c.result);
        }
        // The state stays usable after the refusal.
        EXPECT_TRUE(LuaInterface::runBooleanString("return 1 + 1 == 2"));
    }
}

TEST_F(Ownership, AReleasedHandleGoesWithTheLastScriptReference)
{
    clearsGlobals({"gcGhost", "gcCopy"});
    collectGarbage();
    const int before = LuaInterface::liveHandles();
    core::Character* ghost = characterFromXml("<character id=\"gcGhost\"/>");
    ASSERT_NE(ghost, nullptr);
    EXPECT_EQ(LuaInterface::liveHandles(), before + 1);
    EXPECT_EQ(objectOfGlobal("gcGhost"), static_cast<void*>(ghost));
    LuaInterface::runString("gcCopy = gcGhost");
    collectGarbage();
    EXPECT_EQ(LuaInterface::liveHandles(), before + 1) << "a living character keeps its handle";

    const std::size_t held = core::CharacterStore::size();
    ASSERT_TRUE(core::CharacterStore::release(ghost));
    EXPECT_EQ(core::CharacterStore::size(), held - 1);
    EXPECT_FALSE(core::CharacterStore::release(ghost)) << "a character is freed once";
    EXPECT_FALSE(core::CharacterStore::release(nullptr));
    EXPECT_FALSE(core::CharacterStore::holds(ghost));
    EXPECT_EQ(core::CharacterStore::size(), held - 1);
    EXPECT_EQ(objectOfGlobal("gcCopy"), nullptr) << "the handle no longer leads to freed memory";
    collectGarbage();
    EXPECT_EQ(LuaInterface::liveHandles(), before + 1) << "scripts still hold the table";

    clearLuaGlobal("gcGhost");
    clearLuaGlobal("gcCopy");
    collectGarbage();
    EXPECT_EQ(LuaInterface::liveHandles(), before);
}

TEST_F(Ownership, AReplacedPartyLeavesNoMemberPointingAtIt)
{
    // The session file reads two parties; the first is freed when the
    // second takes its place, but its members live on.
    core::Session* session = buildSession("twoParties.xml");
    ASSERT_NE(session, nullptr);
    auto* oskel = static_cast<core::Character*>(objectOfGlobal("oskel"));
    ASSERT_NE(oskel, nullptr);
    EXPECT_TRUE(core::CharacterStore::holds(oskel));
    EXPECT_EQ(oskel->getParty(), nullptr);
    EXPECT_EQ(luaString("oskel:getId()"), "oskel");
    ASSERT_NE(session->getAvatar(), nullptr);
    EXPECT_EQ(session->getAvatar()->getParty(), session->getCurrentParty());

    // A party set in code replaces the one read from the file the same way.
    core::Character* fenwy = session->getAvatar();
    auto replacement = std::make_unique<core::Party>("replacement");
    core::Party* party = replacement.get();
    session->setCurrentParty(std::move(replacement));
    EXPECT_EQ(session->getCurrentParty(), party);
    EXPECT_EQ(fenwy->getParty(), nullptr);
    EXPECT_EQ(session->getAvatar(), nullptr) << "the new party has no members yet";
    EXPECT_EQ(luaInt("s:getPartySize()"), 0);
}

namespace
{
std::unique_ptr<MapLayer> layer(const std::string& name)
{
    auto map = std::make_unique<MapLayer>();
    map->name = name;
    map->rows = 2;
    map->cols = 3;
    return map;
}

std::unique_ptr<LevelMap> twoLayerMap()
{
    MapLayers layers;
    layers.push_back(layer("Floor"));
    layers.push_back(layer("Roof"));
    return std::make_unique<LevelMap>(std::move(layers), new core::PassabilityMap(2, 3), nullptr);
}

struct LayerCase
{
    const char* name;
    // How often the map is drawn; each drawing hands its layers to a
    // receiver that frees them.
    int drawings;
};
}

TEST_F(Ownership, AMapsLayersHaveOneOwnerWhereverTheyMove)
{
    const std::vector<LayerCase> cases = {
        {"never shown", 0},
        {"shown once: the receiver owns the drawn layers, the map keeps its own", 1},
        {"shown twice: each showing builds layers of its own", 2},
    };
    for (const LayerCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::unique_ptr<core::Scene> scene = core::ResourceManager::getScene("testA");
        ASSERT_NE(scene, nullptr);
        LevelMap* map = scene->getLevelMap();
        ASSERT_NE(map, nullptr);
        const std::size_t plainLayers = map->getDrawableMaps().size();
        ASSERT_GT(plainLayers, 0u);
        // Every drawn layer is kept until the end, so no address is reused.
        std::vector<std::unique_ptr<tamsygraphics::Map>> taken;
        for (int i = 0; i < c.drawings; ++i)
        {
            LevelMapDrawing drawing(*map);
            const std::size_t before = taken.size();
            for (tamsygraphics::Map* drawn : drawing.handOverLayers())
            {
                for (const auto& earlier : taken)
                    EXPECT_NE(earlier.get(), drawn) << "a layer handed over twice";
                taken.emplace_back(drawn);
            }
            EXPECT_EQ(taken.size() - before, plainLayers);
        }
        // The plain layers stay with the map however often it is drawn; a
        // layer freed twice, or once too few, shows under the sanitizer.
        EXPECT_EQ(map->getDrawableMaps().size(), plainLayers);
        scene->detachEntities();
    }
}

TEST_F(Ownership, AReloadedSceneMapReplacesTheOldOneOnce)
{
    std::unique_ptr<core::Scene> scene = core::ResourceManager::getScene("testA");
    ASSERT_NE(scene, nullptr);
    ASSERT_NE(scene->getLevelMap(), nullptr);
    std::unique_ptr<LevelMap> fresh = twoLayerMap();
    LevelMap* expected = fresh.get();
    scene->setLevelMap(std::move(fresh));
    EXPECT_EQ(scene->getLevelMap(), expected);
    EXPECT_EQ(scene->getLevelMap()->getDrawableMaps().size(), 2u);
    scene->setLevelMap(nullptr);
    EXPECT_EQ(scene->getLevelMap(), nullptr);
    scene->detachEntities();
}
