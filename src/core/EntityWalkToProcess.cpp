#include "core/EntityWalkToProcess.h"

#include "Log/Log.h"
#include "core/Entity.h"

namespace core
{
EntityWalkToProcess::EntityWalkToProcess(Entity* entity, int rowDest, int colDest)
    : Process(ENTITY_WALKTO_PROCESS),
      _accumulateTime(0.0),
      _entity(entity),
      _rowDest(rowDest),
      _colDest(colDest),
      _currentRow(0),
      _currentCol(0)
{
}

void EntityWalkToProcess::update(double seconds)
{
    if (!_entity)
    {
        Log::error() << "EntityWalkToProcess::update - No entity to walk" << std::endl;
        kill();
        return;
    }
    _accumulateTime += seconds;
    const glm::vec2 position = _entity->getPosition();
    _currentRow = static_cast<int>(position.x);
    _currentCol = static_cast<int>(position.y);

    const Direction direction = determineMove();
    if (isDead())
        return;
    if (_currentRow == _rowDest && _currentCol == _colDest)
    {
        kill();
        return;
    }
    // A refusal means another entity stands in the way (and may have been
    // talked to); a step still in progress just answers true.
    if (!_entity->attemptMoveDirection(direction, true))
        kill();
}

Direction EntityWalkToProcess::determineMove()
{
    if (_currentRow < _rowDest && _entity->canMoveDirection(DOWN))
        return DOWN;
    if (_currentCol < _colDest && _entity->canMoveDirection(RIGHT))
        return RIGHT;
    if (_currentRow > _rowDest && _entity->canMoveDirection(UP))
        return UP;
    if (_currentCol > _colDest && _entity->canMoveDirection(LEFT))
        return LEFT;
    kill();
    return DOWN;
}

double EntityWalkToProcess::getAccumulatedTime() const
{
    return _accumulateTime;
}
}
