#include "input/PointerCover.h"

namespace application
{
PointerCover::Test PointerCover::_test = nullptr;

void PointerCover::setTest(Test test)
{
    _test = test;
}

bool PointerCover::covers(float x, float y)
{
    return _test && _test(x, y);
}
}
