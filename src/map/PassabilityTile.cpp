#include "map/PassabilityTile.h"

PassabilityTile::PassabilityTile(bool passable) : PassabilityTile(passable, passable, passable, passable)
{
}

PassabilityTile::PassabilityTile(bool top, bool right, bool bottom, bool left)
    : _passableTop(top), _passableRight(right), _passableBottom(bottom), _passableLeft(left)
{
}

bool PassabilityTile::isPassable() const
{
    return _passableTop && _passableRight && _passableBottom && _passableLeft;
}

bool PassabilityTile::isPassableTop() const
{
    return _passableTop;
}

bool PassabilityTile::isPassableRight() const
{
    return _passableRight;
}

bool PassabilityTile::isPassableBottom() const
{
    return _passableBottom;
}

bool PassabilityTile::isPassableLeft() const
{
    return _passableLeft;
}
