#include "world/EntityWalkToProcess.h"

#include "Log/Log.h"
#include "world/Entity.h"

namespace core
{
EntityWalkToProcess::EntityWalkToProcess(Entity* entity, int rowDest, int colDest)
    : Process(ENTITY_WALKTO_PROCESS), _accumulateTime(0.0), _entity(entity), _destination{rowDest, colDest}
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
    _current = TilePos::of(_entity->getPosition());

    const Direction direction = determineMove();
    if (isDead())
        return;
    if (_current == _destination)
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
    if (_current.row < _destination.row && _entity->canMoveDirection(DOWN))
        return DOWN;
    if (_current.col < _destination.col && _entity->canMoveDirection(RIGHT))
        return RIGHT;
    if (_current.row > _destination.row && _entity->canMoveDirection(UP))
        return UP;
    if (_current.col > _destination.col && _entity->canMoveDirection(LEFT))
        return LEFT;
    kill();
    return DOWN;
}

double EntityWalkToProcess::getAccumulatedTime() const
{
    return _accumulateTime;
}
}
