#include "application/GameScreens.h"

#include <utility>

#include "application/SettingsScreen.h"
#include "gui/ChoiceMenu.h"
#include "gui/SaveMenu.h"
#include "save/SaveGameManager.h"

namespace application
{
const char* const GameScreens::ESCAPE_AGAIN = "Escape again to quit";

GameScreens::GameScreens(const std::string& gameTitle, core::SaveGameManager* saves, SettingsScreen* settings,
                         Actions actions)
    : _saves(saves), _settings(settings), _actions(std::move(actions))
{
    if (_saves)
    {
        _saveMenu = gui::GUIElement::make<gui::SaveMenu>("Save", gui::SaveMenu::SAVE, _saves);
        _loadMenu = gui::GUIElement::make<gui::SaveMenu>("Load", gui::SaveMenu::LOAD, _saves);
        _loadsSeen = _saves->loadCount();
    }
    buildTitle(gameTitle);
    buildPause();
}

// The widgets belong to the GUI manager, which frees them at the end.
GameScreens::~GameScreens() = default;

void GameScreens::buildTitle(const std::string& gameTitle)
{
    _title = gui::GUIElement::make<gui::ChoiceMenu>(gameTitle);
    _title->addChoice("New game", [this]() { leaveMenus(); });
    _title->addChoice("Continue",
                      [this]()
                      {
                          if (_saves && _saves->loadLatest())
                              leaveMenus();
                      });
    _title->addChoice("Load", [this]() { openLoad(_title); });
    _title->addChoice("Settings", [this]() { openSettings(_title); });
    _title->addChoice("Quit", [this]() { _actions.quit(); });
    // Nothing is under way on the title: Escape leaves as it always did.
    _title->setOnEscape([this]() { _actions.quit(); });
}

void GameScreens::buildPause()
{
    _pause = gui::GUIElement::make<gui::ChoiceMenu>("Paused");
    _pause->addChoice("Resume", [this]() { resume(); });
    _pause->addChoice("Save", [this]() { openOver(_pause, _saveMenu); });
    _pause->addChoice("Load", [this]() { openLoad(_pause); });
    _pause->addChoice("Settings", [this]() { openSettings(_pause); });
    _pause->addChoice("Quit to title", [this]() { _actions.quitToTitle(); });
    _pause->addChoice("Quit", [this]() { _actions.quit(); });
    _pause->setNote(ESCAPE_AGAIN);
    _pause->setOnEscape([this]() { _actions.quit(); });
    _pause->setOnBack([this]() { resume(); });
    if (!_saves)
    {
        _pause->setEnabled(_pause->indexOf("Save"), false);
        _pause->setEnabled(_pause->indexOf("Load"), false);
    }
}

void GameScreens::showTitle()
{
    _onTitle = true;
    const bool canContinue = _saves && _saves->hasSaves();
    _title->setEnabled(_title->indexOf("Continue"), canContinue);
    _title->setEnabled(_title->indexOf("Load"), canContinue);
    _title->show();
}

bool GameScreens::isTitleShown() const
{
    return !_title->isHidden();
}

bool GameScreens::pauseOrQuit()
{
    if (_onTitle || _paused)
        return false;
    _paused = true;
    _pause->show();
    return true;
}

void GameScreens::resume()
{
    _paused = false;
    _pause->hide();
    if (_saveMenu)
        _saveMenu->hide();
    if (_loadMenu)
        _loadMenu->hide();
}

void GameScreens::leaveMenus()
{
    _onTitle = false;
    _title->hide();
    _openedFrom = nullptr;
    resume();
}

void GameScreens::openSettings(gui::ChoiceMenu* from)
{
    if (!_settings)
        return;
    _settingsFrom = from;
    from->hide();
    _settings->show();
}

void GameScreens::openLoad(gui::ChoiceMenu* from)
{
    openOver(from, _loadMenu);
}

void GameScreens::openOver(gui::ChoiceMenu* from, gui::SaveMenu* menu)
{
    if (!menu)
        return;
    // The menu it came from steps aside, so no click on the slots can
    // reach its entries underneath; it comes back when the slots close.
    _openedFrom = from;
    from->hide();
    menu->show();
}

void GameScreens::update()
{
    // The settings went back: the menu they came from shows again.
    if (_settingsFrom && _settings && !_settings->isShown())
    {
        if (_settingsFrom == _title ? _onTitle : _paused)
            _settingsFrom->show();
        _settingsFrom = nullptr;
    }
    if (_saves && _saves->loadCount() != _loadsSeen)
    {
        _loadsSeen = _saves->loadCount();
        if (_onTitle || _paused)
            leaveMenus();
    }
    const bool slotsShown = (_saveMenu && !_saveMenu->isHidden()) || (_loadMenu && !_loadMenu->isHidden());
    if (_openedFrom && !slotsShown)
    {
        if (_openedFrom == _title ? _onTitle : _paused)
            _openedFrom->show();
        _openedFrom = nullptr;
    }
}
}
