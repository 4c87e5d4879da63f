#include "gui/GUIManager.h"

#include <algorithm>
#include <string>

#include "Log/FileLog.h"
#include "Log/Log.h"
#include "input/InputManager.h"
#include "input/PointerCover.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"
#include "gui/GUIElement.h"

namespace gui
{
bool GUIManager::_initialized = false;

GUIManager::GUIManager()
    : _nextRectangleId(0), _nextTextId(0), _nextLayer(0), _graphicsGUIManager(nullptr), _currentlyIterating(false),
      _updating(false)
{
    application::InputManager::pushContext(this);
    // Contexts below the menus (a fight's clicks on squares) leave alone
    // what lands on a shown widget.
    application::PointerCover::setTest(&GUIManager::isOverShownWidget);
}

GUIManager::~GUIManager()
{
    application::InputManager::removeContext(this);
    // Widgets still alive at exit stay allocated: their destructors would
    // come back to this manager, which is going.
    for (auto& entry : _owned)
        static_cast<void>(entry.second.release());
}

void GUIManager::init(tamsygraphics::GUIManager* graphicsGUIManager)
{
    _initialized = true;
    getInstance()->_graphicsGUIManager = graphicsGUIManager;
}

GUIManager* GUIManager::getInstance()
{
    if (!_initialized)
        Log::file(logERROR) << "(gui::GUIManager::getInstance) Did not initialize gui::GUIManager before using it.)";
    static GUIManager instance;
    return &instance;
}

void GUIManager::addGUIElement(GUIElement* element)
{
    GUIManager* self = getInstance();
    self->_elementsToAdd.push_back(element);
    if (!self->_currentlyIterating)
        update();
}

void GUIManager::adopt(std::unique_ptr<GUIElement> element)
{
    GUIElement* raw = element.get();
    if (raw)
        getInstance()->_owned[raw] = std::move(element);
}

void GUIManager::destroyGUIElement(GUIElement* element)
{
    GUIManager* self = getInstance();
    self->_scheduledToDestroy.push_back(element);
    if (!self->_currentlyIterating)
        update();
}

tamsygraphics::GUIRectangle* GUIManager::createGraphicsRectangle()
{
    GUIManager* self = getInstance();
    const std::string id = "rectangle" + std::to_string(self->_nextRectangleId++);
    return self->_graphicsGUIManager ? self->_graphicsGUIManager->createRectangle(id) : nullptr;
}

tamsygraphics::Text* GUIManager::createGraphicsText()
{
    GUIManager* self = getInstance();
    const std::string id = "text" + std::to_string(self->_nextTextId++);
    tamsygraphics::Text* text = self->_graphicsGUIManager ? self->_graphicsGUIManager->createText(id) : nullptr;
    // Menu titles sit over the map; a shadow keeps every widget's text
    // readable whatever lies behind it.
    if (text)
        text->setShadow(true);
    return text;
}

void GUIManager::destroyGraphicsRectangle(tamsygraphics::GUIRectangle* rectangle)
{
    GUIManager* self = getInstance();
    if (rectangle && self->_graphicsGUIManager)
        self->_graphicsGUIManager->destroyRectangle(rectangle);
}

void GUIManager::destroyGraphicsText(tamsygraphics::Text* text)
{
    GUIManager* self = getInstance();
    if (text && self->_graphicsGUIManager)
        self->_graphicsGUIManager->destroyText(text);
}

void GUIManager::beginIterating()
{
    getInstance()->_currentlyIterating = true;
}

void GUIManager::doneIterating()
{
    getInstance()->_currentlyIterating = false;
    update();
}

void GUIManager::update()
{
    GUIManager* self = getInstance();
    if (self->_currentlyIterating)
    {
        Log::file(logERROR) << "(gui::GUIManager::update) Can't update while iterating over _guiElements!)";
        return;
    }
    // Destructors retire their children through destroyGUIElement; those
    // join the queue that is being worked through instead of starting a
    // second update underneath this one.
    if (self->_updating)
        return;
    self->_updating = true;
    self->deleteScheduled();
    for (GUIElement* element : self->_elementsToAdd)
        self->_guiElements.push_back(element);
    self->_elementsToAdd.clear();
    self->_updating = false;
}

void GUIManager::deleteScheduled()
{
    std::vector<GUIElement*> deleted;
    for (size_t i = 0; i < _scheduledToDestroy.size(); ++i)
    {
        GUIElement* element = _scheduledToDestroy[i];
        // A widget destroyed twice before an update is deleted once.
        if (!element || std::find(deleted.begin(), deleted.end(), element) != deleted.end())
            continue;
        deleted.push_back(element);
        queueRemoval(element);
        auto owned = _owned.find(element);
        if (owned == _owned.end())
        {
            Log::file(logERROR) << "(gui::GUIManager::update) Retired a widget the manager did not make";
            continue;
        }
        // Out of the table before it dies: its destructor retires the
        // widgets it made, which must find the table whole.
        const std::unique_ptr<GUIElement> gone = std::move(owned->second);
        _owned.erase(owned);
    }
    _scheduledToDestroy.clear();
}

void GUIManager::queueRemoval(GUIElement* element)
{
    GUIManager* self = getInstance();
    self->_guiElements.remove(element);
    // A widget made and destroyed within one delivery never joins the list.
    auto& pending = self->_elementsToAdd;
    pending.erase(std::remove(pending.begin(), pending.end(), element), pending.end());
}

bool GUIManager::dispatch(int button, int action, double x, double y)
{
    const std::list<GUIElement*> elements = _guiElements;
    beginIterating();
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    for (GUIElement* element : elements)
    {
        if (!element->insideBounds(fx, fy))
            continue;
        if (action == application::MOUSE_DOWN)
            element->onMouseDown(button, x, y);
        else if (action == application::MOUSE_UP && element->isMouseDown())
            element->onMouseUp(button, x, y);
    }
    doneIterating();
    return false;
}

bool GUIManager::dispatch(double x, double y)
{
    const std::list<GUIElement*> elements = _guiElements;
    beginIterating();
    const float fx = static_cast<float>(x);
    const float fy = static_cast<float>(y);
    for (GUIElement* element : elements)
    {
        if (element->insideBounds(fx, fy))
            element->onHoverEnter(x, y);
        else if (element->isHovered())
            element->onHoverExit(x, y);
    }
    doneIterating();
    return false;
}

bool GUIManager::isOverShownWidget(float x, float y)
{
    for (GUIElement* element : getInstance()->_guiElements)
        if (element->insideBounds(x, y))
            return true;
    return false;
}

int GUIManager::nextLayer()
{
    return ++getInstance()->_nextLayer;
}

const std::list<GUIElement*>& GUIManager::getElements()
{
    return getInstance()->_guiElements;
}

void GUIManager::reset()
{
    GUIManager* self = getInstance();
    self->_currentlyIterating = false;
    update();
    // Owners come before the children they made, and retire them in their
    // destructors, so the list is emptied from the front.
    while (!self->_guiElements.empty())
    {
        self->_scheduledToDestroy.push_back(self->_guiElements.front());
        update();
    }
    self->_nextRectangleId = 0;
    self->_nextTextId = 0;
    self->_nextLayer = 0;
    application::InputManager::removeContext(self);
    application::InputManager::pushContext(self);
}
}
