#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "application/GameScreens.h"
#include "application/Settings.h"
#include "application/SettingsScreen.h"
#include "gui/ChoiceMenu.h"
#include "gui/GUITextBox.h"
#include "gui/GuiTestSupport.h"
#include "support/Files.h"

using application::GameScreens;

namespace
{
class GameScreensTest : public guitest::HeadlessGui
{
protected:
    GameScreens::Actions actions()
    {
        GameScreens::Actions a;
        a.quit = [this]() { ++quits; };
        a.quitToTitle = [this]() { ++toTitle; };
        return a;
    }

    int quits = 0;
    int toTitle = 0;
};
}

TEST_F(GameScreensTest, OnTheMapTheFirstEscapePausesAndTheSecondQuits)
{
    GameScreens screens("Game", nullptr, nullptr, actions());
    EXPECT_FALSE(screens.holdsTheWorld());
    EXPECT_TRUE(screens.pauseOrQuit()) << "the first press opens the pause menu";
    EXPECT_TRUE(screens.isPaused());
    EXPECT_TRUE(screens.holdsTheWorld());
    EXPECT_FALSE(screens.getPause()->isHidden());
    EXPECT_EQ(screens.getPause()->getNote()->getText(), GameScreens::ESCAPE_AGAIN);
    EXPECT_FALSE(screens.pauseOrQuit()) << "the second one quits";

    // Escape inside the menu quits, X resumes.
    EXPECT_TRUE(screens.getPause()->backOut(false));
    EXPECT_FALSE(screens.isPaused());
    EXPECT_TRUE(screens.getPause()->isHidden());
    EXPECT_TRUE(screens.pauseOrQuit());
    EXPECT_TRUE(screens.getPause()->backOut(true));
    EXPECT_EQ(quits, 1);
}

TEST_F(GameScreensTest, ThePauseMenuOffersItsEntriesAndGreysWhatCannotBeDone)
{
    GameScreens screens("Game", nullptr, nullptr, actions());
    gui::ChoiceMenu* pause = screens.getPause();
    EXPECT_EQ(pause->getEntryTexts(),
              std::vector<std::string>({"Resume", "Save", "Load", "Settings", "Quit to title", "Quit"}));
    EXPECT_FALSE(pause->isEnabled(pause->indexOf("Save"))) << "a game without saves cannot save";
    EXPECT_FALSE(pause->isEnabled(pause->indexOf("Load")));
    screens.pauseOrQuit();
    EXPECT_TRUE(pause->choose(pause->indexOf("Quit to title")));
    EXPECT_EQ(toTitle, 1);
    EXPECT_TRUE(pause->choose(pause->indexOf("Resume")));
    EXPECT_FALSE(screens.isPaused());
}

TEST_F(GameScreensTest, TheTitleHoldsTheWorldUntilANewGameAndEscapeThereQuits)
{
    GameScreens screens("Lantern", nullptr, nullptr, actions());
    screens.showTitle();
    gui::ChoiceMenu* title = screens.getTitle();
    EXPECT_EQ(title->getTitle(), "Lantern");
    EXPECT_EQ(title->getEntryTexts(), std::vector<std::string>({"New game", "Continue", "Load", "Settings", "Quit"}));
    EXPECT_FALSE(title->isEnabled(title->indexOf("Continue"))) << "no save to continue";
    EXPECT_TRUE(screens.holdsTheWorld());
    EXPECT_FALSE(screens.pauseOrQuit()) << "nothing to lose on the title: Escape quits";
    EXPECT_TRUE(title->choose(title->indexOf("New game")));
    EXPECT_FALSE(screens.holdsTheWorld());
    EXPECT_TRUE(title->isHidden());
    EXPECT_TRUE(screens.pauseOrQuit());
}

TEST_F(GameScreensTest, TheSettingsOpenFromThePauseMenuAndGoBackToIt)
{
    testsupport::ScratchFolder folder("zolt-settings-menu");
    const std::string path = folder.path() + "/settings.xml";
    application::Settings settings;
    int applied = 0;
    application::SettingsScreen settingsScreen(
        settings, path, [&applied]() { ++applied; }, nullptr);
    GameScreens screens("Game", nullptr, &settingsScreen, actions());
    screens.pauseOrQuit();
    gui::ChoiceMenu* pause = screens.getPause();
    ASSERT_TRUE(pause->choose(pause->indexOf("Settings")));
    EXPECT_TRUE(settingsScreen.isShown());
    EXPECT_TRUE(pause->isHidden());

    gui::ChoiceMenu* menu = settingsScreen.getMenu();
    ASSERT_TRUE(menu->choose(menu->indexOf("Music volume: 80%")));
    EXPECT_EQ(settings.musicVolume, 90);
    ASSERT_TRUE(menu->choose(menu->indexOf("Window scale: 1x")));
    ASSERT_TRUE(menu->choose(menu->indexOf("Full screen: off")));
    EXPECT_EQ(applied, 3) << "each change takes effect at once";
    EXPECT_NE(menu->indexOf("Window scale: 2x"), -1) << "the entry shows the new value";
    application::Settings reread;
    EXPECT_TRUE(reread.load(path));
    EXPECT_EQ(reread.musicVolume, 90) << "and is saved at once";
    EXPECT_EQ(reread.windowScale, 2);
    EXPECT_TRUE(reread.fullScreen);

    EXPECT_TRUE(menu->backOut(true));
    screens.update();
    EXPECT_FALSE(settingsScreen.isShown());
    EXPECT_FALSE(pause->isHidden()) << "back to the pause menu";
}

TEST(SettingsScreen, ValuesGoRoundTheirRanges)
{
    const std::vector<std::pair<int, int>> volumes = {{0, 10}, {80, 90}, {90, 100}, {100, 0}, {85, 90}};
    for (const auto& step : volumes)
        EXPECT_EQ(application::SettingsScreen::nextVolume(step.first), step.second) << step.first;
    const std::vector<std::pair<int, int>> scales = {{1, 2}, {2, 3}, {3, 4}, {4, 1}, {0, 1}, {9, 1}};
    for (const auto& step : scales)
        EXPECT_EQ(application::SettingsScreen::nextScale(step.first), step.second) << step.first;
}
