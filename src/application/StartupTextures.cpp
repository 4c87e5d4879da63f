#include "application/StartupTextures.h"

#include <list>
#include <string>

#include "util/GameManifest.h"

namespace application
{
const std::vector<StartupTexture>& startupTextures()
{
    // Built once from the game's manifest; the names and paths live as long
    // as the table that points into them.
    static std::list<std::string> texts;
    static std::vector<StartupTexture> table;
    static bool built = false;
    if (built)
        return table;
    built = true;
    for (const ManifestTexture& texture : GameManifest::current().textures())
    {
        if (texture.lazy)
            continue;
        texts.push_back(texture.name);
        const char* name = texts.back().c_str();
        texts.push_back("/" + texture.file);
        table.push_back({name, texts.back().c_str()});
    }
    return table;
}
}
