#include "application/SettingsScreen.h"

#include <utility>

#include "input/InputContext.h"
#include "input/InputManager.h"
#include "application/Settings.h"
#include "gui/ChoiceMenu.h"

namespace application
{
namespace
{
enum Entry
{
    MUSIC,
    EFFECTS,
    SCALE,
    FULL_SCREEN,
    FIRST_KEY
};

std::string percent(int value)
{
    return std::to_string(value) + "%";
}
}

SettingsScreen::SettingsScreen(Settings& settings, std::string path, std::function<void()> apply,
                               std::function<void()> closed)
    : _settings(settings), _path(std::move(path)), _apply(std::move(apply)), _closed(std::move(closed)),
      _menu(gui::GUIElement::make<gui::ChoiceMenu>("Settings"))
{
    _menu->addChoice("",
                     [this]()
                     {
                         _settings.musicVolume = nextVolume(_settings.musicVolume);
                         changed();
                     });
    _menu->addChoice("",
                     [this]()
                     {
                         _settings.effectsVolume = nextVolume(_settings.effectsVolume);
                         changed();
                     });
    _menu->addChoice("",
                     [this]()
                     {
                         _settings.windowScale = nextScale(_settings.windowScale);
                         changed();
                     });
    _menu->addChoice("",
                     [this]()
                     {
                         _settings.fullScreen = !_settings.fullScreen;
                         changed();
                     });
    const int actions = static_cast<int>(KeyBindings::actions().size());
    for (int i = 0; i < actions; ++i)
        _menu->addChoice("", [this, i]() { chooseKey(i); });
    _menu->addChoice("Default keys",
                     [this]()
                     {
                         _settings.keys.resetToDefaults();
                         changed();
                     });
    _menu->addChoice("Back", [this]() { hide(); });
    _menu->setOnEscape([this]() { hide(); });
    _menu->setOnBack([this]() { hide(); });
    // Every entry in sight: the list is taller than the other menus.
    _menu->setHeight(1.9f);
    _menu->setNumEntriesToDisplay(_menu->size());
    refreshTexts();
}

SettingsScreen::~SettingsScreen()
{
    if (_waitingFor >= 0)
        InputManager::captureNextKey(nullptr);
}

int SettingsScreen::nextVolume(int percentage)
{
    return percentage >= 100 ? 0 : (percentage / 10 + 1) * 10;
}

int SettingsScreen::nextScale(int scale)
{
    return scale >= Settings::MAX_SCALE || scale < Settings::MIN_SCALE ? Settings::MIN_SCALE : scale + 1;
}

void SettingsScreen::refreshTexts()
{
    _menu->setChoiceText(MUSIC, "Music volume: " + percent(_settings.musicVolume));
    _menu->setChoiceText(EFFECTS, "Effects volume: " + percent(_settings.effectsVolume));
    _menu->setChoiceText(SCALE, "Window scale: " + std::to_string(_settings.windowScale) + "x");
    _menu->setChoiceText(FULL_SCREEN, std::string("Full screen: ") + (_settings.fullScreen ? "on" : "off"));
    const std::vector<KeyBindings::Action>& actions = KeyBindings::actions();
    for (size_t i = 0; i < actions.size(); ++i)
    {
        const int index = FIRST_KEY + static_cast<int>(i);
        const std::string key = index == FIRST_KEY + _waitingFor
                                    ? "press a key"
                                    : KeyBindings::keyName(_settings.keys.keyFor(actions[i].id));
        _menu->setChoiceText(index, std::string(actions[i].label) + ": " + key);
    }
}

void SettingsScreen::changed()
{
    refreshTexts();
    if (_apply)
        _apply();
    _settings.save(_path);
}

void SettingsScreen::chooseKey(int actionIndex)
{
    _waitingFor = actionIndex;
    refreshTexts();
    InputManager::captureNextKey(
        [this, actionIndex](int key)
        {
            _waitingFor = -1;
            // Escape keeps the old key: it is how a player changes their mind.
            if (key != KEY_ESC)
                _settings.keys.bind(KeyBindings::actions()[static_cast<size_t>(actionIndex)].id, key);
            changed();
        });
}

void SettingsScreen::show()
{
    refreshTexts();
    _menu->show();
}

void SettingsScreen::hide()
{
    if (_waitingFor >= 0)
    {
        InputManager::captureNextKey(nullptr);
        _waitingFor = -1;
    }
    _menu->hide();
    if (_closed)
        _closed();
}

bool SettingsScreen::isShown() const
{
    return !_menu->isHidden();
}
}
