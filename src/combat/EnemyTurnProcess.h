#pragma once

#include <vector>

#include "combat/EnemyPlanner.h"
#include "world/Process.h"

namespace core
{
class Character;
class CombatManager;

// Plays the enemies' turn over the following frames, one enemy after the
// other and slowly enough to follow: each walks its path a step at a time,
// the square it aims at is marked for a moment, then the blow is resolved
// and its outcome stays on screen before the next enemy moves.
class EnemyTurnProcess : public Process
{
public:
    static constexpr double STEP_SECONDS = 0.25;
    static constexpr double AIM_SECONDS = 0.35;
    static constexpr double RESULT_SECONDS = 0.8;
    static constexpr double PASS_SECONDS = 0.3;

    EnemyTurnProcess(CombatManager* combatManager, std::vector<Character*> enemies);

    void update(double seconds) override;
    // The fight ended some other way: stop without reporting back.
    void abandon();

private:
    enum Phase
    {
        NEXT,
        WALK,
        AIM,
        SHOW
    };

    // Each returns true when the next phase may start in the same frame.
    bool startNextEnemy();
    bool walk();
    bool strike();
    void finish();

    CombatManager* _combatManager;
    std::vector<Character*> _queue;
    size_t _next;
    Character* _actor;
    EnemyPlan _plan;
    size_t _stepsTaken;
    Phase _phase;
    double _wait;
};
}
