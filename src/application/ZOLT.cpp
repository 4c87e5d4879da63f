#include "application/ZOLT.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "Log/Log.h"
#include "application/BaseInputContext.h"
#include "application/GameScreens.h"
#include "application/GamepadInput.h"
#include "application/GLFWApp.h"
#include "application/GLFWTimer.h"
#include "application/GLFWWindow.h"
#include "application/GameScreens.h"
#include "application/GamepadInput.h"
#include "input/InputManager.h"
#include "application/Screenshots.h"
#include "application/SettingsScreen.h"
#include "session/LiveReload.h"
#include "script/LuaInterface.h"
#include "session/EngineStart.h"
#include "data/Party.h"
#include "world/ProcessManager2.h"
#include "session/QuestManager.h"
#include "session/ReloadInputContext.h"
#include "data/ResourceManager.h"
#include "save/SaveFolder.h"
#include "save/SaveGameManager.h"
#include "save/SaveInputContext.h"
#include "session/Session.h"
#include "event/EventManager.h"
#include "graphics/TGFontManager.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "gui/CombatDisplay.h"
#include "gui/DialogBand.h"
#include "gui/EndScreen.h"
#include "gui/GUIManager.h"
#include "gui/InventoryMenu.h"
#include "gui/MainMenu.h"
#include "gui/MainMenuButton.h"
#include "gui/MenuKeys.h"
#include "gui/NoticeBox.h"
#include "gui/PartyMenu.h"
#include "gui/QuestMenu.h"
#include "gui/SaveMenu.h"
#include "save/SaveFolder.h"
#include "save/SaveGameManager.h"
#include "save/SaveInputContext.h"
#include "script/LuaInterface.h"
#include "session/LiveReload.h"
#include "session/QuestManager.h"
#include "session/ReloadInputContext.h"
#include "session/Session.h"
#include "session/WalkingGridInputContext.h"
#include "sound/SoundHandler.h"
#include "util/DataPaths.h"
#include "util/GameManifest.h"
#include "util/LoadedFiles.h"
#include "util/util.h"

namespace application
{
ZOLT::ZOLT() = default;

ZOLT::~ZOLT()
{
    // The handler must not reach a player that is gone.
    if (_sound && &sound::SoundHandler::player() == _sound.get())
        sound::SoundHandler::setPlayer(nullptr);
}

void ZOLT::loadSettings()
{
    _settingsPath = Settings::defaultPath();
    _settings.load(_settingsPath);
}

void ZOLT::applySettings()
{
    sound::SoundHandler::setVolumes(static_cast<float>(_settings.musicVolume) / 100.0f,
                                    static_cast<float>(_settings.effectsVolume) / 100.0f);
    if (_window)
        _window->SetScale(_settings.windowScale, _settings.fullScreen);
}

void ZOLT::buildGameScreens(gui::MainMenu* mainMenu)
{
    _menuKeys = std::make_unique<gui::MenuKeys>([mainMenu]() { mainMenu->show(); });
    InputManager::pushOverlay(_menuKeys.get());
    _settingsScreen = std::make_unique<SettingsScreen>(
        _settings, _settingsPath, [this]() { applySettings(); }, nullptr);
    GameScreens::Actions actions;
    actions.quit = []() { GLFWApp::quitApplication = true; };
    actions.quitToTitle = [this]()
    {
        _restartRequested = true;
        _restartAtTitle = true;
        GLFWApp::quitApplication = true;
    };
    _screens = std::make_unique<GameScreens>(GameManifest::current().name(), _saveGames.get(), _settingsScreen.get(),
                                             std::move(actions));
    GameScreens* screens = _screens.get();
    _baseInput->setPauseHandler([screens]() { return screens->pauseOrQuit(); });
    if (!_startsNewGame)
        _screens->showTitle();
}

bool ZOLT::worldRuns() const
{
    if (!_screens || !_screens->holdsTheWorld())
        return true;
    // The title stands over the first scene, which has to be entered first.
    return _playerSession && !_playerSession->getCurrentScene();
}

void ZOLT::runApp()
{
    initialize();
    run();
}

void ZOLT::initialize()
{
    // Read afresh: the game folder is the working directory only now.
    GameManifest::forgetCurrent();
    const GameManifest& game = GameManifest::current();
    Log::setNamedStream("ResourceManager", &std::cout);
    Log::plain() << "init" << std::endl;
    // Every file read from here on keeps its text, so that live reload can
    // fall back on it when a changed version does not read well.
    LoadedFiles::setKeepingCopies(true);

    loadSettings();
    core::initEngine();
    gui::CombatDisplay::useForEveryFight();
    gui::DialogBand::useForEveryConversation();
    _sound = std::make_unique<sound::SoundPlayer>();
    sound::SoundHandler::setPlayer(_sound.get());
    sound::SoundHandler::init(true);
    core::ResourceManager::init();
    _processManager2 = core::ProcessManager2::getProcessManager2();

    initializeApplication();
    initializeGraphics();
    initializeGUI();
    initializeRPGElements();

    _camera = _sceneManager->CreateCamera("mainCam");
    _sceneManager->SetActiveCamera("mainCam");

    _playerSession = game.sessionFile().empty() ? nullptr : core::Session::buildFromXMLFile(game.sessionFile());
    if (_playerSession)
    {
        _playerSession->setSceneManager(_sceneManager);
        _playerSession->setCamera(_camera);
    }
    // Owned here for the whole run, with or without a session to tell it.
    _questManager = std::make_unique<core::QuestManager>(_playerSession.get());
    core::QuestManager* quests = _questManager.get();
    if (_playerSession)
        _playerSession->story().setQuestManager(quests);
    // The manager listens through two bases; each registration must go
    // through its own base so the end-quest callback gets the right object.
    event::EventManager::registerEventListener(static_cast<event::Listener<event::BeginQuestEvent>*>(quests));
    event::EventManager::registerEventListener(static_cast<event::Listener<event::EndQuestEvent>*>(quests));
    runStartScript(game);
    if (_playerSession)
    {
        Log::setNamedStream("SaveGame", &std::cout);
        _saveGames = std::make_unique<core::SaveGameManager>(
            _playerSession.get(),
            core::SaveFolder::forGame(DataPaths::userDataDirectory(), game.id(), game.keepsSharedSaves()));
        _playerSession->setSaveGames(_saveGames.get());
        _saveInput = std::make_unique<core::SaveInputContext>(_saveGames.get());
        application::InputManager::pushContext(_saveInput.get());
        // A maker sees a changed file in the running game; F6 forces it.
        _liveReload = std::make_unique<core::LiveReload>(_playerSession.get());
        _reloadInput = std::make_unique<core::ReloadInputContext>(_liveReload.get());
        application::InputManager::pushContext(_reloadInput.get());
        _walkingGridInput = std::make_unique<core::WalkingGridInputContext>(_playerSession.get());
        application::InputManager::pushContext(_walkingGridInput.get());
    }

    // F12 works in every game, with or without a session.
    const char* pictures = std::getenv("XDG_PICTURES_DIR");
    _screenshotInput = std::make_unique<ScreenshotInputContext>(
        _renderer.get(), Screenshots::folderFor(pictures ? pictures : "", DataPaths::userDataDirectory(), game.id()));
    application::InputManager::pushContext(_screenshotInput.get());

    initializeSingletonGUIElements();

    // The game's own log streams; until now whatever they carried stayed
    // silent, as it always did.
    Log::showGameStreams();
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
}

void ZOLT::initializeApplication()
{
    GLFWApp* app = GLFWApp::getGLFWApp();
    const GameManifest& game = GameManifest::current();
    _window = app->createWindow(game.width(), game.height(), game.title());
    _timer = app->createTimer("mainTimer");
    _window->EnableVsync();
    InputManager::init();
    applySettings();
    InputManager::setKeyBindings(&_settings.keys);
    const char* gamepadFile = std::getenv("ZOLT_GAMEPAD_FILE");
    _gamepad = std::make_unique<GamepadInput>();
    if (gamepadFile && *gamepadFile)
        _gamepad->setSource(GamepadInput::stateFile(gamepadFile));
    // The bottom context lives as long as the frame loop.
    _baseInput = std::make_unique<BaseInputContext>();
    InputManager::pushContext(_baseInput.get());
}

void ZOLT::initializeGraphics()
{
    _renderer = std::make_unique<tamsygraphics::Renderer>(_window, ".", logFolder());
    _sceneManager = _renderer->GetSceneManager();
    _resourceManager = _renderer->GetResourceManager();
    _graphicsGUIManager = _renderer->GetGUIManager();
    loadTextures(GameManifest::current());
    loadFonts(GameManifest::current());
    _graphicsGUIManager->setTheme(themeOf(GameManifest::current().theme()));
}

tamsygraphics::GUITheme ZOLT::themeOf(const ManifestTheme& manifestTheme)
{
    tamsygraphics::GUITheme theme;
    theme.panelTexture = manifestTheme.panel;
    theme.border = manifestTheme.border;
    if (manifestTheme.hasTextColour)
        theme.textColour = glm::vec3(manifestTheme.textColour[0], manifestTheme.textColour[1],
                                     manifestTheme.textColour[2]) /
                           255.0f;
    return theme;
}

void ZOLT::loadFonts(const GameManifest& game)
{
    // The engine's own font is there already; these are the game's.
    tamsygraphics::FontManager* fonts = _graphicsGUIManager->getFontManager();
    for (const ManifestEntry& font : game.fonts())
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(font.file, error))
        {
            Log::error() << "ZOLT::initializeGraphics - " << game.where(font.line) << ": font " << font.name << ": "
                         << font.file << " does not exist" << std::endl;
            continue;
        }
        fonts->createFont(font.name, WORKING_DIRECTORY + "/" + font.file);
    }
}

std::string ZOLT::logFolder()
{
    // Never the game's folder: an installed game cannot write it and a
    // zipped one has none.
    std::string state = DataPaths::userStateDirectory();
    if (state.empty())
    {
        std::error_code error;
        state = (std::filesystem::temp_directory_path(error) / "zolt").string();
    }
    // A manifest without a usable id has been reported already; its logs
    // still need a home.
    const std::string id = GameManifest::current().id();
    return state + "/" + (id.empty() ? "unnamed-game" : id) + "/logs";
}

void ZOLT::loadTextures(const GameManifest& game)
{
    for (const ManifestTexture& texture : game.textures())
    {
        if (texture.lazy)
        {
            _resourceManager->DeferTexture(texture.name, "/" + texture.file);
            continue;
        }
        if (!_resourceManager->LoadTexture(texture.name, "/" + texture.file))
            Log::error() << "ZOLT::initializeGraphics - " << game.where(texture.line) << ": texture " << texture.name
                         << ": " << texture.file << " is missing or not an image" << std::endl;
    }
}

void ZOLT::runStartScript(const GameManifest& game)
{
    if (!game.startScript().empty())
        core::LuaInterface::runScript(game.startScript());
    // A game may name its first scene instead of entering it from the script.
    if (_playerSession && !game.startScene().empty() && !_playerSession->getCurrentScene() &&
        !_playerSession->getNextScene())
        _playerSession->setNextScene(game.startScene(), game.startRow(), game.startColumn());
}

void ZOLT::initializeGUI()
{
    gui::GUIManager::init(_graphicsGUIManager);
}

void ZOLT::initializeRPGElements()
{
    // Every record file of the game's manifest is read by
    // core::ResourceManager::init, in the manifest's order.
}

void ZOLT::initializeSingletonGUIElements()
{
    // The menus live for the whole run and belong to the GUI manager.
    gui::MainMenu* mainMenu = gui::GUIElement::make<gui::MainMenu>("Menu");
    gui::GUIElement::make<gui::MainMenuButton>(mainMenu);
    core::Party* party = _playerSession ? _playerSession->getCurrentParty() : nullptr;
    gui::PartyMenu* partyMenu = gui::GUIElement::make<gui::PartyMenu>("Party", party);
    mainMenu->addEntry("Party", partyMenu);
    gui::InventoryMenu* inventoryMenu = gui::GUIElement::make<gui::InventoryMenu>("Inventory", _playerSession.get());
    mainMenu->addEntry("Inventory", inventoryMenu);
    mainMenu->addEntry("Quests", gui::GUIElement::make<gui::QuestMenu>("Quests", _questManager.get()));
    _notice = gui::GUIElement::make<gui::NoticeBox>();
    gui::NoticeBox* notice = _notice;
    if (_saveGames)
    {
        mainMenu->addEntry("Save", gui::GUIElement::make<gui::SaveMenu>("Save", gui::SaveMenu::SAVE, _saveGames.get()));
        mainMenu->addEntry("Load", gui::GUIElement::make<gui::SaveMenu>("Load", gui::SaveMenu::LOAD, _saveGames.get()));
        _saveGames->setNotifier([notice](const std::string& message) { notice->post(message); });
    }
    if (_liveReload)
        _liveReload->setNotifier([notice](const std::string& message) { notice->post(message); });
    if (_screenshotInput)
        _screenshotInput->setNotifier([notice](const std::string& message) { notice->post(message); });
    // Every entry in sight, none behind a scroll button.
    mainMenu->setNumEntriesToDisplay(static_cast<int>(mainMenu->getEntries().size()));
    mainMenu->hide();
    buildGameScreens(mainMenu);
    // Playing again ends this run like quitting does; the caller then starts
    // the game afresh, so nothing of this run is carried into the next. Like
    // every widget, the screen belongs to the GUI manager from its birth.
    _endScreen = gui::GUIElement::make<gui::EndScreen>(
        [this]()
        {
            _restartRequested = true;
            GLFWApp::quitApplication = true;
        },
        []() { GLFWApp::quitApplication = true; });
    if (_playerSession)
    {
        _playerSession->setPartyView(partyMenu);
        _playerSession->setInventoryView(inventoryMenu);
        _playerSession->setEndingView(_endScreen);
    }
}

void ZOLT::run()
{
    bool running = true;
    do
    {
        running = runFrame();
        // At most 60 frames a second whatever the display does: the game's
        // speed is counted in frames, and an idle game should cost little.
        if (running)
            _framePacer.waitForNextFrame();
    } while (running);
    // OpenAL reports a device left open at exit on standard error, on
    // every quit; closing it keeps real errors visible.
    sound::SoundHandler::erase();
    freeMenusAndInput();
}

void ZOLT::freeMenusAndInput()
{
    // Widgets are freed while the renderer they draw through still exists.
    if (_saveGames)
        _saveGames->setNotifier(nullptr);
    if (_liveReload)
        _liveReload->setNotifier(nullptr);
    if (_screenshotInput)
        _screenshotInput->setNotifier(nullptr);
    if (_baseInput)
        _baseInput->setPauseHandler(nullptr);
    InputManager::removeContext(_menuKeys.get());
    InputManager::setKeyBindings(nullptr);
    // The session lets go of its dialog and combat menus, which must still
    // exist; everything that points at it goes first.
    InputManager::removeContext(_reloadInput.get());
    _reloadInput.reset();
    _liveReload.reset();
    _playerSession.reset();
    gui::GUIManager::reset();
    _screens.reset();
    _settingsScreen.reset();
    _menuKeys.reset();
    _endScreen = nullptr;
    _notice = nullptr;
    InputManager::removeContext(_screenshotInput.get());
    InputManager::removeContext(_reloadInput.get());
    InputManager::removeContext(_walkingGridInput.get());
    InputManager::removeContext(_saveInput.get());
    InputManager::removeContext(_baseInput.get());
    _screenshotInput.reset();
    _reloadInput.reset();
    _walkingGridInput.reset();
    _liveReload.reset();
    _saveInput.reset();
    _baseInput.reset();
}

bool ZOLT::runFrame()
{
    // The frame in which the game is told to stop still runs to its end.
    // Closing the window on the map opens the pause menu; closing it again
    // (or on the title) quits.
    if (_window->IsOpen() == 0 && _screens && _screens->pauseOrQuit())
        _window->CancelClose();
    const bool running = !GLFWApp::quitApplication && _window->IsOpen() != 0;
    float dt = static_cast<float>(_timer->getTime());
    _timer->reset();
    update(dt);
    render();
    return running;
}

void ZOLT::update(double dt)
{
    if (_gamepad)
        _gamepad->update();
    InputManager::update();
    if (_screens)
        _screens->update();
    const bool running = worldRuns();
    // Without a session file there is no game to advance, but the window
    // still runs so the player can quit.
    if (_playerSession && running)
        _playerSession->update();
    if (_liveReload)
        _liveReload->update();
    if (running)
        _processManager2->update(dt);
    sound::SoundHandler::update();
}

void ZOLT::render()
{
    // The renderer swaps the buffers itself, and window events (Escape
    // included) are polled inside that swap.
    _renderer->Draw();
}
}
