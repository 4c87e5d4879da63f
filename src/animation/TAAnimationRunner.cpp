#include "animation/TAAnimationRunner.h"

#include <climits>
#include <cmath>

#include "animation/TAAnimation.h"
#include "animation/TAAnimationManager.h"
#include "graphics/TGSprite.h"

namespace tamsyAnimation
{
namespace
{
// Durations this short would make every update jump frames wildly; such a
// runner is treated as switched off.
const double MIN_SECONDS_PER_FRAME = 1e-7;
}

AnimationRunner::AnimationRunner()
    : _sprite(nullptr), _animationTime(0.0), _secondsPerFrame(0.0), _loopingAnim(nullptr), _limitedAnim(nullptr),
      _repetitions(0)
{
    AnimationManager::getInstance()->addRunner(this);
}

AnimationRunner::AnimationRunner(const AnimationRunner& other)
    : _sprite(other._sprite), _animationTime(other._animationTime), _secondsPerFrame(other._secondsPerFrame),
      _loopingAnim(other._loopingAnim), _limitedAnim(other._limitedAnim), _repetitions(other._repetitions)
{
    AnimationManager::getInstance()->addRunner(this);
}

AnimationRunner& AnimationRunner::operator=(const AnimationRunner& other)
{
    // Registration belongs to the object, not its state, so it is left alone.
    _sprite = other._sprite;
    _animationTime = other._animationTime;
    _secondsPerFrame = other._secondsPerFrame;
    _loopingAnim = other._loopingAnim;
    _limitedAnim = other._limitedAnim;
    _repetitions = other._repetitions;
    return *this;
}

AnimationRunner::~AnimationRunner()
{
    AnimationManager::getInstance()->removeRunner(this);
}

void AnimationRunner::setSprite(tamsygraphics::Sprite* sprite)
{
    _sprite = sprite;
}

void AnimationRunner::setSpeed(double secondsPerFrame)
{
    _secondsPerFrame = secondsPerFrame;
}

void AnimationRunner::setLoopingAnim(const std::string& name, double secondsPerFrame)
{
    _loopingAnim = AnimationManager::getInstance()->getAnimation(name);
    setSpeed(secondsPerFrame);
}

void AnimationRunner::setLimitedAnim(const std::string& name, int repetitions, double secondsPerFrame)
{
    _limitedAnim = AnimationManager::getInstance()->getAnimation(name);
    _repetitions = repetitions;
    // The looping clock grows without end; carried over, it would end the
    // first play on the very next update, so every play starts from frame 0.
    _animationTime = 0.0;
    setSpeed(secondsPerFrame);
}

void AnimationRunner::update(double dt)
{
    if (std::fabs(_secondsPerFrame) < MIN_SECONDS_PER_FRAME)
        return;
    _animationTime += dt;
    if (_repetitions < 1)
        updateLooping();
    else
        updateLimited();
}

void AnimationRunner::forgetAnimation(const Animation* animation)
{
    if (_loopingAnim == animation)
        _loopingAnim = nullptr;
    if (_limitedAnim == animation)
        _limitedAnim = nullptr;
}

void AnimationRunner::updateLooping()
{
    if (_loopingAnim && _sprite)
        showFrame(_loopingAnim);
}

void AnimationRunner::updateLimited()
{
    if (!_limitedAnim)
    {
        _animationTime = 0.0;
        _repetitions = 0;
        return;
    }
    if (_animationTime / _secondsPerFrame >= _limitedAnim->getNumFrames())
    {
        _animationTime = 0.0;
        _repetitions -= 1;
    }
    if (_sprite)
        showFrame(_limitedAnim);
}

int AnimationRunner::frameIndex(const Animation* animation) const
{
    const double index = std::trunc(_animationTime / _secondsPerFrame);
    if (index >= INT_MIN && index <= INT_MAX)
        return static_cast<int>(index);
    // Beyond int range a cast is undefined; any index in the same place of
    // the cycle shows the same frame.
    const int count = animation->getNumFrames();
    if (count < 1)
        return 0;
    double wrapped = std::fmod(index, static_cast<double>(count));
    if (wrapped < 0.0)
        wrapped += count;
    return static_cast<int>(wrapped);
}

void AnimationRunner::showFrame(const Animation* animation) const
{
    _sprite->setTexCoords(animation->getTexCoords(frameIndex(animation)));
}
}
