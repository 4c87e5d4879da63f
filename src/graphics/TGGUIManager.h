#pragma once

#include <map>
#include <memory>
#include <string>

#include "graphics/TGGUITheme.h"
#include "util/NamedRegistry.h"

namespace tamsygraphics
{
class Renderer;
class GUIRectangle;
class Text;
class Font;
class FontManager;

// Creates, registers and destroys the GUI's rectangles and texts by
// identifier and hands them to the renderer, which draws them in screen space.
class GUIManager
{
public:
    explicit GUIManager(Renderer* renderer);
    virtual ~GUIManager();
    GUIManager(const GUIManager&) = delete;
    GUIManager& operator=(const GUIManager&) = delete;

    GUIRectangle* createRectangle(const std::string& id);
    void destroyRectangle(const std::string& id);
    void destroyRectangle(GUIRectangle* rectangle);

    Text* createText(const std::string& id);
    void destroyText(const std::string& id);
    void destroyText(Text* text);

    // Texts made from now on, and those that exist, take the theme's colour.
    void setTheme(const GUITheme& theme);
    const GUITheme& getTheme() const { return _theme; }

    FontManager* getFontManager() const { return _fontManager.get(); }
    Font* getDefaultFont() const { return _defaultFont; }
    int getDefaultFontSize() const { return _defaultFontSize; }

private:
    Renderer* _renderer;
    NamedRegistry<GUIRectangle> _recMap;
    NamedRegistry<Text> _textMap;
    std::unique_ptr<FontManager> _fontManager;
    Font* _defaultFont;
    int _defaultFontSize;
    GUITheme _theme;
};
}
