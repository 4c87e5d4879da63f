#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "session/Console.h"
#include "session/ConsoleHost.h"
#include "session/InventoryView.h"
#include "session/PartyHost.h"
#include "session/PartyState.h"
#include "session/PartyView.h"
#include "world/Scene.h"

using namespace sessiontest;
using namespace testsupport;

// The party and the console on their own, each with a stand-in for the
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
    ScriptFolder scripts("tests/core/session/data");
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
    ScriptFolder scripts("tests/core/session/data");
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
