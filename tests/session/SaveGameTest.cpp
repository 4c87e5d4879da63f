#include <gtest/gtest.h>

#include <memory>

#include "SaveTestSupport.h"
#include "SessionTestSupport.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "data/Class.h"
#include "combat/CombatManager.h"
#include "data/Effect.h"
#include "data/Party.h"
#include "session/QuestManager.h"
#include "data/ResourceManager.h"
#include "save/SaveGame.h"
#include "save/SaveGameManager.h"
#include "world/Scene.h"
#include "gui/CombatMenu.h"

using core::Character;
using core::SaveGame;
using core::SaveGameManager;
using testsupport::ErrorCapture;

namespace
{
Character* member(core::Session& session, const std::string& id)
{
    auto& members = session.getCurrentParty()->getMembers();
    auto found = members.find(id);
    return found == members.end() ? nullptr : dynamic_cast<Character*>(found->second);
}

// Everything the round trip compares, read from the running game.
struct Observed
{
    std::string scene;
    int row = -1, col = -1, facing = -1;
    std::vector<std::string> members;
    std::vector<std::string> items;
    std::map<std::string, int> flags;
    std::vector<std::string> quests;
    std::string fenwyStats;
    std::vector<std::string> fenwyAbilities;
    std::map<std::string, int> fenwyClasses;
    std::vector<std::string> fenwyEffects;
    std::string sailorStats;
    bool mateInScene = true;

    static Observed of(core::Session& session)
    {
        Observed o;
        o.scene = session.getCurrentScene() ? session.getCurrentScene()->getId() : "";
        Character* avatar = session.getAvatar();
        o.row = static_cast<int>(avatar->getPosition().x);
        o.col = static_cast<int>(avatar->getPosition().y);
        o.facing = avatar->getFaceDirection();
        for (const auto& m : session.getCurrentParty()->getMembers())
            o.members.push_back(m.first);
        o.items.assign(session.getCurrentParty()->getInventory().getIds().begin(),
                       session.getCurrentParty()->getInventory().getIds().end());
        o.flags = session.story().getFlags();
        for (const auto& q : session.story().getQuestManager()->getEntries())
            o.quests.push_back(q.id + "/" + q.title + "/" + std::to_string(q.state));
        o.fenwyStats = avatar->printStats() + std::to_string(avatar->getHP(false));
        o.fenwyAbilities = avatar->getAllAbilities();
        o.fenwyClasses = avatar->getClassLevels();
        for (const core::Effect* e : avatar->getEffects())
            o.fenwyEffects.push_back(e->getName());
        if (Character* sailor = member(session, "sailor"))
            o.sailorStats = sailor->printStats();
        o.mateInScene = session.getCurrentScene() && session.getCurrentScene()->getEntity("mate");
        return o;
    }

    bool operator==(const Observed& other) const
    {
        return scene == other.scene && row == other.row && col == other.col && facing == other.facing &&
               members == other.members && items == other.items && flags == other.flags && quests == other.quests &&
               fenwyStats == other.fenwyStats && fenwyAbilities == other.fenwyAbilities &&
               fenwyClasses == other.fenwyClasses && fenwyEffects == other.fenwyEffects &&
               sailorStats == other.sailorStats && mateInScene == other.mateInScene;
    }
};

std::ostream& operator<<(std::ostream& out, const Observed& o)
{
    out << o.scene << " (" << o.row << "," << o.col << ") facing " << o.facing << " members";
    for (const auto& m : o.members)
        out << " " << m;
    out << " items";
    for (const auto& i : o.items)
        out << " " << i;
    out << " flags";
    for (const auto& f : o.flags)
        out << " " << f.first << "=" << f.second;
    out << " quests";
    for (const auto& q : o.quests)
        out << " " << q;
    out << " abilities";
    for (const auto& a : o.fenwyAbilities)
        out << " " << a;
    out << " classes";
    for (const auto& c : o.fenwyClasses)
        out << " " << c.first << "=" << c.second;
    out << " effects";
    for (const auto& e : o.fenwyEffects)
        out << " " << e;
    return out << " mate " << (o.mateInScene ? "here" : "gone") << "\n" << o.fenwyStats << o.sailorStats;
}

class SaveGames : public savetest::SavedSession
{
protected:
    // Changes every kind of state a save holds.
    void play()
    {
        // Row and column differ everywhere, so one saved as the other shows.
        session->setNextScene("testB", 4, 1);
        session->update();
        ASSERT_TRUE(session->addToParty("sailor"));
        member(*session, "sailor")->addDex(2);
        Character* fenwy = session->getAvatar();
        fenwy->addStr(3);
        fenwy->addHP(false, -7);
        fenwy->addAbility(core::ResourceManager::getAbility("firebolt"));
        ASSERT_TRUE(core::ResourceManager::getClass("Warrior")->levelUp(fenwy));
        fenwy->addEffect("burning");
        fenwy->setFacing(core::LEFT);
        session->gainItem("banana");
        session->loseItem("potion");
        session->setFlag("bridge_open", 1);
        session->setFlag("coins", 42);
        session->story().beginQuest("ferry", "Cross the water");
        session->story().beginQuest("letter", "Deliver the letter");
        session->story().endQuest("letter");
        session->getCurrentScene()->getEntity("mate")->kill();
        session->update();
    }

    // Changes it all again, differently.
    void playOn()
    {
        member(*session, "fenwy")->addStr(-10);
        session->getCurrentParty()->removeMember("sailor");
        session->getAvatar()->removeAbility("firebolt");
        session->getAvatar()->setClassLevel("Warrior", 0);
        session->getAvatar()->clearEffects();
        session->getAvatar()->setFacing(core::DOWN);
        session->gainItem("potion");
        session->loseItem("banana");
        session->story().clearFlags();
        session->setFlag("other", 3);
        quests->clear();
        session->story().beginQuest("late", "Too late");
        session->story().setDeparted({});
        session->setNextScene("testA", 2, 0);
        session->update();
    }
};
}

TEST_F(SaveGames, ARoundTripRestoresEveryKindOfState)
{
    play();
    const Observed saved = Observed::of(*session);
    ASSERT_EQ(saved.scene, "testB");
    ASSERT_FALSE(saved.mateInScene);
    ASSERT_TRUE(saves->save("slot1")) << saves->getLastMessage();

    playOn();
    ASSERT_FALSE(Observed::of(*session) == saved);

    ASSERT_TRUE(saves->load("slot1")) << saves->getLastMessage();
    session->update();
    EXPECT_EQ(Observed::of(*session), saved);
    EXPECT_EQ(shown.back(), "Loaded (slot1)");
}

TEST_F(SaveGames, TheDeadStayGoneWhenTheirSceneIsBuiltAgain)
{
    play();
    ASSERT_TRUE(saves->save("slot2"));
    playOn();
    ASSERT_TRUE(saves->load("slot2"));
    session->update();
    session->setNextScene("testA", 1, 1);
    session->update();
    session->setNextScene("testB", 4, 4);
    session->update();
    EXPECT_EQ(session->getCurrentScene()->getEntity("mate"), nullptr);
    EXPECT_NE(session->getCurrentScene()->getEntity("sailor"), nullptr) << "only the dead are left out";
}

TEST_F(SaveGames, TheSaveIsReadableXmlWithAVersion)
{
    play();
    ASSERT_TRUE(saves->save("slot1"));
    const std::string text = testsupport::readText(saves->getStore().pathOf("slot1"));
    EXPECT_NE(text.find("<zoltsave version=\"1\""), std::string::npos) << text;
    EXPECT_NE(text.find("<scene id=\"testB\" row=\"4\" col=\"1\" facing=\"3\"/>"), std::string::npos) << text;
    EXPECT_NE(text.find("<flag name=\"coins\" value=\"42\"/>"), std::string::npos) << text;
    EXPECT_NE(text.find("<departed scene=\"testB\" id=\"mate\"/>"), std::string::npos) << text;
}

// Every refusal leaves the running game exactly as it was and says why, on
// screen and in the log.
TEST_F(SaveGames, BadSavesAreRefusedWithTheGameUnchanged)
{
    play();
    ASSERT_TRUE(saves->save("good"));
    const std::string good = testsupport::readText(saves->getStore().pathOf("good"));
    std::string future = good;
    future.replace(future.find("version=\"1\""), 11, "version=\"2\"");
    std::string noScene = good;
    noScene.replace(noScene.find("id=\"testB\""), 10, "id=\"gone\"");
    struct Case
    {
        const char* name;
        std::string contents;
        const char* reason;
    };
    const Case cases[] = {
        {"empty", "", "the save file is empty"},
        {"truncated", good.substr(0, good.size() / 2), "damaged or cut short"},
        {"garbage",
         "\x7f"
         "ELF\x01\x02 not xml at all",
         "damaged or cut short"},
        {"otherXml", "<party id=\"heroes\"/>", "not a saved game"},
        {"unversioned", "<zoltsave><scene id=\"testA\" row=\"1\" col=\"1\"/><party/></zoltsave>", "no format version"},
        {"future", future, "made by a newer version of the game (format 2"},
        {"noPlace", "<zoltsave version=\"1\"><party/></zoltsave>", "does not say where the party stands"},
        {"badRow", "<zoltsave version=\"1\"><scene id=\"testA\" row=\"x\" col=\"1\"/><party/></zoltsave>",
         "whole number row"},
        {"goneScene", noScene, "its scene gone no longer exists"},
    };
    const Observed before = Observed::of(*session);
    for (const Case& c : cases)
    {
        testsupport::writeText(saves->getStore().pathOf(c.name), c.contents);
        ErrorCapture errors;
        EXPECT_FALSE(saves->load(c.name)) << c.name;
        session->update();
        EXPECT_EQ(Observed::of(*session), before) << c.name;
        EXPECT_NE(shown.back().find(std::string("Cannot load ") + c.name + ": "), std::string::npos) << shown.back();
        EXPECT_NE(shown.back().find(c.reason), std::string::npos) << c.name << ": " << shown.back();
        EXPECT_NE(errors.text().find(shown.back()), std::string::npos) << c.name << " is logged";
    }
    EXPECT_FALSE(saves->load("neverWritten"));
    EXPECT_NE(shown.back().find("there is no save in"), std::string::npos) << shown.back();
}

TEST_F(SaveGames, ASaveFromOlderContentLoadsWhatItCanAndNamesWhatItSkipped)
{
    play();
    ASSERT_TRUE(saves->save("old"));
    std::string text = testsupport::readText(saves->getStore().pathOf("old"));
    text.replace(text.find("<member id=\"sailor\""), 19, "<member id=\"ghost\"");
    text.replace(text.find("<item>banana</item>"), 19, "<item>banana</item><item>relic</item>");
    text.replace(text.find("<ability id=\"firebolt\"/>"), 24, "<ability id=\"firebolt\"/><ability id=\"lostArt\"/>");
    testsupport::writeText(saves->getStore().pathOf("old"), text);
    playOn();

    ASSERT_TRUE(saves->load("old"));
    session->update();
    EXPECT_EQ(shown.back(),
              "Loaded (old); no longer in the game, skipped: ability lostArt of fenwy, party member ghost, item relic");
    EXPECT_EQ(session->getCurrentScene()->getId(), "testB");
    EXPECT_EQ(session->getFlag("coins"), 42);
    EXPECT_TRUE(session->hasItem("banana"));
    EXPECT_FALSE(session->hasItem("relic"));
    EXPECT_EQ(member(*session, "ghost"), nullptr);
}

TEST_F(SaveGames, NothingIsSavedOrLoadedDuringAFightOrATalk)
{
    ASSERT_TRUE(saves->save("slot1"));
    session->setFlag("flag_isDialogOpen", 1);
    EXPECT_FALSE(saves->save("slot1"));
    EXPECT_EQ(shown.back(), "Cannot save: not while someone is talking");
    EXPECT_FALSE(saves->load("slot1"));
    session->setFlag("flag_isDialogOpen", 0);
    EXPECT_TRUE(saves->load("slot1"));
}

TEST_F(SaveGames, SlotsShowSceneAndPlayTimeAndTheLatestCanBeLoaded)
{
    EXPECT_FALSE(saves->hasSaves());
    EXPECT_FALSE(saves->loadLatest());
    EXPECT_EQ(shown.back(), "Cannot load: there is no save yet");
    ASSERT_TRUE(saves->save("slot3"));
    play();
    ASSERT_TRUE(saves->quickSave());
    testsupport::writeText(saves->getStore().pathOf("slot5"), "junk");

    const std::vector<SaveGameManager::SlotInfo> slots = saves->listSlots();
    ASSERT_EQ(slots.size(), 1u + SaveGameManager::NUM_SLOTS);
    EXPECT_EQ(slots[0].slot, "quick");
    EXPECT_EQ(slots[0].summary.sceneId, "testB");
    EXPECT_EQ(SaveGameManager::describe(slots[1]), "empty");
    EXPECT_EQ(slots[3].summary.sceneId, "testA");
    EXPECT_EQ(SaveGameManager::describe(slots[3]).substr(0, 13), "testA 0:00:00");
    EXPECT_EQ(SaveGameManager::describe(slots[5]), "unreadable");
    EXPECT_TRUE(saves->hasSaves());

    // The quick save is the newer by its own clock, whatever the file times.
    std::string text = testsupport::readText(saves->getStore().pathOf("slot3"));
    const size_t at = text.find("savedAt=\"") + 9;
    text.replace(at, text.find('"', at) - at, "1");
    testsupport::writeText(saves->getStore().pathOf("slot3"), text);
    playOn();
    ASSERT_TRUE(saves->loadLatest());
    EXPECT_EQ(shown.back(), "Loaded (quick)");
}

TEST(SaveFolder, FollowsXdgDataHomeThenHome)
{
    const char* oldData = std::getenv("XDG_DATA_HOME");
    const std::string keptData = oldData ? oldData : "";
    const char* oldHome = std::getenv("HOME");
    const std::string keptHome = oldHome ? oldHome : "";
    ::setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(SaveGameManager::defaultFolder(), "/tmp/xdg/zolt/saves");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    ::setenv("HOME", "/home/player", 1);
    EXPECT_EQ(SaveGameManager::defaultFolder(), "/home/player/.local/share/zolt/saves");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(SaveGameManager::defaultFolder(), "/home/player/.local/share/zolt/saves");
    if (oldData)
        ::setenv("XDG_DATA_HOME", keptData.c_str(), 1);
    if (oldHome)
        ::setenv("HOME", keptHome.c_str(), 1);
}

// The game, not just the file: after a save cut short at any step the slot
// still loads the earlier game.
TEST_F(SaveGames, ASaveInterruptedAtEveryStepLeavesThePreviousSaveLoadable)
{
    ASSERT_TRUE(saves->save("slot1"));
    const Observed first = Observed::of(*session);
    play();
    for (int crashAt = 0; crashAt <= core::SaveStore::RENAME_OVER_SLOT; ++crashAt)
    {
        saves->getStore().setCrashHook([crashAt](core::SaveStore::WriteStep step) { return step != crashAt; });
        EXPECT_FALSE(saves->save("slot1")) << "step " << crashAt;
        saves->getStore().setCrashHook(nullptr);
        ASSERT_TRUE(saves->load("slot1")) << "step " << crashAt << ": " << saves->getLastMessage();
        session->update();
        EXPECT_EQ(Observed::of(*session), first) << "step " << crashAt;
        play();
    }
}

TEST_F(SaveGames, ALostFightOffersTheLastSaveOnceThereIsOne)
{
    core::CombatManager& combat = session->getCombatManager();
    Character* avatar = session->getAvatar();
    const auto loseAFight = [&]
    {
        session->attemptEnterCombat("guard;");
        avatar->addHP(false, -avatar->getHP(false));
        ASSERT_TRUE(combat.settleDeaths());
        ASSERT_EQ(combat.getStage(), core::CombatManager::lose);
    };
    loseAFight();
    EXPECT_EQ(sessiontest::optionsOf(sessiontest::combatMenuOf(combat)), std::vector<std::string>{"try_again"})
        << "nothing saved yet";
    combat.combatMenuClick("try_again");

    ASSERT_TRUE(saves->save("slot1"));
    session->setFlag("afterTheSave", 1);
    loseAFight();
    EXPECT_EQ(sessiontest::optionsOf(sessiontest::combatMenuOf(combat)),
              (std::vector<std::string>{"try_again", "load last save"}));
    combat.combatMenuClick("load last save");
    EXPECT_FALSE(combat.isInCombat());
    EXPECT_EQ(session->getFlag("afterTheSave"), 0) << "the game is back at the save";
    EXPECT_GT(session->getAvatar()->getHP(false), 0);
}
