#include "combat/CombatMovement.h"

#include "input/InputContext.h"
#include "data/Character.h"
#include "combat/CombatCursor.h"
#include "combat/CombatSides.h"

namespace core
{
void CombatMovement::begin(const Character* walker)
{
    _start = CombatSides::squareOf(walker);
    _remainingMovement = walker ? walker->getMove() : 0;
}

bool CombatMovement::keyPress(Character* walker, int key, int action)
{
    Direction direction = UP;
    if (!CombatCursor::directionOf(key, direction))
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
