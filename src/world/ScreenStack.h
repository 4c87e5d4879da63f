#pragma once

#include <vector>

namespace core
{
class Screen;

// The console screens of a session, topmost last. It does not own them.
class ScreenStack
{
public:
    ScreenStack();
    virtual ~ScreenStack();

    bool hasScreens() const;
    // Null on an empty stack rather than undefined behaviour.
    Screen* getTopScreen() const;
    void pushScreen(Screen* screen);
    void popScreen();
    void clearScreens();

    std::vector<Screen*> stack;
};
}
