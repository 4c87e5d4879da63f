#pragma once

#include <functional>
#include <memory>
#include <string>

namespace core
{
class SaveGameManager;
}

namespace gui
{
class ChoiceMenu;
class SaveMenu;
}

namespace application
{
class SettingsScreen;

// The title screen and the pause menu, and the way out of the game through
// them. Started without --new-game, the game opens on the title (New game,
// Continue, Load, Settings, Quit) over its first scene. On the map, Escape
// or closing the window opens the pause menu (Resume, Save, Load,
// Settings, Quit to title, Quit); a second Escape or close there quits, so
// one stray key no longer ends a session that was not saved.
class GameScreens
{
public:
    struct Actions
    {
        std::function<void()> quit;
        std::function<void()> quitToTitle;
    };

    // `saves` may be null (a game without a session): then there is
    // nothing to continue, load or save.
    GameScreens(const std::string& gameTitle, core::SaveGameManager* saves, SettingsScreen* settings, Actions actions);
    ~GameScreens();

    void showTitle();
    bool isTitleShown() const;
    bool isPaused() const { return _paused; }
    // Whether the world should stand still: on the title, in the pause
    // menu and in what they opened.
    bool holdsTheWorld() const { return _onTitle || _paused; }

    // Escape reached the bottom of the input stack, or the window was asked
    // to close: true when that opened the pause menu, false when the game
    // should quit now.
    bool pauseOrQuit();
    void resume();

    // Once a frame: a load started from the title or the pause menu, once
    // done, leaves them for the game.
    void update();

    gui::ChoiceMenu* getTitle() const { return _title; }
    gui::ChoiceMenu* getPause() const { return _pause; }

    static const char* const ESCAPE_AGAIN;

private:
    void buildTitle(const std::string& gameTitle);
    void buildPause();
    void openSettings(gui::ChoiceMenu* from);
    void openLoad(gui::ChoiceMenu* from);
    void openOver(gui::ChoiceMenu* from, gui::SaveMenu* menu);
    void leaveMenus();

    core::SaveGameManager* _saves;
    SettingsScreen* _settings;
    Actions _actions;
    gui::ChoiceMenu* _title = nullptr;
    gui::ChoiceMenu* _pause = nullptr;
    gui::SaveMenu* _saveMenu = nullptr;
    gui::SaveMenu* _loadMenu = nullptr;
    // The menu that the settings go back to.
    gui::ChoiceMenu* _settingsFrom = nullptr;
    // The menu that the save or load slots go back to.
    gui::ChoiceMenu* _openedFrom = nullptr;
    bool _onTitle = false;
    bool _paused = false;
    int _loadsSeen = 0;
};
}
