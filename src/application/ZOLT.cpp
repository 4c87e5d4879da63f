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

// Lines marked "STAGE" are the places where a subsystem joins start-up or the
// frame; each is replaced by its call once that subsystem exists.

namespace application
{
void ZOLT::runApp()
{
    initialize();
    run();
}

void ZOLT::initialize()
{
    Log::setNamedStream("ResourceManager", &std::cout);
    std::cout << "init" << std::endl;

    // STAGE lua: core::LuaInterface::init();
    // STAGE sound: sound::SoundHandler::init(true);
    // STAGE game data: core::ResourceManager::init();
    // STAGE processes: _processManager2 = core::ProcessManager2::getProcessManager2();

    initializeApplication();
    initializeGraphics();
    initializeGUI();
    initializeRPGElements();

    // STAGE camera: _camera = _sceneManager->CreateCamera("mainCam"); _sceneManager->SetActiveCamera("mainCam");
    // STAGE session: _playerSession = core::Session::buildFromXMLFile("assets/session.xml"); hand it _sceneManager (_sm) and _camera (_cam).
    // STAGE quests: _questManager = new core::QuestManager(_playerSession); register it for BeginQuestEvent, then EndQuestEvent.
    // STAGE start-up script: core::LuaInterface::runScript("demoStartup.lua");

    initializeSingletonGUIElements();

    Log::setNamedStream("brune", &std::cout);
    std::srand(static_cast<unsigned int>(std::time(nullptr)));
}

void ZOLT::initializeApplication()
{
    GLFWApp* app = GLFWApp::getGLFWApp();
    _window = app->createWindow(640, 480);
    _timer = app->createTimer("mainTimer");
    _window->EnableVsync();
    InputManager::init();
    // The bottom context lives as long as the process.
    InputManager::pushContext(new BaseInputContext());
}

void ZOLT::initializeGraphics()
{
    // STAGE renderer: _renderer = new tamsygraphics::Renderer(_window, ".");
    // STAGE graphics managers: _sceneManager, _resourceManager, _graphicsGUIManager from the renderer.
    // STAGE start-up textures: the 26 LoadTexture calls on _resourceManager, in table order.
}

void ZOLT::initializeGUI()
{
    // STAGE gui: gui::GUIManager::init(_graphicsGUIManager);
}

void ZOLT::initializeRPGElements()
{
    // STAGE abilities then classes: core::ResourceManager::buildFromXMLFile("/assets/abilities.xml"), then "/assets/classes.xml".
}

void ZOLT::initializeSingletonGUIElements()
{
    // STAGE menus: gui::MainMenu "Menu", its gui::MainMenuButton, gui::PartyMenu "Party" over
    // _playerSession->getCurrentParty(), addEntry("Party", ...), then hide() the main menu.
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
    } while (running);
}

void ZOLT::update(double dt)
{
    InputManager::update();
    // STAGE session update: _playerSession->update();
    // STAGE process update: _processManager2->update(dt);
    // STAGE sound update: sound::SoundHandler::update();
    (void)dt;
}

void ZOLT::render()
{
    // STAGE render: _renderer->Draw(); which swaps the buffers itself.
    // TEMPORARY until the renderer exists: swap here, because window events
    // (Escape included) are only polled inside a buffer swap.
    _window->SwapBuffers();
}
}
