#include "combat/EnemyTurnProcess.h"

#include <utility>

#include "data/Character.h"
#include "combat/CombatManager.h"

namespace core
{
EnemyTurnProcess::EnemyTurnProcess(CombatManager* combatManager, std::vector<Character*> enemies)
    : _combatManager(combatManager), _queue(std::move(enemies)), _next(0), _actor(nullptr), _stepsTaken(0),
      _phase(NEXT), _wait(0.0)
{
}

void EnemyTurnProcess::abandon()
{
    _combatManager = nullptr;
    kill();
}

void EnemyTurnProcess::update(double seconds)
{
    if (isDead() || !_combatManager)
        return;
    _wait -= seconds;
    bool goOn = true;
    while (goOn && !isDead())
    {
        switch (_phase)
        {
        case NEXT:
            goOn = startNextEnemy();
            break;
        case WALK:
            goOn = walk();
            break;
        case AIM:
            goOn = strike();
            break;
        case SHOW:
            if (_wait > 0.0)
                return;
            _phase = NEXT;
            break;
        }
    }
}

bool EnemyTurnProcess::startNextEnemy()
{
    if (_wait > 0.0)
        return false;
    if (_combatManager->getStage() != CombatManager::enemy || _next >= _queue.size())
    {
        finish();
        return false;
    }
    _actor = _queue[_next++];
    if (_combatManager->isFighting(_actor))
        _combatManager->beginTurnOf(_actor);
    // Whoever has fallen since (this enemy included) is taken out now; that
    // may end the fight, which abandons this turn.
    if (_combatManager->settleDeaths() || !_combatManager)
        return !isDead();
    if (!_combatManager->isFighting(_actor))
        return true;
    _plan = _combatManager->planFor(_actor);
    _stepsTaken = 0;
    _phase = WALK;
    _wait = 0.0;
    return true;
}

bool EnemyTurnProcess::walk()
{
    if (_actor->isMoving() || _wait > 0.0)
        return false;
    if (_stepsTaken < _plan.steps.size())
    {
        _actor->attemptMoveDirection(_plan.steps[_stepsTaken++], false);
        // A step refused (somebody moved into the way) ends the walk here.
        if (!_actor->isMoving())
            _stepsTaken = _plan.steps.size();
        _wait = STEP_SECONDS;
        return false;
    }
    if (_plan.ability && _combatManager->canStrike(_actor, _plan))
    {
        _combatManager->markTarget(_plan);
        _phase = AIM;
        _wait = AIM_SECONDS;
        return false;
    }
    _combatManager->enemyPasses(_actor);
    _phase = SHOW;
    _wait = PASS_SECONDS;
    return false;
}

bool EnemyTurnProcess::strike()
{
    if (_wait > 0.0)
        return false;
    // A blow that ends the fight abandons this turn from inside enemyAct.
    _combatManager->enemyAct(_actor, _plan);
    _phase = SHOW;
    _wait = RESULT_SECONDS;
    return false;
}

void EnemyTurnProcess::finish()
{
    CombatManager* combatManager = _combatManager;
    _combatManager = nullptr;
    kill();
    if (combatManager)
        combatManager->enemyTurnFinished(this);
}
}
