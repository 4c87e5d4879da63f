#include "graphics/TGCameraClamp.h"

#include <algorithm>
#include <cmath>

namespace tamsygraphics
{
glm::vec2 CameraClamp::Clamp(const glm::vec2& mapSize, const glm::vec2& viewSize, const glm::vec2& target)
{
    return glm::vec2(ClampAxis(mapSize.x, viewSize.x, target.x), ClampAxis(mapSize.y, viewSize.y, target.y));
}

float CameraClamp::ClampAxis(float mapSize, float viewSize, float target)
{
    if (!std::isfinite(mapSize) || !std::isfinite(viewSize) || mapSize <= 0.0f || viewSize <= 0.0f ||
        !std::isfinite(target))
        return target;
    // The map spans -mapSize/2 .. mapSize/2; anything not larger than the
    // view is shown whole, in the middle.
    if (mapSize <= viewSize)
        return 0.0f;
    const float reach = (mapSize - viewSize) / 2.0f;
    return std::min(std::max(target, -reach), reach);
}
}
