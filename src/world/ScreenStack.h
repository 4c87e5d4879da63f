#pragma once

#include <memory>
#include <vector>

namespace core
{
class Screen;

// The console screens of a session, topmost last. It owns them: a screen
// popped or cleared is freed.
class ScreenStack
{
public:
    ScreenStack();
    virtual ~ScreenStack();
    ScreenStack(const ScreenStack&) = delete;
    ScreenStack& operator=(const ScreenStack&) = delete;

    bool hasScreens() const;
    // Null on an empty stack rather than undefined behaviour.
    Screen* getTopScreen() const;
    void pushScreen(std::unique_ptr<Screen> screen);
    void popScreen();
    void clearScreens();

    std::vector<std::unique_ptr<Screen>> stack;
};
}
