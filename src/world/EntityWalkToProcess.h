#pragma once

#include "map/Direction.h"
#include "world/Process.h"
#include "world/TilePos.h"

namespace core
{
class Entity;

// Walks an entity to a tile, one step at a time: down first, then right,
// then up, then left, ending at the target or at the first blockage.
class EntityWalkToProcess : public Process
{
public:
    EntityWalkToProcess(Entity* entity, int rowDest, int colDest);

    void update(double seconds) override;
    // Kills the process when no useful move is left.
    Direction determineMove();

    double getAccumulatedTime() const;

private:
    double _accumulateTime;
    Entity* _entity;
    TilePos _destination;
    TilePos _current;
};
}
