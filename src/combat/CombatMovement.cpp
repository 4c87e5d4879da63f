#include "combat/CombatMovement.h"

#include "input/InputContext.h"
#include "data/Character.h"
#include "combat/CombatSides.h"

namespace core
{
namespace
{
bool moveDirectionOf(int key, Direction& direction)
{
    switch (key)
    {
    case application::KEY_W:
        direction = UP;
        return true;
    case application::KEY_A:
        direction = LEFT;
        return true;
    case application::KEY_S:
        direction = DOWN;
        return true;
    case application::KEY_D:
        direction = RIGHT;
        return true;
    default:
        return false;
    }
}
}

void CombatMovement::begin(const Character* walker)
{
    _start = CombatSides::squareOf(walker);
    _remainingMovement = walker ? walker->getMove() : 0;
}

bool CombatMovement::keyPress(Character* walker, int key, int action)
{
    Direction direction = UP;
    if (!moveDirectionOf(key, direction))
        return false;
    if (_remainingMovement > 0 && action == application::KEYHIT && walker)
    {
        // A step into a wall still costs its point.
        walker->takeStep(direction);
        --_remainingMovement;
    }
    return true;
}

void CombatMovement::putBack(Character* walker) const
{
    if (walker)
        walker->setPosition(_start.row, _start.col);
}
}
