#pragma once

#include <vector>

namespace application
{
struct StartupTexture
{
    const char* name;
    const char* path;
};

// The textures loaded at start-up, in load order; scene and character files
// name their sprites' textures from this table (each takes the next texture
// unit), and the asset checker holds them to it.
const std::vector<StartupTexture>& startupTextures();
}
