#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Drives a real game process for end-to-end tests: starts it with pipes on
// its standard streams, finds its window on the current X display (the tests
// run under xvfb-run), sends keyboard and mouse input through xdotool, reads
// pixels back from screenshots, and waits for it to exit.
//
// Typical use:
//     GameProcess game;                       // build/zolt, run from the repository root
//     ASSERT_TRUE(game.start());
//     ASSERT_TRUE(game.waitForWindow());
//     EXPECT_TRUE(game.waitForOutput("init", 5000));  // start-up has begun
//     game.holdKey("d", 300);                 // walk right for 300 ms
//     EXPECT_EQ(game.quitWithEscape(), 1);
//
// Key names are xdotool's (X keysym names): "Escape", "Return", "space", "a".."z",
// "Up", "Left", "F1" and so on. Mouse positions are window pixels, origin at
// the top left of the window, as the game itself counts them.
class GameProcess
{
public:
    struct Color
    {
        int r = 0;
        int g = 0;
        int b = 0;
    };

    // An RGB picture, 8 bits per channel, rows top to bottom.
    struct Image
    {
        int width = 0;
        int height = 0;
        std::vector<unsigned char> rgb;

        // The colour at (x, y); black outside the picture.
        Color at(int x, int y) const;
    };

    // By default the game binary of this build, run from the repository root.
    // The game binary (any program named zolt) gets --new-game as its first
    // argument, so it starts in the first scene; atTitle() drops it.
    explicit GameProcess(std::string executable = ZOLT_BINARY_DIR "/zolt",
                         std::string workingDirectory = ZOLT_SOURCE_DIR, std::vector<std::string> arguments = {});
    // Kills the process if it still runs.
    ~GameProcess();

    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    // Starts the game on its title screen: no --new-game. Call before start.
    void atTitle() { _newGame = false; }

    // Starts the process with line-buffered standard output and error (so
    // lines arrive as they are written). False when it could not be started.
    bool start();
    pid_t pid() const { return _pid; }
    bool isRunning();

    // Waits until the process shows a mapped window with this title and size
    // (any size when width or height is below zero), then focuses it so that
    // key events reach it. False on timeout or exit.
    bool waitForWindow(const std::string& title = "OpenGL", int width = 640, int height = 480, int timeoutMs = 15000);
    // Starts the process and waits for its window. A process that ends
    // before showing its window is reported on standard error with all its
    // output, so the failure explains itself.
    bool launch(const std::string& title = "OpenGL", int width = 640, int height = 480, int timeoutMs = 60000);
    // The X window id found by waitForWindow ("" before).
    const std::string& windowId() const { return _windowId; }
    // Gives the window the keyboard focus again (done by waitForWindow).
    bool focus();

    // Key input to the focused game window. A press and its release that
    // arrive within one frame reach the game only as a release, so pressKey
    // holds the key for holdMs (default a few frames) between the two.
    bool keyDown(const std::string& key);
    bool keyUp(const std::string& key);
    bool pressKey(const std::string& key, int holdMs = 100);
    bool holdKey(const std::string& key, int holdMs);

    // Presses Escape until the game ends (twice on the map: the pause menu,
    // then quit) and returns its exit status; -1 when it still runs after
    // the last try (it is then killed). A press and its release that fall
    // into one slow frame reach the game only as a release, so each try
    // holds the key longer.
    int quitWithEscape(int timeoutMs = 5000);

    // Asks the window to close as a window manager's close button does (the
    // WM_DELETE_WINDOW message). False without a window or display.
    bool requestClose();
    // Resizes the window as a window manager would.
    bool resizeWindow(int width, int height);
    // Whether the window tells the window manager that it may be resized
    // (no fixed maximum size among its size hints).
    bool isResizable();

    // Mouse input at window pixel positions; button 1 left, 2 middle, 3 right.
    bool moveMouse(int x, int y);
    bool mouseDown(int button = 1);
    bool mouseUp(int button = 1);
    // Moves there, then presses and releases with holdMs in between.
    bool click(int x, int y, int button = 1, int holdMs = 100);

    // Saves the window's current picture as a PNG file (ImageMagick import).
    bool screenshot(const std::string& pngPath);
    // Takes a screenshot and decodes it; false when either step fails.
    bool capture(Image& image);
    // Reads a picture file of any format ImageMagick reads into RGB pixels.
    static bool readImage(const std::string& path, Image& image);

    // Writes one line (a newline is added) to the game's standard input.
    bool writeLine(const std::string& line);
    // Closes the game's standard input (it then reads end-of-file).
    void closeInput();

    // Every standard-output line received so far, without line ends.
    std::vector<std::string> outputLines();
    // Every standard-error line received so far.
    std::vector<std::string> errorLines();
    // Waits until some output line (from the first on) contains the text;
    // gives that line through `line` when not null.
    bool waitForOutput(const std::string& text, int timeoutMs, std::string* line = nullptr);
    // Returns the next output line not yet taken by nextLine, waiting for it.
    bool nextLine(std::string& line, int timeoutMs);

    // Waits for the process to end and returns its exit status (128 + signal
    // number when a signal ended it). On timeout it kills the process and
    // returns -1.
    int waitForExit(int timeoutMs);
    // Waits up to timeoutMs for the process to end, without killing it;
    // true when it has ended (its status is then exitStatus()).
    bool waitUntilExited(int timeoutMs);
    // The exit status once the process has ended (as waitForExit), else -1.
    int exitStatus() const { return _exitStatus; }
    // Kills the process (SIGKILL) and reaps it.
    void kill();

    // True when there is an X display to show the game on (the test command
    // runs every test under xvfb-run).
    static bool haveDisplay();
    // Opens one connection to the X display and holds it until the test
    // process ends (start() does this first). Xvfb as xvfb-run starts it
    // resets whenever its last client disconnects and refuses connections
    // while it resets; between and during launches the short-lived xdotool
    // and ImageMagick clients kept bringing it down to no clients, so a game
    // starting just then could not open the display. False without a display.
    static bool keepDisplayOpen();

    // Runs a shell command and returns its exit status; its standard output
    // goes to `output` when not null. Shared by the input and picture helpers.
    static int runCommand(const std::string& command, std::string* output = nullptr);

private:
    // xdotool words that raise and focus the game window, or "" before it is found.
    std::string focusCommand() const;
    bool xdotool(const std::string& arguments);
    bool windowMatches(const std::string& id, const std::string& title, int width, int height);
    void readLines(int fd, std::vector<std::string>* lines);
    void stopReaders();
    void reportEarlyExit();
    static void sleepMs(int ms);

    std::string _executable;
    std::string _workingDirectory;
    std::vector<std::string> _arguments;
    bool _newGame = false;
    pid_t _pid = -1;
    int _exitStatus = -1;
    int _stdinFd = -1;
    int _stdoutFd = -1;
    int _stderrFd = -1;
    std::string _windowId;

    std::mutex _mutex;
    std::condition_variable _linesChanged;
    std::vector<std::string> _outputLines;
    std::vector<std::string> _errorLines;
    size_t _nextLineIndex = 0;
    std::thread _outputReader;
    std::thread _errorReader;
};
