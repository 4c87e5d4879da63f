#include "world/ScreenStack.h"

#include "Log/Log.h"

namespace core
{
ScreenStack::ScreenStack()
{
}

ScreenStack::~ScreenStack()
{
}

bool ScreenStack::hasScreens() const
{
    return !stack.empty();
}

Screen* ScreenStack::getTopScreen() const
{
    if (stack.empty())
    {
        Log::error() << "ScreenStack::getTopScreen - The screen stack is empty" << std::endl;
        return nullptr;
    }
    return stack.back();
}

void ScreenStack::pushScreen(Screen* screen)
{
    stack.push_back(screen);
}

void ScreenStack::popScreen()
{
    // Leaving combat pops a screen; popping past the bottom must not crash.
    if (stack.empty())
    {
        Log::error() << "ScreenStack::popScreen - The screen stack is empty" << std::endl;
        return;
    }
    stack.pop_back();
}

void ScreenStack::clearScreens()
{
    stack.clear();
}
}
