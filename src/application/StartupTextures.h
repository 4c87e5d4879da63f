#pragma once

#include <vector>

namespace application
{
struct StartupTexture
{
    const char* name;
    const char* path;
};

// The textures the game's manifest loads at start-up (those not marked
// lazy), in load order, paths with a leading slash; scene and character
// files name their sprites' textures from the manifest (each takes the next
// texture unit).
const std::vector<StartupTexture>& startupTextures();
}
