#include "application/ZOLT.h"

#include <cstdlib>
#include <ctime>
#include <iostream>

#include "Log/Log.h"
#include "application/BaseInputContext.h"
#include "application/GLFWApp.h"
#include "application/GLFWTimer.h"
#include "application/GLFWWindow.h"
#include "application/InputManager.h"
#include "application/StartupTextures.h"
#include "core/LuaInterface.h"
#include "core/Party.h"
#include "core/ProcessManager2.h"
#include "core/QuestManager.h"
#include "core/ResourceManager.h"
#include "core/SaveGameManager.h"
#include "core/SaveInputContext.h"
#include "core/Session.h"
#include "event/EventManager.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGResourceManager.h"
#include "graphics/TGSceneManager.h"
#include "gui/EndScreen.h"
#include "gui/GUIManager.h"
#include "gui/InventoryMenu.h"
#include "gui/MainMenu.h"
#include "gui/MainMenuButton.h"
#include "gui/NoticeBox.h"
#include "gui/PartyMenu.h"
#include "gui/QuestMenu.h"
#include "gui/SaveMenu.h"
#include "sound/SoundHandler.h"
#include "util/util.h"

namespace application
{
ZOLT::ZOLT() = default;

ZOLT::~ZOLT() = default;

void ZOLT::runApp()
{
    initialize();
    run();
}

void ZOLT::initialize()
{
    Log::setNamedStream("ResourceManager", &std::cout);
    std::cout << "init" << std::endl;

    core::LuaInterface::init();
    sound::SoundHandler::init(true);
    core::ResourceManager::init();
    _processManager2 = core::ProcessManager2::getProcessManager2();

    initializeApplication();
    initializeGraphics();
    initializeGUI();
    initializeRPGElements();

    _camera = _sceneManager->CreateCamera("mainCam");
    _sceneManager->SetActiveCamera("mainCam");

    _playerSession = core::Session::buildFromXMLFile("assets/session.xml");
    if (_playerSession)
    {
        _playerSession->setSceneManager(_sceneManager);
        _playerSession->setCamera(_camera);
    }
    _questManager = new core::QuestManager(_playerSession);
    if (_playerSession)
        _playerSession->setQuestManager(_questManager);
    // The manager listens through two bases; each registration must go
    // through its own base so the end-quest callback gets the right object.
    event::EventManager::registerEventListener(static_cast<event::Listener<event::BeginQuestEvent>*>(_questManager));
    event::EventManager::registerEventListener(static_cast<event::Listener<event::EndQuestEvent>*>(_questManager));
    core::LuaInterface::runScript("demoStartup.lua");
    if (_playerSession)
    {
        Log::setNamedStream("SaveGame", &std::cout);
        _saveGames = new core::SaveGameManager(_playerSession, core::SaveGameManager::defaultFolder());
        _playerSession->setSaveGames(_saveGames);
        _saveInput.reset(new core::SaveInputContext(_saveGames));
        application::InputManager::pushContext(_saveInput.get());
    }

    initializeSingletonGUIElements();

    Log::setNamedStream("brune", &std::cout);
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
}

void ZOLT::initializeApplication()
{
    GLFWApp* app = GLFWApp::getGLFWApp();
    _window = app->createWindow(static_cast<int>(WINDOW_WIDTH), static_cast<int>(WINDOW_HEIGHT));
    _timer = app->createTimer("mainTimer");
    _window->EnableVsync();
    InputManager::init();
    // The bottom context lives as long as the frame loop.
    _baseInput.reset(new BaseInputContext());
    InputManager::pushContext(_baseInput.get());
}

void ZOLT::initializeGraphics()
{
    _renderer = new tamsygraphics::Renderer(_window, ".");
    _sceneManager = _renderer->GetSceneManager();
    _resourceManager = _renderer->GetResourceManager();
    _graphicsGUIManager = _renderer->GetGUIManager();
    for (const StartupTexture& texture : startupTextures())
        _resourceManager->LoadTexture(texture.name, texture.path);
}

void ZOLT::initializeGUI()
{
    gui::GUIManager::init(_graphicsGUIManager);
}

void ZOLT::initializeRPGElements()
{
    // Classes grant abilities by name, so the abilities must be known first.
    core::ResourceManager::buildFromXMLFile("/assets/abilities.xml");
    core::ResourceManager::buildFromXMLFile("/assets/classes.xml");
}

void ZOLT::initializeSingletonGUIElements()
{
    // The menus live for the whole run and belong to the GUI manager.
    gui::MainMenu* mainMenu = new gui::MainMenu("Menu");
    new gui::MainMenuButton(mainMenu);
    core::Party* party = _playerSession ? _playerSession->getCurrentParty() : nullptr;
    gui::PartyMenu* partyMenu = new gui::PartyMenu("Party", party);
    mainMenu->addEntry("Party", partyMenu);
    gui::InventoryMenu* inventoryMenu = new gui::InventoryMenu("Inventory", _playerSession);
    mainMenu->addEntry("Inventory", inventoryMenu);
    mainMenu->addEntry("Quests", new gui::QuestMenu("Quests", _questManager));
    if (_saveGames)
    {
        mainMenu->addEntry("Save", new gui::SaveMenu("Save", gui::SaveMenu::SAVE, _saveGames));
        mainMenu->addEntry("Load", new gui::SaveMenu("Load", gui::SaveMenu::LOAD, _saveGames));
        gui::NoticeBox* notice = new gui::NoticeBox();
        _saveGames->setNotifier([notice](const std::string& message) { notice->post(message); });
    }
    // Every entry in sight, none behind a scroll button.
    mainMenu->setNumEntriesToDisplay(static_cast<int>(mainMenu->getEntries().size()));
    mainMenu->hide();
    // Playing again ends this run like quitting does; the caller then starts
    // the game afresh, so nothing of this run is carried into the next. Like
    // every widget, the screen belongs to the GUI manager from its birth.
    _endScreen = new gui::EndScreen(
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
    Log::setNamedStream("tibbet", &std::cout);
    bool running = true;
    do
    {
        // The frame in which the game is told to stop still runs to its end.
        if (GLFWApp::quitApplication || _window->IsOpen() == 0)
            running = false;
        float dt = static_cast<float>(_timer->getTime());
        _timer->reset();
        update(dt);
        render();
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
    gui::GUIManager::reset();
    _endScreen = nullptr;
    InputManager::removeContext(_saveInput.get());
    InputManager::removeContext(_baseInput.get());
    _saveInput.reset();
    _baseInput.reset();
}

void ZOLT::update(double dt)
{
    InputManager::update();
    // Without a session file there is no game to advance, but the window
    // still runs so the player can quit.
    if (_playerSession)
        _playerSession->update();
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
