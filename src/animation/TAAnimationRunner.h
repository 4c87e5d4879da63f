#pragma once

#include <string>

namespace tamsygraphics
{
class Sprite;
}

namespace tamsyAnimation
{
class Animation;

// Drives one sprite's frame: a looping animation, optionally interrupted by a
// limited one that plays a given number of times. Registers itself with the
// manager for its whole life, so a destroyed runner is never updated.
class AnimationRunner
{
public:
    AnimationRunner();
    // Copies register themselves too, so owners may be copied safely.
    AnimationRunner(const AnimationRunner& other);
    AnimationRunner& operator=(const AnimationRunner& other);
    ~AnimationRunner();

    void setSprite(tamsygraphics::Sprite* sprite);
    void setSpeed(double secondsPerFrame);
    // Keeps the running time, so switching looping animations keeps the phase.
    void setLoopingAnim(const std::string& name, double secondsPerFrame);
    // Starts the limited animation from its first frame.
    void setLimitedAnim(const std::string& name, int repetitions, double secondsPerFrame);
    void update(double dt);
    // Lets go of an animation that is about to be destroyed.
    void forgetAnimation(const Animation* animation);

    tamsygraphics::Sprite* getSprite() const { return _sprite; }
    double getAnimationTime() const { return _animationTime; }
    double getSpeed() const { return _secondsPerFrame; }
    Animation* getLoopingAnim() const { return _loopingAnim; }
    Animation* getLimitedAnim() const { return _limitedAnim; }
    int getRepetitions() const { return _repetitions; }

private:
    void updateLooping();
    void updateLimited();
    int frameIndex(const Animation* animation) const;
    void showFrame(const Animation* animation) const;

    tamsygraphics::Sprite* _sprite;
    double _animationTime;
    double _secondsPerFrame;
    Animation* _loopingAnim;
    Animation* _limitedAnim;
    int _repetitions;
};
}
