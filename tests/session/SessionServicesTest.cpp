#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "map/Direction.h"
#include "session/Console.h"
#include "session/ConsoleHost.h"
#include "session/InventoryView.h"
#include "session/PartyHost.h"
#include "session/PartyState.h"
#include "session/PartyView.h"
#include "session/StoryState.h"
#include "session/WorldHost.h"
#include "session/WorldState.h"
#include "world/Scene.h"

using namespace sessiontest;
using namespace testsupport;

// The party, the console and the world on their own, each with a stand-in for the
// session it is part of.
namespace
{
struct FakePartyHost : core::PartyHost
{
    core::Scene* getCurrentScene() const override { return scene; }
    bool isFightOn() const override { return fightOn; }
    core::Scene* scene = nullptr;
    bool fightOn = false;
};

struct FakeConsoleHost : core::ConsoleHost
{
    core::Entity* getEntity(const std::string& id) const override
    {
        auto found = entities.find(id);
        return found == entities.end() ? nullptr : found->second;
    }
    std::map<std::string, core::Entity*> entities;
};

struct FakeWorldHost : core::WorldHost
{
    core::Character* getAvatar() const override { return avatar; }
    core::Party* getCurrentParty() const override { return party; }
    bool isFightOn() const override { return fightOn; }
    const core::CombatView* getCombatView() const override { return nullptr; } // no camera: never asked
    void avatarEnteredScene(core::Character* entered) override { enteredBy.push_back(entered); }
    core::Character* avatar = nullptr;
    core::Party* party = nullptr;
    bool fightOn = false;
    std::vector<core::Character*> enteredBy;
};

struct FakeViews : core::PartyView, core::InventoryView
{
    void show() override { calls.push_back("show"); }
    void showSheetOf(core::Character* member) override { calls.push_back("sheet " + member->getId()); }
    std::vector<std::string> calls;
};

// A party of two (store characters, known to Lua), "svc_lead" walking.
std::unique_ptr<core::Party> twoOfUs()
{
    tinyxml2::XMLDocument document;
    document.Parse("<party id=\"svc\"><character id=\"svc_lead\"/><character id=\"svc_friend\"/></party>");
    std::unique_ptr<core::Party> party = core::Party::buildFromXMLElement(document.FirstChildElement());
    party->getMembers().at("svc_lead")->setIsAvatar(true);
    return party;
}

class PartyService : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        static const bool loaded = core::ResourceManager::buildFromXMLFile(dataFile("serviceItems.xml"));
        ASSERT_TRUE(loaded);
        clearsGlobals({"whistledBy"});
        scene.insertEntity(&stranger, 1, 1);
    }
    void TearDown() override
    {
        scene.detachEntities();
        SessionFixture::TearDown();
    }

    core::Character stranger{"svc_stranger", false};
    core::Scene scene{dataFile("open.tmx"), "svcScene"};
    FakePartyHost host;
    core::PartyState party{host};
};

// What the session log wrote since `log` began: just `line`, or nothing
// when `line` is empty.
void expectLoggedOnly(const LogTail& log, const std::string& line)
{
    EXPECT_EQ(log.count("\n"), line.empty() ? 0 : 1) << log.text();
    if (!line.empty())
    {
        EXPECT_EQ(log.count(line), 1) << log.text();
    }
}

using ConsoleService = SessionFixture;
}

TEST_F(PartyService, ItemsAreHeldOnlyByAPartyAndCountedOneByOne)
{
    struct Case
    {
        const char* what;
        bool withParty;
        int gains;
        int losses;
        bool held;
    } cases[] = {
        {"gained", true, 1, 0, true},
        {"gained then lost", true, 1, 1, false},
        {"gained twice, lost once", true, 2, 1, true},
        {"lost without having it", true, 0, 1, false},
        {"gained with no party", false, 1, 0, false},
    };
    for (const Case& c : cases)
    {
        party.setParty(c.withParty ? twoOfUs() : nullptr);
        for (int i = 0; i < c.gains; ++i)
            party.gainItem("rope");
        for (int i = 0; i < c.losses; ++i)
            party.loseItem("rope");
        EXPECT_EQ(party.hasItem("rope"), c.held) << c.what;
        EXPECT_FALSE(party.hasItem("whistle")) << c.what << ": nothing else is held";
    }
}

TEST_F(PartyService, AnItemIsUsedOnlyOutsideAFightWhenHeldKnownAndThereIsAnAvatar)
{
    struct Case
    {
        const char* item;
        bool fightOn;
        bool withParty;
        bool avatar;
        bool used;
        const char* logLine;
    } cases[] = {
        {"whistle", true, true, true, false, "Session::useItem - Items are not used during a fight: whistle\n"},
        {"whistle", false, false, true, false, "Session::useItem - Cannot use whistle\n"},
        {"whistle", false, true, false, false, "Session::useItem - Cannot use whistle\n"},
        {"kazoo", false, true, true, false, "Session::useItem - Cannot use kazoo\n"},
        {"whistle", false, true, true, true, ""},
    };
    ScriptFolder scripts(dataFile(""));
    for (const Case& c : cases)
    {
        clearLuaGlobal("whistledBy");
        std::unique_ptr<core::Party> members = c.withParty ? twoOfUs() : nullptr;
        if (members)
        {
            members->getMembers().at("svc_lead")->setIsAvatar(c.avatar);
            members->getInventory().add(c.item);
        }
        party.setParty(std::move(members));
        host.fightOn = c.fightOn;
        LogTail log("Session");
        EXPECT_EQ(party.useItem(c.item), c.used) << c.logLine;
        expectLoggedOnly(log, c.logLine);
        EXPECT_EQ(globalAsString("whistledBy"), c.used ? "svc_lead" : "<nil>") << "run for the avatar, or not at all";
    }
    EXPECT_TRUE(party.hasItem("whistle")) << "spending is left to the item's script";
}

TEST_F(PartyService, OnlyACharacterOfTheSceneNotYetInTheAvatarsPartyJoins)
{
    struct Case
    {
        const char* id;
        bool withParty;
        bool inScene;
        bool alreadyMember;
        bool joins;
        const char* logLine;
    } cases[] = {
        {"svc_stranger", false, true, false, false, "Session::addToParty - No avatar party to add svc_stranger to\n"},
        {"svc_stranger", true, false, false, false,
         "Session::addToParty - No character svc_stranger in the current scene\n"},
        {"nobody", true, true, false, false, "Session::addToParty - No character nobody in the current scene\n"},
        {"svc_stranger", true, true, true, false, "Session::addToParty - svc_stranger is already in the party\n"},
        {"svc_stranger", true, true, false, true, ""},
    };
    for (const Case& c : cases)
    {
        party.setParty(c.withParty ? twoOfUs() : nullptr);
        if (c.alreadyMember)
            party.getParty()->addMember(&stranger);
        host.scene = c.inScene ? &scene : nullptr;
        LogTail log("Session");
        EXPECT_EQ(party.addToParty(c.id), c.joins) << c.logLine;
        expectLoggedOnly(log, c.logLine);
        EXPECT_EQ(party.getMember(c.id) != nullptr, c.joins || c.alreadyMember) << c.logLine;
    }
    EXPECT_EQ(party.getMember("svc_stranger"), &stranger);
    EXPECT_EQ(stranger.getParty(), party.getParty());
    party.setParty(nullptr);
    EXPECT_EQ(stranger.getParty(), nullptr) << "the party freed lets go of its members";
}

TEST_F(PartyService, ViewsOpenWhenSetAndACharacterSheetOnlyForAMember)
{
    party.setParty(twoOfUs());
    party.viewParty();
    party.viewCharacter("svc_friend"); // no menus yet: nothing to show, nothing breaks
    FakeViews views;
    party.setPartyView(&views);
    party.setInventoryView(&views);
    const struct
    {
        const char* view;
        std::vector<std::string> calls;
    } cases[] = {
        {"party", {"show"}},
        {"inventory", {"show"}},
        {"svc_friend", {"show", "sheet svc_friend"}},
        {"svc_stranger", {}},
    };
    for (const auto& c : cases)
    {
        views.calls.clear();
        const std::string view = c.view;
        if (view == "party")
            party.viewParty();
        else if (view == "inventory")
            party.viewInventory();
        else
            party.viewCharacter(view);
        EXPECT_EQ(views.calls, c.calls) << view;
    }
}

TEST_F(ConsoleService, OpensClosesAndPromptsOnlyWhileItHasAScreen)
{
    FakeConsoleHost host;
    core::Console console(host);
    EXPECT_FALSE(console.isOpen());
    EXPECT_EQ(console.getScreenStack().stack.size(), 1u) << "one screen to prompt with";
    LogTail log("Session");
    console.open();
    EXPECT_TRUE(console.isOpen());
    console.close();
    EXPECT_FALSE(console.isOpen());
    EXPECT_EQ(log.count("\n"), 2);
    EXPECT_EQ(log.count("Console window opened\n"), 1);
    EXPECT_EQ(log.count("Console window closed\n"), 1);

    // One line a turn, run by the top screen on the session it is given.
    core::Session* session = buildSession();
    ASSERT_NE(session, nullptr);
    const struct
    {
        bool withScreen;
        const char* item;
        const char* unread;
    } cases[] = {{true, "svc_flute", "left over\n"}, {false, "svc_drum", ": gain svc_drum\nleft over\n"}};
    for (const auto& c : cases)
    {
        if (!c.withScreen)
            console.getScreenStack().clearScreens();
        StdinFeed input(std::string(": gain ") + c.item + "\nleft over\n");
        StdoutCapture output;
        console.prompt(*session);
        EXPECT_EQ(input.remaining(), c.unread);
        EXPECT_EQ(session->hasItem(c.item), c.withScreen) << c.item;
    }
}

TEST_F(ConsoleService, RunsALineOrAScriptWithSubjectAndObjectBoundOnlyForTwoKnownEntities)
{
    std::unique_ptr<core::Party> pair = twoOfUs();
    FakeConsoleHost host;
    host.entities = {{"a", pair->getMembers().at("svc_lead")}, {"b", pair->getMembers().at("svc_friend")}};
    core::Console console(host);
    clearsGlobals({"said", "readPair"});
    const struct
    {
        const char* subject;
        const char* object;
        const char* said;
        const char* read;
    } cases[] = {
        {"a", "b", "svc_lead+svc_friend", "svc_lead>svc_friend"},
        {"b", "a", "svc_friend+svc_lead", "svc_friend>svc_lead"},
        {"a", "a", "<nil>", "<nil>"},
        {"a", "nobody", "<nil>", "<nil>"},
        {"nobody", "b", "<nil>", "<nil>"},
    };
    ScriptFolder scripts(dataFile(""));
    for (const auto& c : cases)
    {
        clearLuaGlobal("said");
        clearLuaGlobal("readPair");
        console.subjectVerbObject(c.subject, "said = subj:getId() .. '+' .. obj:getId()", c.object);
        console.subjectScriptObject(c.subject, "readScript.lua", c.object);
        EXPECT_EQ(globalAsString("said"), c.said) << c.subject << " " << c.object;
        EXPECT_EQ(globalAsString("readPair"), c.read) << c.subject << " " << c.object;
        EXPECT_TRUE(luaIsNil("subj") && luaIsNil("obj")) << "the bindings go when the line is run";
    }
}

namespace
{
class WorldService : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        core::levelNameMap["testWalled"] = dataFile("sceneWalled.xml");
        host.avatar = dynamic_cast<core::Character*>(members->getMembers().at("svc_lead"));
        host.party = members.get();
    }

    std::unique_ptr<core::Party> members = twoOfUs();
    FakeWorldHost host;
    core::StoryState story;
    core::WorldState world{host, story};
};
}

TEST_F(WorldService, APendingSceneIsEnteredAtTheEndOfTheFrameButNotDuringAFight)
{
    for (const bool fightOn : {false, true})
    {
        core::WorldState fresh(host, story);
        host.fightOn = fightOn;
        host.enteredBy.clear();
        ASSERT_TRUE(fresh.setNextScene("testA", 2, 3));
        EXPECT_EQ(fresh.getCurrentScene(), nullptr) << "nothing changes before the frame ends";
        ErrorCapture warnings(ErrorCapture::ErrorsAndWarnings);
        fresh.finishFrame();
        EXPECT_EQ(fresh.getNextScene(), nullptr) << "made or dropped, the change is no longer pending";
        EXPECT_EQ(warnings.contains("Session::update - testA is not entered during a fight"), fightOn);
        if (fightOn)
        {
            EXPECT_EQ(fresh.getCurrentScene(), nullptr);
            EXPECT_TRUE(host.enteredBy.empty());
            continue;
        }
        ASSERT_NE(fresh.getCurrentScene(), nullptr);
        EXPECT_EQ(fresh.getCurrentScene()->getId(), "testA");
        EXPECT_EQ(host.avatar->getScene(), fresh.getCurrentScene());
        EXPECT_EQ(host.avatar->getPosition(), glm::vec2(2.0f, 3.0f));
        EXPECT_EQ(host.enteredBy, std::vector<core::Character*>{host.avatar});
    }
    EXPECT_EQ(host.avatar->getScene(), nullptr) << "a world gone lets go of the avatar";
}

TEST_F(WorldService, ARefusedRequestSaysWhyAndLeavesTheEarlierOnePending)
{
    ASSERT_TRUE(world.setNextScene("testB", 1, 1));
    core::Scene* pending = world.getNextScene();
    ASSERT_NE(pending, nullptr);
    const struct
    {
        const char* sceneId;
        int row;
        int column;
        const char* why;
    } cases[] = {
        {"testA", 99, 0, "cannot enter testA (99, 0) is off the map of "},
        {"testA", -1, 2, "cannot enter testA (-1, 2) is off the map of "},
        {"testWalled", 4, 1, "cannot enter testWalled (4, 1) is closed on every side"},
        {"nowhere", 1, 1, "cannot enter unknown scene nowhere"},
    };
    for (const auto& c : cases)
    {
        std::string why;
        ErrorCapture errors;
        EXPECT_FALSE(world.setNextScene(c.sceneId, c.row, c.column, &why)) << c.why;
        EXPECT_EQ(why.rfind(c.why, 0), 0u) << why;
        EXPECT_EQ(world.getNextScene(), pending) << c.why;
    }
}

TEST_F(WorldService, CharactersThatLeftASceneAreLeftOutWhenItIsEnteredAgain)
{
    world.attemptEnterScene(core::ResourceManager::getScene("testA"), 2, 2);
    ASSERT_NE(world.getCurrentScene(), nullptr);
    core::Entity* bandit = world.getCurrentScene()->getEntity("bandit");
    ASSERT_NE(bandit, nullptr);
    world.noteDeparted();
    EXPECT_EQ(story.getDeparted().count("testA"), 0u) << "nobody has left yet";
    bandit->kill();
    world.noteDeparted();
    EXPECT_EQ(story.getDeparted().at("testA"), std::set<std::string>{"bandit"});

    world.attemptEnterScene(core::ResourceManager::getScene("testA"), 2, 2);
    EXPECT_EQ(world.getCurrentScene()->getEntity("bandit"), nullptr);
    EXPECT_NE(world.getCurrentScene()->getEntity("guard"), nullptr) << "only the one that left";
}

TEST_F(WorldService, ASceneRebuiltInPlaceKeepsTheAvatarsTileAndFacing)
{
    world.attemptEnterScene(core::ResourceManager::getScene("testA"), 2, 3);
    host.avatar->setFacing(core::LEFT);
    world.reenterScene(core::ResourceManager::getScene("testA"));
    ASSERT_NE(world.getCurrentScene(), nullptr);
    EXPECT_EQ(host.avatar->getScene(), world.getCurrentScene());
    EXPECT_EQ(host.avatar->getPosition(), glm::vec2(2.0f, 3.0f));
    EXPECT_EQ(host.avatar->getFaceDirection(), core::LEFT);
}
