#include "application/ZOLT.h"

namespace application
{
void ZOLT::runApp()
{
}
}
