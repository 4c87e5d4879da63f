#include "world/ScreenStack.h"

#include <utility>

#include "Log/Log.h"
#include "world/Screen.h"

namespace core
{
ScreenStack::ScreenStack()
{
}

ScreenStack::~ScreenStack() = default;

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
    return stack.back().get();
}

void ScreenStack::pushScreen(std::unique_ptr<Screen> screen)
{
    stack.push_back(std::move(screen));
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
