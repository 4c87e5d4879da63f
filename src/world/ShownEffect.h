#pragma once

#include <string>

namespace tamsygraphics
{
class Sprite;
}

namespace core
{
// Something shown over a scene for a while under a name of its own, such as
// an effect an ability put on a fighter: a scene draws its sprite while it
// is shown.
class ShownEffect
{
public:
    virtual ~ShownEffect() = default;

    virtual const std::string& getUniqueId() const = 0;
    // Null for an effect with nothing to show.
    virtual tamsygraphics::Sprite* getSprite() const = 0;
    // The scene's sprite manager has taken the sprite to draw and frees it
    // from now on.
    virtual void setSpriteLent() = 0;
};
}
