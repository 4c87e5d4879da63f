#include <gtest/gtest.h>

#include "SessionTestSupport.h"
#include "data/Character.h"
#include "combat/CombatInputContext.h"
#include "dialog/DialogManager.h"
#include "session/LevelInputContext.h"
#include "map/LevelMap.h"
#include "script/LuaInterface.h"
#include "session/QuestManager.h"
#include "data/ResourceManager.h"
#include "world/Scene.h"
#include "event/EventManager.h"
#include "graphics/TGCamera.h"
#include "gui/CharacterMenu.h"
#include "gui/CombatMenu.h"
#include "gui/DialogMenu.h"
#include "gui/EndScreen.h"
#include "gui/GUIButton.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUIManager.h"
#include "gui/InventoryMenu.h"
#include "gui/PartyMenu.h"
#include "gui/QuestMenu.h"

using namespace sessiontest;
using namespace testsupport;

using Texts = std::vector<std::string>;

namespace
{
const std::string DIALOG = "tests/session/data/dialog.xml";

void clickOn(gui::GUIElement* widget)
{
    const glm::vec2 at = widget->getPosition();
    gui::GUIManager* manager = gui::GUIManager::getInstance();
    manager->dispatch(0, application::MOUSE_DOWN, at.x, at.y);
    manager->dispatch(0, application::MOUSE_UP, at.x, at.y);
}

// The demo's items, whose scripts spend themselves when used.
void loadDemoItems()
{
    static const bool loaded = core::ResourceManager::buildFromXMLFile("assets/items.xml");
    ASSERT_TRUE(loaded);
}
}

using InventoryMenu = SessionFixture;

TEST_F(InventoryMenu, UsingAnItemRunsItsScriptForTheAvatarAndTheListFollows)
{
    loadDemoItems();
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    gui::InventoryMenu* menu = gui::GUIElement::make<gui::InventoryMenu>("Inventory", session);
    session->setInventoryView(menu);
    EXPECT_TRUE(menu->isHidden());
    core::LuaInterface::runString("s:inventory()");
    ASSERT_FALSE(menu->isHidden()) << "the inventory binding shows it";
    ASSERT_EQ(menu->getEntryTexts(), Texts{"Healing Potion  x1"});

    session->gainItem("potion");
    session->gainItem("rope");
    menu->refresh();
    ASSERT_EQ(menu->getEntryTexts(), (Texts{"Healing Potion  x2", "Rope  x1"}));
    // Hurt, so that the potion has something to heal.
    session->getAvatar()->addHP(false, -15);
    const int hp = session->getAvatar()->getHP(false);
    clickOn(menu->getEntry(0));
    EXPECT_EQ(session->getAvatar()->getHP(false), hp + 10);
    EXPECT_EQ(menu->getEntryTexts(), (Texts{"Healing Potion  x1", "Rope  x1"})) << "one potion spent";
    EXPECT_EQ(menu->getTitle(), "Inventory - used Healing Potion");
    clickOn(menu->getEntry(1));
    EXPECT_EQ(menu->getEntryTexts(), (Texts{"Healing Potion  x1", "Rope  x1"})) << "rope is not used up";
    clickOn(menu->getCloseButton());
    EXPECT_TRUE(menu->isHidden());
    menu->destroy();
}

TEST_F(InventoryMenu, NothingIsUsedDuringAFightOrWithoutTheItem)
{
    loadDemoItems();
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    EXPECT_FALSE(session->useItem("fish")) << "not held";
    session->attemptEnterCombat("bandit;");
    const int hp = session->getAvatar()->getHP(false);
    EXPECT_FALSE(session->useItem("potion"));
    EXPECT_TRUE(session->hasItem("potion"));
    EXPECT_EQ(session->getAvatar()->getHP(false), hp);
    session->getCombatManager().leaveCombat();
}

using DialogMenuClicks = SessionFixture;

TEST_F(DialogMenuClicks, ClicksPageOnChooseAnOptionAndEndTheTalk)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    gui::DialogMenu* menu = sessiontest::dialogMenuOf(dialogs);
    dialogs->startNewDialog(DIALOG, "start", "guard");
    ASSERT_TRUE(menu->isShowingText());
    EXPECT_EQ(menu->getTitle(), "Guard") << "the speaker's name heads the band";
    clickOn(menu);
    ASSERT_FALSE(menu->isShowingText()) << "one short page, then the options";
    ASSERT_EQ(optionsOf(menu), (Texts{"Hello.", "Bye."}));
    clickOn(menu->getEntry(1));
    EXPECT_TRUE(menu->isHidden());
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0);

    dialogs->startNewDialog(DIALOG, "start", "guard");
    clickOn(menu);
    clickOn(menu->getEntry(0));
    EXPECT_EQ(menu->getPage(), "What now?") << "the chosen option leads on";
}

TEST_F(DialogMenuClicks, ANodeWithNothingToAnswerClosesAfterItsLastPage)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    gui::DialogMenu* menu = sessiontest::dialogMenuOf(dialogs);
    dialogs->startNewDialog(DIALOG, "start", "guard");
    dialogs->startNewDialog(DIALOG, "quiet", "guard");
    EXPECT_TRUE(optionsOf(menu).empty()) << "the previous node's options are not kept";
    clickOn(menu);
    EXPECT_TRUE(menu->isHidden());
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0) << "the next talk can start";
}

TEST_F(DialogMenuClicks, ANodeThatStartsAFightGivesTheScreenToTheFight)
{
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "ambush", "guard");
    EXPECT_TRUE(session->getCombatManager().isInCombat());
    EXPECT_TRUE(sessiontest::dialogMenuOf(dialogs)->isHidden()) << "the band would cover the combat menu";
    EXPECT_EQ(session->getFlag("flag_isDialogOpen"), 0);
    EXPECT_FALSE(sessiontest::combatMenuOf(session->getCombatManager())->isHidden());
    session->getCombatManager().leaveCombat();
}

using CombatMenuClicks = SessionFixture;

TEST_F(CombatMenuClicks, APressOnAShownWidgetNeverBecomesATileClick)
{
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    tamsygraphics::Camera camera("testCam", 640, 480, 45.0f, 0.5f, 100.0f);
    session->setCamera(&camera);
    session->attemptEnterCombat("bandit;");
    core::CombatManager& combat = session->getCombatManager();
    const glm::vec2 world = session->getCurrentScene()->getLevelMap()->getPosition(2, 2);
    const float x = world.x / 320.0f;
    const float y = world.y / 240.0f;

    gui::GUIElement* cover = gui::GUIElement::make<gui::GUIElement>();
    cover->setPosition(x, y);
    combat.getCombatInputContext()->dispatch(0, application::MOUSE_DOWN, x, y);
    EXPECT_EQ(combat.getStage(), core::CombatManager::base) << "the click belongs to the widget";
    EXPECT_EQ(luaString("s:combatStage()"), "base");
    cover->hide();
    combat.getCombatInputContext()->dispatch(0, application::MOUSE_DOWN, x, y);
    EXPECT_EQ(combat.getStage(), core::CombatManager::move) << "with the widget gone the square is clicked";
    EXPECT_EQ(luaString("s:combatStage()"), "move");
    cover->destroy();
    session->setCamera(nullptr);
    combat.leaveCombat();
    EXPECT_EQ(luaString("s:combatStage()"), "none");
}

using PartyViews = SessionFixture;

TEST_F(PartyViews, PartyAndViewBindingsOpenThePartyMenu)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    gui::PartyMenu* menu = gui::GUIElement::make<gui::PartyMenu>("Party", session->getCurrentParty());
    session->setPartyView(menu);
    core::LuaInterface::runString("s:view('oskel')");
    EXPECT_FALSE(menu->isHidden());
    ASSERT_NE(menu->getCharacterSheet(), nullptr);
    EXPECT_EQ(menu->getCharacterSheet()->getCharacter()->getId(), "oskel");
    menu->hide();
    core::LuaInterface::runString("s:party()");
    EXPECT_FALSE(menu->isHidden());
    EXPECT_EQ(optionsOf(menu), (Texts{"fenwy", "oskel"}));
    session->setPartyView(nullptr);
    menu->destroy();
}

using QuestLog = SessionFixture;

TEST_F(QuestLog, ScriptsBeginAndFinishQuestsOnceAndTheMenuListsThem)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    // The event manager keeps its listeners for good, so one log serves
    // every test of this program.
    static core::QuestManager* log = []
    {
        auto* manager = new core::QuestManager(nullptr);
        event::EventManager::registerEventListener(static_cast<event::Listener<event::BeginQuestEvent>*>(manager));
        event::EventManager::registerEventListener(static_cast<event::Listener<event::EndQuestEvent>*>(manager));
        return manager;
    }();
    session->story().setQuestManager(log);
    StdoutCapture out;
    core::LuaInterface::runString("s:beginQuest('ferry', 'Cross to the town')");
    core::LuaInterface::runString("s:beginQuest('ferry', 'Again')");
    core::LuaInterface::runString("s:endQuest('cave')");
    EXPECT_EQ(luaInt("s:questState('ferry')"), 1);
    EXPECT_EQ(luaInt("s:questState('cave')"), 0) << "ending a quest never begun does nothing";
    core::LuaInterface::runString("s:beginQuest('cave', 'Open the cave')");
    core::LuaInterface::runString("s:endQuest('ferry')");
    EXPECT_EQ(luaInt("s:questState('ferry')"), 2);
    EXPECT_EQ(out.text(), "started your banana quest\nQuest started: Cross to the town\n"
                          "started your banana quest\nQuest started: Open the cave\n"
                          "finished your banana quest\nQuest finished: Cross to the town\n");

    gui::QuestMenu* menu = gui::GUIElement::make<gui::QuestMenu>("Quests", log);
    menu->show();
    EXPECT_EQ(optionsOf(menu), (Texts{"Done: Cross to the town", "Open the cave"}));
    menu->destroy();
    session->story().setQuestManager(nullptr);
}

using Ending = SessionFixture;

TEST_F(Ending, TheEndingScreenWaitsForTheClosingWordsThenTakesTheKeys)
{
    core::Session* session = sessionInTestA();
    ASSERT_NE(session, nullptr);
    {
        LogTail log("Session");
        EXPECT_EQ(luaString("tostring(s:theEnd())"), "false");
        EXPECT_TRUE(log.contains("No ending screen")) << "a game without one says so";
    }
    int playAgain = 0;
    gui::EndScreen* ending = gui::GUIElement::make<gui::EndScreen>([&playAgain] { ++playAgain; }, nullptr);
    session->setEndingView(ending);
    core::DialogManager* dialogs = session->getDialogManager();
    dialogs->startNewDialog(DIALOG, "start", "guard");
    EXPECT_EQ(luaString("tostring(s:theEnd())"), "true");
    updateTimes(*session, 3);
    EXPECT_TRUE(ending->isHidden()) << "the conversation's last words are read first";
    EXPECT_TRUE(session->getLevelInputContext()->getIsEnabled());

    dialogs->endDialog();
    updateTimes(*session, 1);
    EXPECT_FALSE(ending->isHidden());
    EXPECT_FALSE(session->getLevelInputContext()->getIsEnabled()) << "nobody walks under the ending";
    clickOn(ending->getPlayAgainButton());
    EXPECT_EQ(playAgain, 1);
    session->setEndingView(nullptr);
    ending->destroy();
    session->setInputIsEnabled(true);
}

TEST_F(Ending, AFightUnderWayIsFinishedBeforeTheEndingShows)
{
    core::Session* session = sessionInTestA(2, 2);
    ASSERT_NE(session, nullptr);
    gui::EndScreen* ending = gui::GUIElement::make<gui::EndScreen>(nullptr, nullptr);
    session->setEndingView(ending);
    session->getDialogManager()->startNewDialog(DIALOG, "ambush", "guard");
    ASSERT_TRUE(session->getCombatManager().isInCombat());
    ASSERT_TRUE(session->theEnd());
    updateTimes(*session, 2);
    EXPECT_TRUE(ending->isHidden());
    session->getCombatManager().leaveCombat();
    updateTimes(*session, 1);
    EXPECT_FALSE(ending->isHidden());
    session->setEndingView(nullptr);
    ending->destroy();
    session->setInputIsEnabled(true);
}
