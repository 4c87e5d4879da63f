#pragma once

#include <vector>

#include <glm/glm.hpp>

namespace tamsyAnimation
{
// A named sequence of sprite-sheet frames, each a (column, row) cell.
class Animation
{
public:
    // A single frame at the top-left cell.
    Animation();
    explicit Animation(const std::vector<glm::vec2>& frames);

    int getNumFrames() const;
    // Any index is valid: it wraps around the frame count, negative indexes
    // included (taken as unsigned), so a growing clock cycles the animation.
    glm::vec2 getTexCoords(int frame) const;

    const std::vector<glm::vec2>& getFrames() const { return _frameVec; }

private:
    std::vector<glm::vec2> _frameVec;
};
}
