#pragma once

namespace core
{
// The screen a finished story ends on, as the session shows it; the menus
// implement it.
class EndingView
{
public:
    virtual ~EndingView() = default;
    virtual void show() = 0;
    // Not on screen yet (or no longer): the session shows it only then.
    virtual bool isEndingHidden() const = 0;
};
}
