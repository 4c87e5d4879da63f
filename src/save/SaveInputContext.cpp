#include "save/SaveInputContext.h"

#include "save/SaveGameManager.h"

namespace core
{
SaveInputContext::SaveInputContext(SaveGameManager* saves) : _saves(saves)
{
}

bool SaveInputContext::dispatch(int key, int keyState)
{
    if (key != application::KEY_F5 && key != application::KEY_F9)
        return false;
    if (keyState == application::KEYHIT && _saves)
    {
        if (key == application::KEY_F5)
            _saves->quickSave();
        else
            _saves->quickLoad();
    }
    return true;
}
}
