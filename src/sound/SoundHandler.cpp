#include "sound/SoundHandler.h"

namespace sound
{
namespace
{
SoundPlayer* installed = nullptr;

SoundPlayer& ownPlayer()
{
    static SoundPlayer player;
    return player;
}
}

void SoundHandler::setPlayer(SoundPlayer* player)
{
    installed = player;
}

SoundPlayer& SoundHandler::player()
{
    return installed ? *installed : ownPlayer();
}
}
