#include "animation/TAAnimation.h"

namespace tamsyAnimation
{
Animation::Animation() : _frameVec(1, glm::vec2(0.0f, 0.0f))
{
}

Animation::Animation(const std::vector<glm::vec2>& frames) : _frameVec(frames)
{
}

int Animation::getNumFrames() const
{
    return static_cast<int>(_frameVec.size());
}

glm::vec2 Animation::getTexCoords(int frame) const
{
    if (_frameVec.empty())
        return glm::vec2(0.0f, 0.0f);
    const unsigned int index = static_cast<unsigned int>(frame) % _frameVec.size();
    return _frameVec[index];
}
}
