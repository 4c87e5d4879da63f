#include "animation/TAAnimationManager.h"

#include <algorithm>
#include <iostream>

#include "animation/TAAnimation.h"
#include "animation/TAAnimationRunner.h"

namespace tamsyAnimation
{
AnimationManager* AnimationManager::getInstance()
{
    // Never destroyed: runners owned by other long-lived objects still
    // unregister themselves while the process exits.
    static AnimationManager* instance = new AnimationManager();
    return instance;
}

Animation* AnimationManager::registerAnimation(const std::string& name, Animation* animation)
{
    _animations[name] = animation;
    return animation;
}

Animation* AnimationManager::createAnimation(const std::string& name, const std::vector<glm::vec2>& frames)
{
    return registerAnimation(name, new Animation(frames));
}

Animation* AnimationManager::createAnimation(const std::string& name)
{
    return registerAnimation(name, new Animation());
}

Animation* AnimationManager::copyAnimation(const Animation* source, const std::string& newName)
{
    if (!source)
        return nullptr;
    return registerAnimation(newName, new Animation(source->getFrames()));
}

Animation* AnimationManager::copyAnimation(const std::string& sourceName, const std::string& newName)
{
    return copyAnimation(getAnimation(sourceName), newName);
}

Animation* AnimationManager::getAnimation(const std::string& name) const
{
    AnimationMap::const_iterator found = _animations.find(name);
    if (found == _animations.end())
    {
        std::cout << "(AnimationManager::GetSpriteAnimation) Attempting to retrieve animation that doesnt exist ("
                  << name << ")";
        return nullptr;
    }
    return found->second;
}

void AnimationManager::destroyAnimation(const std::string& name)
{
    AnimationMap::iterator found = _animations.find(name);
    if (found == _animations.end())
        return;
    // Runners still holding it would otherwise play freed frames.
    for (AnimationRunner* runner : _runners)
        runner->forgetAnimation(found->second);
    delete found->second;
    _animations.erase(found);
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
