#include "combat/CombatInputContext.h"

#include "combat/CombatManager.h"
#include "map/LevelMap.h"
#include "world/Scene.h"
#include "combat/CombatHost.h"
#include "world/TilePos.h"
#include "graphics/TGCamera.h"
#include "input/PointerCover.h"

namespace core
{
CombatInputContext::CombatInputContext(CombatManager* combatManager, CombatHost* session)
    : _combatManager(combatManager), _session(session)
{
}

bool CombatInputContext::dispatch(int key, int action)
{
    return _combatManager && _combatManager->keyPress(key, action);
}

bool CombatInputContext::dispatch(int, int action, double x, double y)
{
    // This context sits above the GUI's: a press on a shown menu or box is
    // the widget's, not a click on the square underneath it.
    if (application::PointerCover::covers(static_cast<float>(x), static_cast<float>(y)))
        return false;
    const TilePos square = TilePos::of(getTileRowCol(x, y));
    if (_combatManager && square.row >= 0 && square.col >= 0 && action == application::MOUSE_DOWN)
        _combatManager->tileClick(square.row, square.col);
    return false;
}

bool CombatInputContext::dispatch(double, double)
{
    return false;
}

glm::vec2 CombatInputContext::getTileRowCol(double x, double y) const
{
    if (!_session || !_session->getCamera() || !_session->getCurrentScene() ||
        !_session->getCurrentScene()->getLevelMap())
        return glm::vec2(-1.0f, -1.0f);
    const glm::vec3 world =
        _session->getCamera()->ScreenSpaceToWorld(glm::vec2(static_cast<float>(x), static_cast<float>(y)));
    int row = -1;
    int col = -1;
    _session->getCurrentScene()->getLevelMap()->getRowCol(glm::vec2(world.x, world.y), row, col);
    return glm::vec2(static_cast<float>(row), static_cast<float>(col));
}
}
