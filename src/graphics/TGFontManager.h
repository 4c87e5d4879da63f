#pragma once

#include <string>

#include "graphics/TGFont.h"
#include "util/NamedRegistry.h"

namespace tamsygraphics
{
// Owns the FreeType library and the fonts by name.
class FontManager
{
public:
    FontManager();
    virtual ~FontManager();
    FontManager(const FontManager&) = delete;
    FontManager& operator=(const FontManager&) = delete;

    Font* createFont(const std::string& name, const std::string& path);
    Font* getFont(const std::string& name);
    void destroyFont(const std::string& name);

private:
    FT_Library _ft;
    NamedRegistry<Font> _fonts;
};
}
