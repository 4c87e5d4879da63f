#include "animation/TAAnimationManager.h"

#include <algorithm>
#include <ostream>

#include "Log/Log.h"
#include "animation/TAAnimation.h"
#include "animation/TAAnimationRunner.h"
#include "util/Owner.h"

namespace tamsyAnimation
{
AnimationManager* AnimationManager::getInstance()
{
    // Never destroyed: runners owned by other long-lived objects still
    // unregister themselves while the process exits.
    static const gsl::owner<AnimationManager*> owned = new AnimationManager();
    static AnimationManager& instance = *owned;
    return &instance;
}

Animation* AnimationManager::registerAnimation(const std::string& name, std::unique_ptr<Animation> animation)
{
    return _animations.put(name, std::move(animation), nullptr);
}

Animation* AnimationManager::createAnimation(const std::string& name, const std::vector<glm::vec2>& frames)
{
    return registerAnimation(name, std::make_unique<Animation>(frames));
}

Animation* AnimationManager::createAnimation(const std::string& name)
{
    return registerAnimation(name, std::make_unique<Animation>());
}

Animation* AnimationManager::copyAnimation(const Animation* source, const std::string& newName)
{
    if (!source)
        return nullptr;
    return registerAnimation(newName, std::make_unique<Animation>(source->getFrames()));
}

Animation* AnimationManager::copyAnimation(const std::string& sourceName, const std::string& newName)
{
    return copyAnimation(getAnimation(sourceName), newName);
}

Animation* AnimationManager::getAnimation(const std::string& name) const
{
    Animation* animation = _animations.get(name);
    if (!animation)
        Log::plain() << "(AnimationManager::GetSpriteAnimation) Attempting to retrieve animation that doesnt exist ("
                     << name << ")";
    return animation;
}

void AnimationManager::destroyAnimation(const std::string& name)
{
    std::unique_ptr<Animation> animation = _animations.take(name, nullptr);
    if (!animation)
        return;
    // Runners still holding it would otherwise play freed frames.
    for (AnimationRunner* runner : _runners)
        runner->forgetAnimation(animation.get());
}

void AnimationManager::addRunner(AnimationRunner* runner)
{
    _runners.push_back(runner);
}

void AnimationManager::removeRunner(AnimationRunner* runner)
{
    _runners.erase(std::remove(_runners.begin(), _runners.end(), runner), _runners.end());
}

void AnimationManager::update(double dt)
{
    // Indexing keeps the loop valid should a runner register another one.
    for (size_t i = 0; i < _runners.size(); ++i)
        _runners[i]->update(dt);
}
}
