#include "graphics/TGGUIManager.h"

#include "Log/FileLog.h"
#include "graphics/TGFontManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGRenderer.h"
#include "graphics/TGText.h"
#include "util/util.h"

namespace tamsygraphics
{
GUIManager::GUIManager(Renderer* renderer)
    : _renderer(renderer), _fontManager(nullptr), _defaultFont(nullptr), _defaultFontSize(18)
{
    _fontManager = new FontManager();
    _defaultFont = _fontManager->createFont("FreeSans", WORKING_DIRECTORY + "/assets/fonts/FreeSans.ttf");
    _defaultFont->addSize(_defaultFontSize);
}

GUIManager::~GUIManager()
{
    for (auto& entry : _recMap)
    {
        if (_renderer)
            _renderer->RemoveRec(entry.first);
        delete entry.second;
    }
    for (auto& entry : _textMap)
    {
        if (_renderer)
            _renderer->RemoveText(entry.first);
        delete entry.second;
    }
    delete _fontManager;
}

GUIRectangle* GUIManager::createRectangle(const std::string& id)
{
    if (_recMap.count(id))
    {
        FILE_LOG(logERROR) << "(GUIManager::createRectangle) GUIRectangle with identifier already exists -- failed to create rectangle (" << id << ")";
        return nullptr;
    }
    GUIRectangle* rectangle = new GUIRectangle(id);
    _recMap[id] = rectangle;
    if (_renderer)
        _renderer->Submit(id, rectangle);
    FILE_LOG(logDEBUG) << "(GUIManager::createRectangle) created GUIRectangle with identifier (" << id << ")";
    return rectangle;
}

void GUIManager::destroyRectangle(const std::string& id)
{
    auto found = _recMap.find(id);
    if (found == _recMap.end())
    {
        FILE_LOG(logERROR) << "(GUIManager::destroyRectangle) Tried to destroy gui rectangle that doesnt exist (" << id << ")";
        return;
    }
    if (_renderer)
        _renderer->RemoveRec(id);
    delete found->second;
    _recMap.erase(found);
    FILE_LOG(logDEBUG) << "(GUIManager::createRectangle) destroyed GUIRectangle with identifier (" << id << ")";
}

void GUIManager::destroyRectangle(GUIRectangle* rectangle)
{
    // A copy: the id lives inside the element that is about to be deleted.
    if (rectangle)
        destroyRectangle(std::string(rectangle->getId()));
}

Text* GUIManager::createText(const std::string& id)
{
    if (_textMap.count(id))
    {
        FILE_LOG(logERROR) << "(GUIManager::createText) Text with identifier already exists -- failed to create text (" << id << ")";
        return nullptr;
    }
    Text* text = new Text(id);
    text->setFont(_defaultFont);
    text->setSize(_defaultFontSize);
    _textMap[id] = text;
    if (_renderer)
        _renderer->Submit(id, text);
    return text;
}

void GUIManager::destroyText(const std::string& id)
{
    auto found = _textMap.find(id);
    if (found == _textMap.end())
    {
        FILE_LOG(logERROR) << "(GUIManager::destroyText) Tried to destroy gui text that doesnt exist (" << id << ")";
        return;
    }
    if (_renderer)
        _renderer->RemoveText(id);
    delete found->second;
    _textMap.erase(found);
}

void GUIManager::destroyText(Text* text)
{
    if (text)
        destroyText(std::string(text->getId()));
}
}
