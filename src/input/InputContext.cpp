#include "input/InputContext.h"

namespace application
{
bool InputContext::dispatch(int, int)
{
    return false;
}

bool InputContext::dispatch(int, int, double, double)
{
    return false;
}

bool InputContext::dispatch(double, double)
{
    return false;
}
}
