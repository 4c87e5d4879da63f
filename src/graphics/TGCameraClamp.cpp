#include "graphics/TGCameraClamp.h"

#include <algorithm>
#include <cmath>

namespace tamsygraphics
{
glm::vec2 CameraClamp::Clamp(const glm::vec2& mapSize, const glm::vec2& viewSize, const glm::vec2& target)
{
    return glm::vec2(ClampAxis(mapSize.x, viewSize.x, target.x), ClampAxis(mapSize.y, viewSize.y, target.y));
}

glm::vec2 CameraClamp::Clamp(const glm::vec2& mapSize, const glm::vec2& viewSize, const glm::vec2& target,
                             float coveredTop, float coveredBottom)
{
    if (!std::isfinite(coveredTop) || !std::isfinite(coveredBottom) || coveredTop < 0.0f || coveredBottom < 0.0f ||
        mapSize.y <= 0.0f)
        return Clamp(mapSize, viewSize, target);
    // World y grows upwards: the map runs from -h/2 - bottom to h/2 + top,
    // a span whose middle lies (top - bottom)/2 above the origin.
    const float middle = (coveredTop - coveredBottom) / 2.0f;
    const float span = mapSize.y + coveredTop + coveredBottom;
    return glm::vec2(ClampAxis(mapSize.x, viewSize.x, target.x),
                     ClampAxis(span, viewSize.y, target.y - middle) + middle);
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
