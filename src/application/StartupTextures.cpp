#include "application/StartupTextures.h"

namespace application
{
namespace
{
// Scene and character files name these textures; each takes the next
// texture unit in this order.
const std::vector<StartupTexture> STARTUP_TEXTURES = {
    {"tileset", "/assets/maps/region1/tileset.png"},
    {"walking", "/assets/sprites/walkingSpriteSheet.png"},
    {"walking2", "/assets/sprites/walkingSpriteSheet2.png"},
    {"walking3", "/assets/sprites/walkingSpriteSheet3.png"},
    {"walking4", "/assets/sprites/walkingSpriteSheet4.png"},
    {"dog", "/assets/sprites/dog.png"},
    {"banana", "/assets/sprites/banana.gif"},
    {"fireball", "/assets/sprites/fireball.png"},
    {"Aldric", "/assets/sprites/Aldric.png"},
    {"Bandit", "/assets/sprites/Bandit.png"},
    {"BanditLeader", "/assets/sprites/BanditLeader.png"},
    {"Brune", "/assets/sprites/Brune.png"},
    {"Captain", "/assets/sprites/Captain.png"},
    {"Elder", "/assets/sprites/Elder.png"},
    {"Fenwy", "/assets/sprites/Fenwy.png"},
    {"Fisherman", "/assets/sprites/Fisherman.png"},
    {"Guard", "/assets/sprites/Guard.png"},
    {"Innkeeper", "/assets/sprites/Innkeeper.png"},
    {"Man", "/assets/sprites/Man.png"},
    {"Mayor", "/assets/sprites/Mayor.png"},
    {"Merchant", "/assets/sprites/Merchant.png"},
    {"Oskel", "/assets/sprites/Oskel.png"},
    {"Sailor", "/assets/sprites/Sailor.png"},
    {"Tibbet", "/assets/sprites/Tibbet.png"},
    {"Vosk", "/assets/sprites/Vosk.png"},
    {"Woman", "/assets/sprites/Woman.png"},
};
}

const std::vector<StartupTexture>& startupTextures()
{
    return STARTUP_TEXTURES;
}
}
