#include "application/BaseInputContext.h"

#include "application/GLFWApp.h"

namespace application
{
bool BaseInputContext::dispatch(int key, int keyState)
{
    if (key == KEY_ESC)
        return handleEsc(keyState);
    return false;
}

bool BaseInputContext::handleEsc(int keyState)
{
    if (keyState == KEYHIT && !(_pause && _pause()))
        GLFWApp::quitApplication = true;
    return true;
}
}
