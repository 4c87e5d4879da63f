#pragma once

namespace core
{
// What a lost fight may go back to: the newest save, when there is one.
// The save manager implements it.
class LatestSave
{
public:
    virtual ~LatestSave() = default;

    virtual bool hasSaves() const = 0;
    // Loads the newest save in place of the game under way; false when
    // there is none or it cannot be read.
    virtual bool loadLatest() = 0;
};
}
