#pragma once

#include <string>
#include <memory>

#include "application/FramePacer.h"
#include "application/ScreenshotInputContext.h"
#include "graphics/TGGUITheme.h"
#include "application/Settings.h"

class GameManifest;
struct ManifestTheme;

namespace sound
{
class SoundPlayer;
}

namespace tamsygraphics
{
class Renderer;
class SceneManager;
class ResourceManager;
class GUIManager;
class Camera;
}

namespace core
{
class Session;
class QuestManager;
class LiveReload;
class ReloadInputContext;
class WalkingGridInputContext;
class SaveGameManager;
class SaveInputContext;
class ProcessManager2;
}

namespace gui
{
class EndScreen;
class MainMenu;
class MenuKeys;
class NoticeBox;
}

namespace application
{
class GLFWWindow;
class GLFWTimer;
class BaseInputContext;
class GameScreens;
class GamepadInput;
class SettingsScreen;

// The application object: brings every subsystem up in a fixed order, then
// runs the frame loop until the player quits or the window closes. It owns
// the renderer, the session and the save manager; widgets belong to the GUI
// manager and the window and timer to the GLFW application. When the loop
// ends the audio device is closed, so that quitting leaves no device
// behind, and the session, menus and input contexts are freed, so that a
// leak checker at exit reports only real leaks.
class ZOLT
{
public:
    ZOLT();
    ~ZOLT();

    void runApp();
    void initialize();
    void initializeApplication();
    void initializeGraphics();
    void initializeGUI();
    void initializeRPGElements();
    void initializeSingletonGUIElements();
    void run();
    // One pass of the frame loop without the wait, for a loop that someone
    // else paces (the browser's): false once the game has stopped.
    bool runFrame();
    void update(double dt);
    void render();

    // True (the --new-game option): the game starts in its first scene;
    // false: on the title screen. Set before runApp or initialize.
    void setStartsNewGame(bool newGame) { _startsNewGame = newGame; }

    // Whether the player chose to play again on the ending screen: the frame
    // loop has ended, and the caller starts the game afresh.
    bool restartRequested() const { return _restartRequested; }
    // Whether that new start goes to the title screen (Quit to title)
    // rather than into the first scene (Play again).
    bool restartsAtTitle() const { return _restartAtTitle; }
    // The player's session; null before initialize or for a game without one.
    core::Session* getSession() const { return _playerSession.get(); }

private:
    // $XDG_STATE_HOME/zolt/<game id>/logs; empty (the working directory's
    // logs folder) when neither the environment nor the game says where.
    static std::string logFolder();
    void loadTextures(const GameManifest& game);
    void loadFonts(const GameManifest& game);
    // The game's theme as the graphics engine draws it.
    static tamsygraphics::GUITheme themeOf(const ManifestTheme& manifestTheme);
    void runStartScript(const GameManifest& game);
    void freeMenusAndInput();
    void loadSettings();
    void applySettings();
    void buildGameScreens(gui::MainMenu* mainMenu);
    // Whether the session and its processes advance this frame: not under
    // the title or the pause menu, once the first scene is there to show.
    bool worldRuns() const;

    // Declared first, freed last: everything drawn goes through it.
    std::unique_ptr<tamsygraphics::Renderer> _renderer;
    tamsygraphics::SceneManager* _sceneManager = nullptr;
    tamsygraphics::ResourceManager* _resourceManager = nullptr;
    tamsygraphics::GUIManager* _graphicsGUIManager = nullptr;
    tamsygraphics::Camera* _camera = nullptr;
    std::unique_ptr<core::Session> _playerSession;
    std::unique_ptr<core::SaveGameManager> _saveGames;
    // The GLFW application's.
    GLFWWindow* _window = nullptr;
    GLFWTimer* _timer = nullptr;
    core::ProcessManager2* _processManager2 = nullptr;
    FramePacer _framePacer;
    // The GUI manager's, like every widget.
    gui::EndScreen* _endScreen = nullptr;
    gui::NoticeBox* _notice = nullptr;
    bool _restartRequested = false;
    bool _startsNewGame = false;
    bool _restartAtTitle = false;
    Settings _settings;
    std::string _settingsPath;
    std::unique_ptr<SettingsScreen> _settingsScreen;
    std::unique_ptr<GameScreens> _screens;
    std::unique_ptr<gui::MenuKeys> _menuKeys;
    std::unique_ptr<GamepadInput> _gamepad;
    std::unique_ptr<BaseInputContext> _baseInput;
    std::unique_ptr<core::SaveInputContext> _saveInput;
    std::unique_ptr<core::QuestManager> _questManager;
    std::unique_ptr<core::LiveReload> _liveReload;
    std::unique_ptr<core::ReloadInputContext> _reloadInput;
    std::unique_ptr<core::WalkingGridInputContext> _walkingGridInput;
    std::unique_ptr<ScreenshotInputContext> _screenshotInput;
    // Every sound the game plays; the engine reaches it through SoundHandler.
    std::unique_ptr<sound::SoundPlayer> _sound;
};
}
