#include "graphics/TGFontManager.h"

#include <memory>

#include "Log/Log.h"

namespace tamsygraphics
{
FontManager::FontManager() : _ft(nullptr)
{
    if (FT_Init_FreeType(&_ft) != 0)
    {
        _ft = nullptr;
        Log::file(logERROR) << "(Renderer::Renderer) FreeType Init Failed";
    }
}

FontManager::~FontManager()
{
    // Every face is closed before the library that opened it.
    _fonts.clear();
    if (_ft)
        FT_Done_FreeType(_ft);
}

Font* FontManager::createFont(const std::string& name, const std::string& path)
{
    Log::file(logINFO) << "(FontManager::createFont) Creating font (" << name << ")";
    // Texts may still point at a replaced font, so the registry keeps it alive.
    return _fonts.put(name, std::make_unique<Font>(path, &_ft),
                      "(FontManager::createFont) Overwriting already created font");
}

Font* FontManager::getFont(const std::string& name)
{
    return _fonts.find(name, "(FontManager::getFont) Font not found", logERROR);
}

void FontManager::destroyFont(const std::string& name)
{
    Log::file(logINFO) << "(FontManager::destroyFont) Destroying font (" << name << ")";
    _fonts.take(name, "(FontManager::destroyFont) Destroying font that doesnt exist");
}
}
