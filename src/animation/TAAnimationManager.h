#pragma once

#include <memory>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "animation/TAAnimation.h"
#include "util/NamedRegistry.h"

namespace tamsyAnimation
{
class AnimationRunner;

typedef std::vector<AnimationRunner*> RunnerMap;

// Holds every animation by name and advances every live runner once per frame.
class AnimationManager
{
public:
    static AnimationManager* getInstance();

    // Replacing a name leaves the earlier animation allocated, because
    // runners may still point at it.
    Animation* createAnimation(const std::string& name, const std::vector<glm::vec2>& frames);
    Animation* createAnimation(const std::string& name);
    // Independent copies with the same frames; null when there is no source.
    Animation* copyAnimation(const Animation* source, const std::string& newName);
    Animation* copyAnimation(const std::string& sourceName, const std::string& newName);

    Animation* getAnimation(const std::string& name) const;
    void destroyAnimation(const std::string& name);

    void addRunner(AnimationRunner* runner);
    void removeRunner(AnimationRunner* runner);
    void update(double dt);

    const RunnerMap& getRunners() const { return _runners; }

private:
    AnimationManager() = default;
    AnimationManager(const AnimationManager&) = delete;
    AnimationManager& operator=(const AnimationManager&) = delete;

    Animation* registerAnimation(const std::string& name, std::unique_ptr<Animation> animation);

    NamedRegistry<Animation> _animations;
    RunnerMap _runners;
};
}
