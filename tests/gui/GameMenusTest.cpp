#include <list>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "data/Character.h"
#include "combat/CombatManager.h"
#include "data/Party.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"
#include "gui/CharacterMenu.h"
#include "gui/CombatDisplay.h"
#include "gui/CombatMenu.h"
#include "gui/DialogMenu.h"
#include "gui/EndScreen.h"
#include "gui/FighterBars.h"
#include "gui/GUIButton.h"
#include "gui/GUIListViewEntry.h"
#include "gui/InventoryMenu.h"
#include "gui/MainMenu.h"
#include "gui/MainMenuButton.h"
#include "gui/PartyMenu.h"
#include "gui/StatBar.h"
#include "graphics/TGCamera.h"
#include "graphics/TGSprite.h"
#include <sstream>

#include "Log/Log.h"
#include "sound/SoundHandler.h"

using guitest::HeadlessGui;

namespace
{
glm::vec2 centreOf(const gui::GUIElement* widget)
{
    return widget->getPosition();
}

// Requests for the "text" sound so far, as the sound handler logs them.
int textRequests()
{
    static std::ostringstream* vosk = []
    {
        auto* stream = new std::ostringstream();
        Log::setNamedStream("vosk", stream);
        return stream;
    }();
    const std::string log = vosk->str();
    int count = 0;
    for (size_t at = log.find("play text in 0"); at != std::string::npos; at = log.find("play text in 0", at + 1))
        ++count;
    return count;
}
}

class GameMenus : public HeadlessGui
{
protected:
    void clickOn(const gui::GUIElement* widget)
    {
        const glm::vec2 at = centreOf(widget);
        click(at.x, at.y);
    }

    // Characters of their own, outside Lua memory: the menus only read them.
    core::Character* member(const std::string& id)
    {
        _characters.emplace_back(new core::Character(id, false));
        return _characters.back().get();
    }

    std::vector<std::unique_ptr<core::Character>> _characters;
};

TEST_F(GameMenus, TheMenuButtonOpensTheMainMenuWhichClosesOnAnyReleaseAndOnLeaving)
{
    gui::MainMenu* mainMenu = gui::GUIElement::make<gui::MainMenu>("Menu");
    gui::MainMenuButton* button = gui::GUIElement::make<gui::MainMenuButton>(mainMenu);
    gui::GUIElement* target = gui::GUIElement::make<gui::GUIElement>();
    target->hide();
    mainMenu->addEntry("Party", target);
    mainMenu->addEntry("Other", nullptr);
    EXPECT_TRUE(mainMenu->isHidden()) << "the button hides the menu it opens";
    EXPECT_EQ(button->getRectangle()->getWidthInPixels(), 80);
    EXPECT_EQ(button->getPosition(), glm::vec2(-0.875f, -0.9375f));

    clickOn(button);
    EXPECT_FALSE(mainMenu->isHidden());
    const glm::vec2 onMenu = centreOf(mainMenu);
    click(onMenu.x, 0.96f); // on the title band, no entry
    EXPECT_TRUE(mainMenu->isHidden()) << "any release on the menu closes it";
    EXPECT_TRUE(target->isHidden());

    clickOn(button);
    clickOn(mainMenu->getEntry(0));
    EXPECT_FALSE(target->isHidden()) << "the entry opens its widget";
    EXPECT_TRUE(mainMenu->isHidden());

    clickOn(button);
    hover(onMenu.x, onMenu.y);
    hover(0.5f, 0.0f);
    EXPECT_TRUE(mainMenu->isHidden()) << "leaving it closes it";
}

TEST_F(GameMenus, ThePartyMenuListsTheMembersAsTheyAreWhenShownAndShowsTheChosenSheet)
{
    core::Party party("heroes");
    party.addMember(member("fenwy"));
    party.addMember(member("oskel"));
    gui::PartyMenu* menu = gui::GUIElement::make<gui::PartyMenu>("Party", &party);
    EXPECT_TRUE(menu->isHidden());
    ASSERT_NE(menu->getCharacterSheet(), nullptr);
    EXPECT_EQ(menu->getCharacterSheet()->getCharacter()->getId(), "fenwy") << "the first member";

    party.addMember(member("aldric"));
    menu->show();
    EXPECT_EQ(menu->getEntryKeys(), (std::vector<std::string>{"aldric", "fenwy", "oskel"}));
    EXPECT_EQ(menu->getEntryTexts(), (std::vector<std::string>{"Aldric", "Fenwy", "Oskel"})) << "display names";
    EXPECT_EQ(menu->getTitle(), "Party");
    EXPECT_FALSE(menu->getCloseButton()->isHidden());
    EXPECT_NEAR(menu->getEntry(0)->getPosition().x, -0.7f, 1e-5f);
    EXPECT_NEAR(menu->getCharacterSheet()->getPosition().x, 0.3f, 1e-5f);

    clickOn(menu->getEntry(2));
    EXPECT_EQ(menu->getCharacterSheet()->getCharacter()->getId(), "oskel");
    clickOn(menu->getCloseButton());
    EXPECT_TRUE(menu->isHidden());
    EXPECT_TRUE(menu->getCharacterSheet()->isHidden());
    EXPECT_TRUE(menu->getEntry(0)->isHidden());
}

TEST_F(GameMenus, AnEmptyPartyHasNoSheetUntilSomebodyJoins)
{
    core::Party party("nobody");
    gui::PartyMenu* menu = gui::GUIElement::make<gui::PartyMenu>("Party", &party);
    EXPECT_EQ(menu->getCharacterSheet(), nullptr);
    menu->show();
    EXPECT_EQ(menu->size(), 0);
    party.addMember(member("fenwy"));
    menu->hide();
    menu->show();
    ASSERT_NE(menu->getCharacterSheet(), nullptr);
    EXPECT_EQ(menu->getCharacterSheet()->getCharacter()->getId(), "fenwy");
}

TEST_F(GameMenus, TheCharacterSheetShowsOneLinePerStatisticWithoutScrolling)
{
    core::Character* hero = member("fenwy");
    hero->addStr(7);
    hero->addHP(true, 24);
    hero->addHP(false, 20);
    gui::CharacterMenu* sheet = gui::GUIElement::make<gui::CharacterMenu>(hero);
    sheet->setHeight(1.8f);
    const std::vector<std::string> lines = gui::CharacterMenu::sheetLines(hero);
    ASSERT_EQ(sheet->size(), static_cast<int>(lines.size()));
    EXPECT_EQ(lines[0], "Fenwy") << "the display name heads the sheet";
    EXPECT_EQ(lines[1], "HP now: 20 of 24");
    EXPECT_EQ(lines[3], "Strength: 7");
    EXPECT_LE(sheet->size(), 20);
    EXPECT_TRUE(sheet->getUpScrollButton()->isHidden()) << "20 lines fit";
    for (gui::GUIListViewEntry* entry : sheet->getEntries())
        EXPECT_FALSE(entry->isHidden()) << entry->getText();
}

TEST_F(GameMenus, DialogTextPagesBy105CharactersThenTheOptionsAppear)
{
    gui::DialogMenu* dialog = gui::GUIElement::make<gui::DialogMenu>(nullptr, "", "");
    const std::string text(230, 'x');
    dialog->reset(text, {"yes", "no"});
    EXPECT_EQ(dialog->getPage().size(), 105u);
    EXPECT_TRUE(dialog->getEntry(0)->isHidden());
    const int requests = textRequests();
    const glm::vec2 band = centreOf(dialog);
    click(band.x, band.y);
    EXPECT_EQ(dialog->getPage().size(), 105u);
    click(band.x, band.y);
    EXPECT_EQ(dialog->getPage().size(), 20u);
    EXPECT_TRUE(dialog->isShowingText());
    click(band.x, band.y);
    EXPECT_FALSE(dialog->isShowingText());
    EXPECT_FALSE(dialog->getEntry(0)->isHidden()) << "the options come after the last page";
    EXPECT_TRUE(dialog->getGraphicsText()->isHidden());
    EXPECT_EQ(textRequests() - requests, 3) << "every click sounds";

    dialog->reset(std::string(105, 'y'));
    EXPECT_EQ(dialog->getPage().size(), 105u);
    click(band.x, band.y);
    EXPECT_TRUE(dialog->isShowingText());
    EXPECT_EQ(dialog->getPage(), "") << "an exact multiple of a page ends with an empty one";
    click(band.x, band.y);
    EXPECT_FALSE(dialog->isShowingText());
}

TEST_F(GameMenus, TheCombatMenuHandsTheClickedOptionToTheCombatManager)
{
    gui::CombatDisplay::useForEveryFight();
    core::CombatManager combat(nullptr);
    gui::CombatMenu* menu = dynamic_cast<gui::CombatDisplay&>(*combat.getView()).menu();
    EXPECT_TRUE(menu->isHidden());
    EXPECT_EQ(menu->getTitle(), "COMBAT");
    EXPECT_EQ(menu->getRectangle()->getHeightInPixels(), 120);
    std::list<core::Character*> nobody;
    combat.enterCombat(&nobody);
    ASSERT_FALSE(menu->isHidden());
    ASSERT_EQ(menu->getEntryKeys(), (std::vector<std::string>{"pass_turn", "exit_combat"}));
    EXPECT_EQ(menu->getEntryTexts(), (std::vector<std::string>{"Pass turn", "Flee"})) << "labels, not ids";
    EXPECT_EQ(menu->getTitle(), "Choose a character or pass the turn");
    clickOn(menu->getEntry(0));
    EXPECT_EQ(combat.getStage(), core::CombatManager::enemy);
    EXPECT_EQ(menu->getEntryKeys(), std::vector<std::string>{"continue"});
    clickOn(menu->getEntry(0));
    EXPECT_EQ(combat.getStage(), core::CombatManager::base);
    clickOn(menu->getEntry(1));
    EXPECT_FALSE(combat.isInCombat());
    EXPECT_TRUE(menu->isHidden());
}

TEST(InventoryCounts, EachKindOnceInOrderOfFirstAppearanceWithItsCount)
{
    using Counts = std::vector<std::pair<std::string, int>>;
    EXPECT_EQ(gui::InventoryMenu::countItems({"potion", "banana", "potion"}), (Counts{{"potion", 2}, {"banana", 1}}));
    EXPECT_TRUE(gui::InventoryMenu::countItems({}).empty());
}

TEST_F(GameMenus, TheEndingScreenCoversTheWindowAndItsChoicesDoWhatTheyAreGiven)
{
    int playAgain = 0;
    int quit = 0;
    gui::MainMenuButton* menuButton =
        gui::GUIElement::make<gui::MainMenuButton>(gui::GUIElement::make<gui::MainMenu>("Menu"));
    gui::EndScreen* ending = gui::GUIElement::make<gui::EndScreen>([&playAgain] { ++playAgain; }, [&quit] { ++quit; });
    EXPECT_TRUE(ending->isHidden()) << "made at start-up, shown only at the end";
    EXPECT_TRUE(ending->getPlayAgainButton()->isHidden());
    ending->show();
    EXPECT_EQ(ending->getRectangle()->getWidthInPixels(), 640);
    EXPECT_EQ(ending->getRectangle()->getHeightInPixels(), 480);
    EXPECT_EQ(ending->getBackgroundColor().a, 1.0f) << "nothing of the world shows through";
    EXPECT_FALSE(ending->getRectangle()->isPanel()) << "a dark backdrop, not a framed panel";
    EXPECT_EQ(ending->getTitle()->getText(), "The End");
    for (gui::GUIElement* part : std::vector<gui::GUIElement*>{ending->getTitle(), ending->getClosingLine(),
                                                               ending->getPlayAgainButton(), ending->getQuitButton()})
    {
        EXPECT_FALSE(part->isHidden());
        EXPECT_GT(part->getLayer(), ending->getLayer()) << "drawn over the screen's background";
    }
    // The texts in the middle, the buttons either side of it.
    EXPECT_NEAR(ending->getTitle()->getPosition().x, 0.0f, 1e-5f);
    EXPECT_NEAR(ending->getClosingLine()->getPosition().x, 0.0f, 1e-5f);
    EXPECT_NEAR(ending->getPlayAgainButton()->getPosition().x, -0.3f, 1e-5f);
    EXPECT_NEAR(ending->getQuitButton()->getPosition().x, 0.3f, 1e-5f);
    // The buttons stay clear of the Menu button in the corner, whose clicks
    // would open the main menu under the ending.
    const glm::vec2 corner = menuButton->getPosition();
    EXPECT_FALSE(ending->getPlayAgainButton()->insideBounds(corner.x, corner.y));
    EXPECT_FALSE(ending->getQuitButton()->insideBounds(corner.x, corner.y));

    clickOn(ending->getQuitButton());
    EXPECT_EQ(quit, 1);
    EXPECT_EQ(playAgain, 0);
    clickOn(ending->getPlayAgainButton());
    EXPECT_EQ(playAgain, 1);
    click(0.0f, 0.9f);
    EXPECT_EQ(quit + playAgain, 2) << "a click beside the buttons does nothing";
    ending->hide();
    EXPECT_TRUE(ending->getQuitButton()->isHidden());
    EXPECT_FALSE(ending->getQuitButton()->insideBounds(0.3f, -0.4f)) << "a hidden button takes no clicks";
}

TEST(StatBar, TheFillIsTheShareLeftKeptBetweenEmptyAndFull)
{
    struct Case
    {
        int current;
        int maximum;
        float share;
    };
    const Case cases[] = {
        {30, 30, 1.0f}, {15, 30, 0.5f}, {0, 30, 0.0f},  {-5, 30, 0.0f}, // overkill leaves an empty bar
        {49, 30, 1.0f},                                                    // above the maximum: full, not past it
        {5, 0, 0.0f},   {5, -3, 0.0f},                                     // no maximum: nothing to show
        {2147483647, 2147483647, 1.0f}, {-2147483647 - 1, 2147483647, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_FLOAT_EQ(gui::StatBar::fraction(c.current, c.maximum), c.share) << c.current << " of " << c.maximum;
}

TEST_F(GameMenus, ThePartyMenuShowsEachMembersHitPointsAndFatigueAsBars)
{
    core::Party party("heroes");
    core::Character* fenwy = member("fenwy");
    fenwy->addHP(true, 40);
    fenwy->addHP(false, 10);
    fenwy->addFatigue(true, 16);
    fenwy->addFatigue(false, 16);
    party.addMember(fenwy);
    party.addMember(member("oskel")); // no maximum at all
    gui::PartyMenu* menu = gui::GUIElement::make<gui::PartyMenu>("Party", &party);
    menu->show();
    ASSERT_NE(menu->getHPBar(0), nullptr);
    ASSERT_NE(menu->getFatigueBar(1), nullptr);
    EXPECT_EQ(menu->getHPBar(2), nullptr);
    EXPECT_EQ(menu->getHPBar(-1), nullptr);
    EXPECT_FLOAT_EQ(menu->getHPBar(0)->getFraction(), 0.25f);
    EXPECT_FLOAT_EQ(menu->getFatigueBar(0)->getFraction(), 1.0f);
    EXPECT_FLOAT_EQ(menu->getHPBar(1)->getFraction(), 0.0f);
    EXPECT_FALSE(menu->getHPBar(0)->isHidden());
    EXPECT_TRUE(menu->getHPBar(1)->getFill()->isHidden()) << "an empty bar has no fill to draw";
    EXPECT_GT(menu->getHPBar(0)->getLayer(), menu->getEntry(0)->getLayer()) << "bars lie over their entry";
    EXPECT_NEAR(menu->getHPBar(0)->getPosition().x, menu->getEntry(0)->getPosition().x, 1e-5f);

    menu->hide();
    fenwy->addHP(false, 20);
    EXPECT_TRUE(menu->getHPBar(0)->isHidden());
    menu->show();
    EXPECT_FLOAT_EQ(menu->getHPBar(0)->getFraction(), 0.75f) << "the bars are read again when the menu opens";
}

TEST_F(GameMenus, TheDialogBandShowsTheSpeakersFaceBesideTheTextAndGivesWayToTheOptions)
{
    gui::DialogMenu* band = gui::GUIElement::make<gui::DialogMenu>(nullptr, "Guard", "Halt! Who goes there?",
                                                                   std::vector<std::string>{"A friend.", "Nobody."});
    const float textLeftAlone = band->getGraphicsText()->getWindowPosition().x;
    EXPECT_FALSE(band->hasFace());
    band->setFace("Guard", glm::ivec4(0, 0, 16, 16));
    ASSERT_NE(band->getFace(), nullptr);
    EXPECT_TRUE(band->hasFace());
    EXPECT_FALSE(band->getFace()->isHidden());
    EXPECT_EQ(band->getFace()->getRectangle()->getImageTexture(), "Guard");
    EXPECT_EQ(band->getFace()->getRectangle()->getImagePixels(), glm::ivec4(0, 0, 16, 16));
    const float faceRight = band->getFace()->getPosition().x + band->getFace()->getWidth() / 2.0f;
    const float bandLeft = band->getPosition().x - band->getWidth() / 2.0f;
    EXPECT_GT(band->getFace()->getPosition().x - band->getFace()->getWidth() / 2.0f, bandLeft) << "inside the band";
    EXPECT_GT(band->getGraphicsText()->getWindowPosition().x, faceRight) << "the text starts right of the face";
    EXPECT_GT(band->getFace()->getLayer(), band->getLayer()) << "drawn over the band";

    const glm::vec2 at = band->getPosition();
    click(at.x, at.y);
    ASSERT_FALSE(band->isShowingText());
    EXPECT_TRUE(band->getFace()->isHidden()) << "the options take the whole band";

    band->clearFace();
    band->reset("Move along.");
    EXPECT_TRUE(band->getFace()->isHidden()) << "a speaker without a face shows none";
    EXPECT_FLOAT_EQ(band->getGraphicsText()->getWindowPosition().x, textLeftAlone);
    band->destroy();
}

TEST(CameraProjection, AWorldPointShowsWhereTheScreenPointUnderItIs)
{
    tamsygraphics::Camera camera("cam", 640, 480, 45.0f, 0.5f, 100.0f);
    camera.MoveTo(200.0f, -120.0f);
    for (const glm::vec2 p : {glm::vec2(0.0f, 0.0f), glm::vec2(0.5f, -0.25f), glm::vec2(-1.0f, 1.0f)})
    {
        const glm::vec3 world = camera.ScreenSpaceToWorld(p);
        const glm::vec2 back = camera.WorldToScreenSpace(world);
        EXPECT_NEAR(back.x, p.x, 1e-4f);
        EXPECT_NEAR(back.y, p.y, 1e-4f);
    }
    const glm::vec2 right = camera.WorldToScreenSpace(glm::vec3(200.0f + 160.0f, -120.0f + 60.0f, 0.0f));
    EXPECT_NEAR(right.x, 0.5f, 1e-4f) << "160 pixels right of the centre is a quarter of the window";
    EXPECT_NEAR(right.y, 0.25f, 1e-4f);
}

TEST_F(GameMenus, TheTurnListStandsOnTheHalfOfTheWindowTheAvatarIsNotOn)
{
    gui::CombatDisplay display(nullptr);
    display.showTurnList({"fenwy", "brune (enemy)", "rusty (enemy)"});
    const float height = display.turnList()->getHeight();
    const struct
    {
        float avatarX;
        bool onTheLeft;
    } cases[] = {{-0.6f, false}, {0.4f, true}, {0.95f, true}, {-0.05f, false}, {0.0f, false}, {0.01f, true}};
    for (const auto& c : cases)
    {
        display.keepTurnListClearOf(c.avatarX);
        EXPECT_EQ(display.isTurnListOnTheLeft(), c.onTheLeft) << c.avatarX;
        EXPECT_EQ(display.turnList()->getPosition().x < 0.0f, c.onTheLeft) << c.avatarX;
        EXPECT_FLOAT_EQ(display.turnList()->getHeight(), height) << "the list keeps its size";
    }
}

TEST_F(GameMenus, EveryFighterHasAHitPointBarAboveItsHeadWhileTheFightLasts)
{
    core::CombatManager combat(nullptr);
    core::Character* wolf = member("wolf");
    tinyxml2::XMLDocument doc;
    ASSERT_EQ(doc.Parse("<character maxHP='20' curHP='5' maxFat='8' curFat='6'><sprite texture='Wolf' dimensionW='32' dimensionH='32' "
                        "sizeW='16' sizeH='16'/></character>"),
              tinyxml2::XML_SUCCESS);
    wolf->absorbXML(doc.RootElement());
    ASSERT_NE(wolf->getSprite(), nullptr);
    wolf->getSprite()->MoveTo(100.0f, 50.0f);
    core::Character* ghost = member("ghost"); // no sprite: nowhere to put a bar
    std::list<core::Character*> enemies{wolf, ghost};
    tamsygraphics::Camera camera("cam", 640, 480, 45.0f, 0.5f, 100.0f);
    camera.MoveTo(0.0f, 0.0f);
    auto bars = std::make_unique<gui::FighterBars>(&combat);

    bars->place(&camera);
    EXPECT_EQ(bars->barOf(wolf), nullptr) << "no fight, no bars";
    combat.enterCombat(&enemies);
    bars->place(&camera);
    gui::StatBar* bar = bars->barOf(wolf);
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_FLOAT_EQ(bar->getFraction(), 0.25f);
    // 50 + 16 (half the sprite) + 4 above the sprite's centre, 100 right.
    EXPECT_NEAR(bar->getPosition().x, 100.0f / 320.0f, 1e-4f);
    EXPECT_NEAR(bar->getPosition().y, 70.0f / 240.0f, 1e-4f);
    const gui::StatBar* fatigue = bars->fatigueBarOf(wolf);
    ASSERT_NE(fatigue, nullptr);
    EXPECT_FALSE(fatigue->isHidden());
    EXPECT_FLOAT_EQ(fatigue->getFraction(), 0.75f);
    EXPECT_NEAR(fatigue->getPosition().x, bar->getPosition().x, 1e-4f);
    EXPECT_GE(fatigue->getPosition().y - fatigue->getHeight() / 2.0f, bar->getPosition().y + bar->getHeight() / 2.0f)
        << "above the hit points, not over them";
    ASSERT_NE(bars->barOf(ghost), nullptr);
    EXPECT_TRUE(bars->barOf(ghost)->isHidden());
    EXPECT_TRUE(bars->fatigueBarOf(ghost)->isHidden());

    wolf->getSprite()->Move(32.0f, 0.0f);
    wolf->addHP(false, 5);
    bars->place(&camera);
    EXPECT_NEAR(bar->getPosition().x, 132.0f / 320.0f, 1e-4f) << "the bar walks with its fighter";
    EXPECT_FLOAT_EQ(bar->getFraction(), 0.5f) << "and shows the hit points as they are";

    enemies.remove(ghost);
    bars->place(&camera);
    EXPECT_EQ(bars->barOf(ghost), nullptr) << "a fighter out of the fight loses its bar";
    combat.leaveCombat();
    bars->place(&camera);
    EXPECT_EQ(bars->barOf(wolf), nullptr) << "the end of the fight takes every bar";
    EXPECT_EQ(bars->fatigueBarOf(wolf), nullptr);
}
