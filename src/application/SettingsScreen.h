#pragma once

#include <functional>
#include <string>

namespace gui
{
class ChoiceMenu;
}

namespace application
{
class Settings;

// The settings menu: each entry shows a setting's value and a choice of it
// moves to the next value (volumes by tens, the window scale 1x to 4x and
// round, full screen on and off); a key entry waits for the next key
// pressed and binds it. Every change is applied at once and saved.
class SettingsScreen
{
public:
    // `apply` puts the settings into effect (volumes, window); `closed`
    // runs when the player leaves the menu.
    SettingsScreen(Settings& settings, std::string path, std::function<void()> apply, std::function<void()> closed);
    // A key still awaited is no longer: the capture would outlive this.
    ~SettingsScreen();
    SettingsScreen(const SettingsScreen&) = delete;
    SettingsScreen& operator=(const SettingsScreen&) = delete;

    void show();
    void hide();
    bool isShown() const;
    gui::ChoiceMenu* getMenu() const { return _menu; }

    // The entries' texts for the settings as they are.
    void refreshTexts();
    // The next volume after `percent`: up by ten, then back to 0.
    static int nextVolume(int percent);
    static int nextScale(int scale);

private:
    void changed();
    void chooseKey(int actionIndex);

    Settings& _settings;
    std::string _path;
    std::function<void()> _apply;
    std::function<void()> _closed;
    gui::ChoiceMenu* _menu;
    int _waitingFor = -1;
};
}
