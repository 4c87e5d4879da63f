#include "graphics/TGFontManager.h"

#include "Log/FileLog.h"

namespace tamsygraphics
{
FontManager::FontManager() : _ft(nullptr)
{
    if (FT_Init_FreeType(&_ft) != 0)
    {
        _ft = nullptr;
        FILE_LOG(logERROR) << "(Renderer::Renderer) FreeType Init Failed";
    }
}

FontManager::~FontManager()
{
    for (auto& entry : _fonts)
        delete entry.second;
    if (_ft)
        FT_Done_FreeType(_ft);
}

Font* FontManager::createFont(const std::string& name, const std::string& path)
{
    FILE_LOG(logINFO) << "(FontManager::createFont) Creating font (" << name << ")";
    Font* font = new Font(path, &_ft);
    auto existing = _fonts.find(name);
    if (existing != _fonts.end())
    {
        FILE_LOG(logERROR) << "(FontManager::createFont) Overwriting already created font (" << name << ")";
        // Texts may still point at the old font, so it is kept alive.
        existing->second = font;
        return font;
    }
    _fonts[name] = font;
    return font;
}

Font* FontManager::getFont(const std::string& name)
{
    auto found = _fonts.find(name);
    if (found == _fonts.end())
    {
        FILE_LOG(logERROR) << "(FontManager::getFont) Font not found (" << name << ")";
        return nullptr;
    }
    return found->second;
}

void FontManager::destroyFont(const std::string& name)
{
    FILE_LOG(logINFO) << "(FontManager::destroyFont) Destroying font (" << name << ")";
    auto found = _fonts.find(name);
    if (found == _fonts.end())
    {
        FILE_LOG(logERROR) << "(FontManager::destroyFont) Destroying font that doesnt exist (" << name << ")";
        return;
    }
    delete found->second;
    _fonts.erase(found);
}
}
