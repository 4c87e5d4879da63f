#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/InputContext.h"
#include "gui/ChoiceMenu.h"
#include "gui/GuiTestSupport.h"
#include "gui/MenuKeys.h"

using application::KEYHELD;
using application::KEYHIT;
using application::KEYUP;

namespace
{
const int KEY_DOWN = application::KEY_UP + 1;
const int KEY_LEFT = application::KEY_UP + 2;
const int KEY_RIGHT = application::KEY_UP + 3;
const int KEY_ENTER = application::KEY_TAB + 1;

class MenuKeysTest : public guitest::HeadlessGui
{
protected:
    // A menu of three entries that records which one was taken.
    gui::ChoiceMenu* threeChoices(const std::string& title, std::vector<std::string>& taken)
    {
        gui::ChoiceMenu* menu = gui::GUIElement::make<gui::ChoiceMenu>(title);
        for (const char* text : {"first", "second", "third"})
            menu->addChoice(text, [&taken, text]() { taken.push_back(text); });
        return menu;
    }

    // One press as the input manager offers it: hit, then the release.
    bool tap(gui::MenuKeys& keys, int key)
    {
        const bool consumed = keys.dispatch(key, KEYHIT);
        keys.dispatch(key, application::KEYLETGO);
        return consumed;
    }
};

// A band that leaves the letters to the map under it, as a fight's does.
class LetterlessMenu : public gui::ChoiceMenu
{
public:
    using gui::ChoiceMenu::ChoiceMenu;
    bool keepsLetters() const override { return true; }
};
}

TEST_F(MenuKeysTest, ArrowsLettersAndEnterMoveTheFocusAndTakeTheEntry)
{
    struct Case
    {
        std::vector<int> keys;
        const char* taken;
    };
    const std::vector<Case> cases = {
        {{KEY_ENTER}, "first"},
        {{KEY_DOWN, KEY_ENTER}, "second"},
        {{application::KEY_S, application::KEY_S, application::KEY_Z}, "third"},
        {{KEY_DOWN, KEY_DOWN, KEY_DOWN, ' '}, "first"},          // round from the bottom
        {{application::KEY_UP, KEY_ENTER}, "third"},             // round from the top
        {{KEY_RIGHT, KEY_RIGHT, KEY_LEFT, KEY_ENTER}, "second"}, // sideways as well
        {{application::KEY_D, application::KEY_W, application::KEY_Z}, "first"},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> taken;
        gui::ChoiceMenu* menu = threeChoices("Pick", taken);
        menu->show();
        gui::MenuKeys keys(nullptr);
        for (int key : c.keys)
            EXPECT_TRUE(tap(keys, key)) << "an open menu takes key " << key;
        EXPECT_EQ(taken, std::vector<std::string>({c.taken}));
        menu->destroy();
        gui::GUIManager::update();
    }
}

TEST_F(MenuKeysTest, AHeldKeyMovesOnceAndReleasedKeysGoOnToTheGame)
{
    std::vector<std::string> taken;
    threeChoices("Pick", taken)->show();
    gui::MenuKeys keys(nullptr);
    EXPECT_TRUE(keys.dispatch(KEY_DOWN, KEYHIT));
    EXPECT_TRUE(keys.dispatch(KEY_DOWN, KEYHELD));
    EXPECT_TRUE(keys.dispatch(KEY_DOWN, KEYHELD));
    EXPECT_FALSE(keys.dispatch(KEY_DOWN, KEYUP));
    EXPECT_FALSE(keys.dispatch(application::KEY_P, KEYHIT)) << "keys that steer no menu are the game's";
    tap(keys, KEY_ENTER);
    EXPECT_EQ(taken, std::vector<std::string>({"second"}));
}

TEST_F(MenuKeysTest, TheMenuShownLastTakesTheKeysAndHidingItGivesThemBack)
{
    std::vector<std::string> under;
    std::vector<std::string> over;
    gui::ChoiceMenu* lower = threeChoices("Under", under);
    lower->show();
    gui::ChoiceMenu* upper = threeChoices("Over", over);
    upper->show();
    gui::MenuKeys keys(nullptr);
    tap(keys, KEY_DOWN);
    tap(keys, KEY_ENTER);
    EXPECT_EQ(over, std::vector<std::string>({"second"}));
    EXPECT_TRUE(under.empty());
    upper->hide();
    tap(keys, KEY_ENTER);
    EXPECT_EQ(under, std::vector<std::string>({"first"})) << "the menu below starts from its first entry";
}

TEST_F(MenuKeysTest, AGreyedEntryDoesNothing)
{
    std::vector<std::string> taken;
    gui::ChoiceMenu* menu = threeChoices("Pick", taken);
    menu->setEnabled(0, false);
    menu->show();
    gui::MenuKeys keys(nullptr);
    tap(keys, KEY_ENTER);
    EXPECT_TRUE(taken.empty());
    EXPECT_FALSE(menu->choose(0));
    EXPECT_FALSE(menu->choose(7)) << "an index outside the menu is refused";
    EXPECT_TRUE(menu->choose(2));
}

TEST_F(MenuKeysTest, EscapeAndXBackOutOnlyWhereTheMenuSaysHow)
{
    std::vector<std::string> taken;
    gui::ChoiceMenu* menu = threeChoices("Pause", taken);
    menu->show();
    gui::MenuKeys keys(nullptr);
    EXPECT_FALSE(tap(keys, application::KEY_ESC)) << "no handler: Escape goes on down (to the pause menu)";
    int escapes = 0;
    int backs = 0;
    menu->setOnEscape([&escapes]() { ++escapes; });
    menu->setOnBack([&backs]() { ++backs; });
    EXPECT_TRUE(tap(keys, application::KEY_ESC));
    EXPECT_TRUE(tap(keys, application::KEY_X));
    EXPECT_EQ(escapes, 1);
    EXPECT_EQ(backs, 1);
    EXPECT_TRUE(taken.empty());
}

TEST_F(MenuKeysTest, WithNoMenuShownMOpensTheMainMenuAndTheRestIsTheGames)
{
    int opened = 0;
    gui::MenuKeys keys([&opened]() { ++opened; });
    EXPECT_FALSE(keys.dispatch(application::KEY_W, KEYHIT));
    EXPECT_FALSE(keys.dispatch(KEY_ENTER, KEYHIT));
    EXPECT_TRUE(keys.dispatch(application::KEY_M, KEYHIT));
    EXPECT_FALSE(keys.dispatch(application::KEY_M, KEYHELD));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(keys.focused(), nullptr);
}

TEST_F(MenuKeysTest, ABandThatKeepsTheLettersIsSteeredByArrowsOnly)
{
    std::vector<std::string> taken;
    LetterlessMenu* band = gui::GUIElement::make<LetterlessMenu>("Fight");
    band->addChoice("back", [&taken]() { taken.push_back("back"); });
    band->addChoice("finish", [&taken]() { taken.push_back("finish"); });
    band->show();
    gui::MenuKeys keys(nullptr);
    EXPECT_FALSE(tap(keys, application::KEY_S)) << "S steps the fighter";
    EXPECT_FALSE(tap(keys, application::KEY_Z)) << "Z chooses a square";
    EXPECT_TRUE(tap(keys, KEY_DOWN));
    EXPECT_TRUE(tap(keys, KEY_ENTER));
    EXPECT_EQ(taken, std::vector<std::string>({"finish"}));
}

TEST_F(MenuKeysTest, ALongListScrollsUnderTheFocusAndGoesRound)
{
    struct Case
    {
        std::vector<int> keys;
        const char* taken;
    };
    // Five entries, three in sight.
    const std::vector<Case> cases = {
        {{KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER}, "4"},                     // scrolled one on
        {{KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER}, "5"},           // to the end
        {{KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_DOWN, KEY_ENTER}, "1"}, // round to the top
        {{application::KEY_UP, KEY_ENTER}, "5"},                              // round to the bottom
        {{application::KEY_UP, application::KEY_UP, application::KEY_UP, application::KEY_UP, KEY_ENTER}, "2"},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> taken;
        gui::ChoiceMenu* menu = gui::GUIElement::make<gui::ChoiceMenu>("Long");
        for (const char* text : {"1", "2", "3", "4", "5"})
            menu->addChoice(text, [&taken, text]() { taken.push_back(text); });
        menu->setNumEntriesToDisplay(3);
        menu->show();
        gui::MenuKeys keys(nullptr);
        for (int key : c.keys)
            tap(keys, key);
        EXPECT_EQ(taken, std::vector<std::string>({c.taken}));
        menu->destroy();
        gui::GUIManager::update();
    }
}
