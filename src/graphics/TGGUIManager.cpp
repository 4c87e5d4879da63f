#include "graphics/TGGUIManager.h"

#include "Log/Log.h"
#include "graphics/TGFontManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGText.h"
#include "util/util.h"

namespace tamsygraphics
{
GUIManager::GUIManager(Renderer* renderer) : _renderer(renderer), _defaultFont(nullptr), _defaultFontSize(18)
{
    _fontManager = std::make_unique<FontManager>();
    _defaultFont = _fontManager->createFont("FreeSans", WORKING_DIRECTORY + "/assets/fonts/FreeSans.ttf");
    _defaultFont->addSize(_defaultFontSize);
}

GUIManager::~GUIManager()
{
    if (_renderer)
    {
        for (const auto& entry : _recMap.items())
            _renderer->RemoveRec(entry.first);
        for (const auto& entry : _textMap.items())
            _renderer->RemoveText(entry.first);
    }
}

GUIRectangle* GUIManager::createRectangle(const std::string& id)
{
    GUIRectangle* rectangle = _recMap.add(
        id, std::make_unique<GUIRectangle>(id),
        "(GUIManager::createRectangle) GUIRectangle with identifier already exists -- failed to create rectangle");
    if (rectangle && _renderer)
        _renderer->Submit(id, rectangle);
    if (rectangle)
        Log::file(logDEBUG) << "(GUIManager::createRectangle) created GUIRectangle with identifier (" << id << ")";
    return rectangle;
}

void GUIManager::destroyRectangle(const std::string& id)
{
    // The id may live inside the rectangle: it dies last.
    auto gone = _recMap.take(id, "(GUIManager::destroyRectangle) Tried to destroy gui rectangle that doesnt exist");
    if (!gone)
        return;
    if (_renderer)
        _renderer->RemoveRec(id);
    Log::file(logDEBUG) << "(GUIManager::createRectangle) destroyed GUIRectangle with identifier (" << id << ")";
}

void GUIManager::destroyRectangle(GUIRectangle* rectangle)
{
    if (rectangle)
        destroyRectangle(rectangle->getId());
}

Text* GUIManager::createText(const std::string& id)
{
    Text* text = _textMap.add(id, std::make_unique<Text>(id),
                              "(GUIManager::createText) Text with identifier already exists -- failed to create text");
    if (!text)
        return nullptr;
    text->setFont(_defaultFont);
    text->setSize(_defaultFontSize);
    const glm::vec3& colour = _theme.textColour;
    text->setColor(colour.r, colour.g, colour.b);
    if (_renderer)
        _renderer->Submit(id, text);
    return text;
}

void GUIManager::setTheme(const GUITheme& theme)
{
    _theme = theme;
    for (const auto& entry : _textMap.items())
        entry.second->setColor(theme.textColour.r, theme.textColour.g, theme.textColour.b);
}

void GUIManager::destroyText(const std::string& id)
{
    auto gone = _textMap.take(id, "(GUIManager::destroyText) Tried to destroy gui text that doesnt exist");
    if (gone && _renderer)
        _renderer->RemoveText(id);
}

void GUIManager::destroyText(Text* text)
{
    if (text)
        destroyText(text->getId());
}
}
