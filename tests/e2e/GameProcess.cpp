#include "GameProcess.h"

#include <fcntl.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/Commands.h"

namespace
{
// Quoting for one shell word.
std::string quoted(const std::string& word)
{
    std::string text = "'";
    for (char c : word)
    {
        if (c == '\'')
            text += "'\\''";
        else
            text += c;
    }
    return text + "'";
}

std::chrono::steady_clock::time_point deadlineAfter(int timeoutMs)
{
    return std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

bool pastDeadline(std::chrono::steady_clock::time_point deadline)
{
    return std::chrono::steady_clock::now() >= deadline;
}

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

// Reads the next whitespace-separated number of a PPM header, skipping comments.
bool readHeaderNumber(const std::string& data, size_t& at, int& value)
{
    while (at < data.size())
    {
        if (data[at] == '#')
        {
            while (at < data.size() && data[at] != '\n')
                ++at;
        }
        else if (std::isspace(static_cast<unsigned char>(data[at])))
            ++at;
        else
            break;
    }
    size_t start = at;
    while (at < data.size() && std::isdigit(static_cast<unsigned char>(data[at])))
        ++at;
    if (start == at)
        return false;
    value = std::atoi(data.substr(start, at - start).c_str());
    return true;
}
}

GameProcess::Color GameProcess::Image::at(int x, int y) const
{
    Color color;
    if (x < 0 || y < 0 || x >= width || y >= height)
        return color;
    size_t index = (static_cast<size_t>(y) * width + x) * 3;
    color.r = rgb[index];
    color.g = rgb[index + 1];
    color.b = rgb[index + 2];
    return color;
}

GameProcess::GameProcess(std::string executable, std::string workingDirectory, std::vector<std::string> arguments)
    : _executable(std::move(executable)), _workingDirectory(std::move(workingDirectory)),
      _arguments(std::move(arguments)), _newGame(std::filesystem::path(_executable).filename() == "zolt")
{
}

GameProcess::~GameProcess()
{
    if (_pid > 0)
        kill();
    closeFd(_stdinFd);
    stopReaders();
}

bool GameProcess::start()
{
    if (_pid > 0)
        return false;
    // Keeps Xvfb from resetting while the game opens its window; programs
    // that are no X clients do not need it.
    keepDisplayOpen();
    // A write to a game that has already gone must fail, not end the test.
    ::signal(SIGPIPE, SIG_IGN);

    int in[2];
    int out[2];
    int err[2];
    if (::pipe2(in, O_CLOEXEC) != 0)
        return false;
    // Standard output is a terminal, so the C library flushes it at every
    // line end and each line arrives as the game writes it. (Wrapping the
    // game in stdbuf would preload a library ahead of the sanitizer
    // runtime, which AddressSanitizer refuses.) Raw mode keeps the bytes as
    // written.
    struct termios raw;
    ::cfmakeraw(&raw);
    if (::openpty(&out[0], &out[1], nullptr, &raw, nullptr) != 0)
        return false;
    ::fcntl(out[0], F_SETFD, FD_CLOEXEC);
    ::fcntl(out[1], F_SETFD, FD_CLOEXEC);
    if (::pipe2(err, O_CLOEXEC) != 0)
        return false;

    // Everything the child needs is built before fork.
    std::vector<std::string> words = {_executable};
    if (_newGame)
        words.push_back("--new-game");
    words.insert(words.end(), _arguments.begin(), _arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(&word[0]);
    argv.push_back(nullptr);

    _pid = ::fork();
    if (_pid < 0)
        return false;
    if (_pid == 0)
    {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (::chdir(_workingDirectory.c_str()) != 0)
            ::_exit(126);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    _stdinFd = in[1];
    _stdoutFd = out[0];
    _stderrFd = err[0];
    _outputReader = std::thread(&GameProcess::readLines, this, _stdoutFd, &_outputLines);
    _errorReader = std::thread(&GameProcess::readLines, this, _stderrFd, &_errorLines);
    return true;
}

void GameProcess::readLines(int fd, std::vector<std::string>* lines)
{
    std::string pending;
    char buffer[4096];
    for (;;)
    {
        ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(count));
        size_t end;
        while ((end = pending.find('\n')) != std::string::npos)
        {
            std::lock_guard<std::mutex> lock(_mutex);
            lines->push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
            _linesChanged.notify_all();
        }
    }
    std::lock_guard<std::mutex> lock(_mutex);
    if (!pending.empty())
        lines->push_back(pending);
    _linesChanged.notify_all();
}

void GameProcess::stopReaders()
{
    // The readers end at end-of-file, which comes once the process is gone.
    if (_outputReader.joinable())
        _outputReader.join();
    if (_errorReader.joinable())
        _errorReader.join();
    closeFd(_stdoutFd);
    closeFd(_stderrFd);
}

bool GameProcess::isRunning()
{
    if (_pid <= 0)
        return false;
    int status = 0;
    pid_t result = ::waitpid(_pid, &status, WNOHANG);
    if (result == 0)
        return true;
    if (result == _pid)
        _exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    _pid = -1;
    return false;
}

bool GameProcess::waitUntilExited(int timeoutMs)
{
    std::chrono::steady_clock::time_point deadline = deadlineAfter(timeoutMs);
    while (isRunning())
    {
        if (pastDeadline(deadline))
            return false;
        sleepMs(10);
    }
    closeFd(_stdinFd);
    stopReaders();
    return true;
}

int GameProcess::waitForExit(int timeoutMs)
{
    if (!waitUntilExited(timeoutMs))
    {
        kill();
        return -1;
    }
    return _exitStatus;
}

void GameProcess::kill()
{
    if (_pid <= 0)
        return;
    ::kill(_pid, SIGKILL);
    int status = 0;
    ::waitpid(_pid, &status, 0);
    _exitStatus = -1;
    _pid = -1;
    closeFd(_stdinFd);
    stopReaders();
}

bool GameProcess::haveDisplay()
{
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

bool GameProcess::keepDisplayOpen()
{
    // Never closed: the connection ends with the test process.
    static std::mutex mutex;
    static Display* display = nullptr;
    std::lock_guard<std::mutex> lock(mutex);
    // The server may be resetting right now; that takes a moment.
    for (int attempt = 0; !display && haveDisplay() && attempt < 50; ++attempt)
    {
        display = ::XOpenDisplay(nullptr);
        if (!display)
            sleepMs(100);
    }
    return display != nullptr;
}

bool GameProcess::requestClose()
{
    if (_windowId.empty())
        return false;
    Display* display = ::XOpenDisplay(nullptr);
    if (!display)
        return false;
    const Window window = static_cast<Window>(std::stoul(_windowId, nullptr, 0));
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = ::XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(::XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = ::XSendEvent(display, window, False, NoEventMask, &event) != 0;
    ::XFlush(display);
    ::XCloseDisplay(display);
    return sent;
}

bool GameProcess::resizeWindow(int width, int height)
{
    return !_windowId.empty() &&
           xdotool("windowsize --sync " + _windowId + " " + std::to_string(width) + " " + std::to_string(height));
}

bool GameProcess::isResizable()
{
    if (_windowId.empty())
        return false;
    Display* display = ::XOpenDisplay(nullptr);
    if (!display)
        return false;
    XSizeHints hints = {};
    long supplied = 0;
    const Window window = static_cast<Window>(std::stoul(_windowId, nullptr, 0));
    const bool read = ::XGetWMNormalHints(display, window, &hints, &supplied) != 0;
    ::XCloseDisplay(display);
    const bool fixed = read && (hints.flags & PMinSize) != 0 && (hints.flags & PMaxSize) != 0 &&
                       hints.min_width == hints.max_width && hints.min_height == hints.max_height;
    return !fixed;
}

int GameProcess::runCommand(const std::string& command, std::string* output)
{
    const testsupport::CommandResult result = testsupport::runCommand(command);
    if (output)
        *output = result.out;
    return result.status;
}

bool GameProcess::xdotool(const std::string& arguments)
{
    // A --sync wait on a window that never answers must fail the step, not
    // hang the whole test binary.
    return runCommand("timeout 10 xdotool " + arguments + " >/dev/null 2>&1") == 0;
}

bool GameProcess::windowMatches(const std::string& id, const std::string& title, int width, int height)
{
    std::string name;
    std::string geometry;
    if (runCommand("xdotool getwindowname " + id + " 2>/dev/null", &name) != 0)
        return false;
    if (!name.empty() && name.back() == '\n')
        name.pop_back();
    if (name != title)
        return false;
    if (width < 0 || height < 0)
        return true;
    runCommand("xdotool getwindowgeometry " + id + " 2>/dev/null", &geometry);
    return geometry.find("Geometry: " + std::to_string(width) + "x" + std::to_string(height)) != std::string::npos;
}

bool GameProcess::waitForWindow(const std::string& title, int width, int height, int timeoutMs)
{
    std::chrono::steady_clock::time_point deadline = deadlineAfter(timeoutMs);
    while (!pastDeadline(deadline) && isRunning())
    {
        std::string ids;
        runCommand("xdotool search --onlyvisible --pid " + std::to_string(_pid) + " 2>/dev/null", &ids);
        std::istringstream list(ids);
        std::string id;
        while (list >> id)
        {
            if (windowMatches(id, title, width, height))
            {
                _windowId = id;
                return focus();
            }
        }
        sleepMs(50);
    }
    return false;
}

bool GameProcess::launch(const std::string& title, int width, int height, int timeoutMs)
{
    if (!start())
        return false;
    if (waitForWindow(title, width, height, timeoutMs))
        return true;
    if (!isRunning())
    {
        waitUntilExited(5000);
        reportEarlyExit();
    }
    return false;
}

void GameProcess::reportEarlyExit()
{
    std::lock_guard<std::mutex> lock(_mutex);
    std::cerr << "GameProcess::launch - " << _executable << " ended with status " << _exitStatus
              << " before showing its window" << std::endl;
    for (const std::string& line : _errorLines)
        std::cerr << "  stderr: " << line << std::endl;
    for (const std::string& line : _outputLines)
        std::cerr << "  stdout: " << line << std::endl;
}

bool GameProcess::focus()
{
    // With no window manager under Xvfb, focusing directly is what works;
    // xdotool's key events then go to the focused window.
    return !_windowId.empty() && xdotool(focusCommand());
}

std::string GameProcess::focusCommand() const
{
    return _windowId.empty() ? std::string() : "windowraise " + _windowId + " windowfocus --sync " + _windowId + " ";
}

bool GameProcess::keyDown(const std::string& key)
{
    // Other tests' windows on the same display take the focus when they
    // open, so every event first hands it back to the game.
    return xdotool(focusCommand() + "keydown " + quoted(key));
}

bool GameProcess::keyUp(const std::string& key)
{
    // Once the game has gone its window cannot be focused, but the key must
    // still come up: a key left down on the display reaches the next game.
    return xdotool(focusCommand() + "keyup " + quoted(key)) || xdotool("keyup " + quoted(key));
}

bool GameProcess::pressKey(const std::string& key, int holdMs)
{
    return holdKey(key, holdMs);
}

bool GameProcess::holdKey(const std::string& key, int holdMs)
{
    if (!keyDown(key))
        return false;
    sleepMs(holdMs);
    return keyUp(key);
}

int GameProcess::quitWithEscape(int timeoutMs)
{
    // On the map the first Escape opens the pause menu and the second
    // quits. A press and its release that fall into one slow frame reach
    // the game only as a release, so each later pair holds the key longer.
    const int firstWaitMs = std::min(timeoutMs, 1000);
    for (int holdMs : {150, 600, 2000})
    {
        if (!pressKey("Escape", holdMs))
            break;
        if (waitUntilExited(firstWaitMs))
            return _exitStatus;
        if (!pressKey("Escape", holdMs))
            break;
        if (waitUntilExited(timeoutMs))
            return _exitStatus;
    }
    return waitForExit(0);
}

bool GameProcess::moveMouse(int x, int y)
{
    return !_windowId.empty() &&
           xdotool("mousemove --window " + _windowId + " " + std::to_string(x) + " " + std::to_string(y));
}

bool GameProcess::mouseDown(int button)
{
    return xdotool(focusCommand() + "mousedown " + std::to_string(button));
}

bool GameProcess::mouseUp(int button)
{
    return xdotool(focusCommand() + "mouseup " + std::to_string(button)) ||
           xdotool("mouseup " + std::to_string(button));
}

bool GameProcess::click(int x, int y, int button, int holdMs)
{
    if (!moveMouse(x, y) || !mouseDown(button))
        return false;
    sleepMs(holdMs);
    return mouseUp(button);
}

bool GameProcess::screenshot(const std::string& pngPath)
{
    return !_windowId.empty() &&
           runCommand("import -window " + _windowId + " " + quoted(pngPath) + " >/dev/null 2>&1") == 0;
}

bool GameProcess::readImage(const std::string& path, Image& image)
{
    std::string data;
    if (runCommand("convert " + quoted(path) + " -depth 8 ppm:- 2>/dev/null", &data) != 0)
        return false;
    size_t at = 0;
    int maxValue = 0;
    if (data.compare(0, 2, "P6") != 0)
        return false;
    at = 2;
    if (!readHeaderNumber(data, at, image.width) || !readHeaderNumber(data, at, image.height) ||
        !readHeaderNumber(data, at, maxValue) || maxValue != 255)
        return false;
    ++at; // the single blank after the header
    size_t size = static_cast<size_t>(image.width) * image.height * 3;
    if (data.size() < at + size)
        return false;
    image.rgb.assign(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + size));
    return true;
}

bool GameProcess::capture(Image& image)
{
    char path[] = "/tmp/zolt-screenshot-XXXXXX";
    int fd = ::mkstemp(path);
    if (fd < 0)
        return false;
    ::close(fd);
    std::string png = std::string(path) + ".png";
    bool ok = screenshot(png) && readImage(png, image);
    ::unlink(path);
    ::unlink(png.c_str());
    return ok;
}

bool GameProcess::writeLine(const std::string& line)
{
    if (_stdinFd < 0)
        return false;
    std::string text = line + "\n";
    size_t written = 0;
    while (written < text.size())
    {
        ssize_t count = ::write(_stdinFd, text.data() + written, text.size() - written);
        if (count <= 0)
            return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

void GameProcess::closeInput()
{
    closeFd(_stdinFd);
}

std::vector<std::string> GameProcess::outputLines()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _outputLines;
}

std::vector<std::string> GameProcess::errorLines()
{
    std::lock_guard<std::mutex> lock(_mutex);
    return _errorLines;
}

bool GameProcess::waitForOutput(const std::string& text, int timeoutMs, std::string* line)
{
    std::unique_lock<std::mutex> lock(_mutex);
    size_t checked = 0;
    std::chrono::steady_clock::time_point deadline = deadlineAfter(timeoutMs);
    for (;;)
    {
        for (; checked < _outputLines.size(); ++checked)
        {
            if (_outputLines[checked].find(text) != std::string::npos)
            {
                if (line)
                    *line = _outputLines[checked];
                return true;
            }
        }
        if (_linesChanged.wait_until(lock, deadline) == std::cv_status::timeout && checked == _outputLines.size())
            return false;
    }
}

bool GameProcess::nextLine(std::string& line, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(_mutex);
    bool arrived = _linesChanged.wait_until(lock, deadlineAfter(timeoutMs),
                                            [this] { return _nextLineIndex < _outputLines.size(); });
    if (!arrived)
        return false;
    line = _outputLines[_nextLineIndex++];
    return true;
}

void GameProcess::sleepMs(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
