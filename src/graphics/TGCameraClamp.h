#pragma once

#include <glm/glm.hpp>

namespace tamsygraphics
{
// Where a camera that follows a point may stand so that its view never
// shows past a map centred on the world origin. Kept apart from the camera
// so the rule can be checked without a window.
class CameraClamp
{
public:
    // `mapSize` and `viewSize` in world units. On an axis where the map is
    // wider than the view, the target is held far enough inside that the
    // view's edge meets the map's edge; where the map fits inside the view
    // (or matches it exactly), the map is centred on that axis. A size that
    // is not a positive finite number leaves that axis unclamped, so a
    // sizeless map never pins the view.
    static glm::vec2 Clamp(const glm::vec2& mapSize, const glm::vec2& viewSize, const glm::vec2& target);
    // The same where bands of the window are covered by something drawn over
    // the map (`coveredTop` and `coveredBottom`, world units): the view may
    // run that far past the map's top and bottom edges, so that every row can
    // still be brought out from under a band, and what shows past the edge
    // lies under the band. A map shorter than the uncovered part is centred
    // in it.
    static glm::vec2 Clamp(const glm::vec2& mapSize, const glm::vec2& viewSize, const glm::vec2& target,
                           float coveredTop, float coveredBottom);

private:
    static float ClampAxis(float mapSize, float viewSize, float target);
};
}
