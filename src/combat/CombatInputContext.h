#pragma once

#include <glm/glm.hpp>

#include "input/InputContext.h"

namespace core
{
class CombatManager;
class CombatHost;

// Feeds keys and map clicks to the combat manager while a fight runs.
// Clicks are passed on to the contexts below as well, so the combat menu
// still hears them.
class CombatInputContext : public application::InputContext
{
public:
    CombatInputContext(CombatManager* combatManager, CombatHost* session);

    bool dispatch(int key, int action) override;
    bool dispatch(int button, int action, double x, double y) override;
    bool dispatch(double x, double y) override;

private:
    // (-1, -1) when there is no camera, scene or map to map the point onto.
    glm::vec2 getTileRowCol(double x, double y) const;

    CombatManager* _combatManager;
    CombatHost* _session;
};
}
