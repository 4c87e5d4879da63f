#pragma once

#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

#include "input/InputContext.h"

namespace tamsygraphics
{
class GUIManager;
class GUIRectangle;
class Text;
}

namespace gui
{
class GUIElement;

// The live widgets and the input context that hands them the mouse. Widgets
// added or destroyed while an event is being delivered join or leave the list
// only when the delivery is over, so a handler may destroy its own widget or
// open new ones.
class GUIManager : public application::InputContext
{
public:
    // Called once at start-up, before any widget is made.
    static void init(tamsygraphics::GUIManager* graphicsGUIManager);
    static GUIManager* getInstance();

    // Every widget's constructor registers it here; GUIElement::make hands
    // the manager the widget it made to own.
    static void addGUIElement(GUIElement* element);
    static void adopt(std::unique_ptr<GUIElement> element);
    static void destroyGUIElement(GUIElement* element);

    // Primitives under generated identifiers ("rectangle0", "text0", ...);
    // null when no graphics manager is known.
    static tamsygraphics::GUIRectangle* createGraphicsRectangle();
    static tamsygraphics::Text* createGraphicsText();
    static void destroyGraphicsRectangle(tamsygraphics::GUIRectangle* rectangle);
    static void destroyGraphicsText(tamsygraphics::Text* text);

    static void beginIterating();
    static void doneIterating();
    static void update();

    bool dispatch(int button, int action, double x, double y) override;
    bool dispatch(double x, double y) override;
    using application::InputContext::dispatch;

    // Whether a shown widget lies under the point, so that input contexts
    // above the GUI can leave a click on a menu to the menu.
    static bool isOverShownWidget(float x, float y);

    // The next stacking layer: a widget shown later is drawn over those
    // shown before it, whatever its generated name.
    static int nextLayer();

    static const std::list<GUIElement*>& getElements();
    // Deletes every widget, empties the queues, restarts the identifier
    // counters and puts the context back on the input stack (tests).
    static void reset();

private:
    GUIManager();
    ~GUIManager() override;
    GUIManager(const GUIManager&) = delete;
    GUIManager& operator=(const GUIManager&) = delete;

    static void queueRemoval(GUIElement* element);
    void deleteScheduled();

    static bool _initialized;
    std::list<GUIElement*> _guiElements;
    std::vector<GUIElement*> _elementsToAdd;
    std::vector<GUIElement*> _scheduledToDestroy;
    // Every widget made through make(), until it is retired.
    std::unordered_map<const GUIElement*, std::unique_ptr<GUIElement>> _owned;
    int _nextRectangleId;
    int _nextTextId;
    int _nextLayer;
    tamsygraphics::GUIManager* _graphicsGUIManager;
    bool _currentlyIterating;
    bool _updating;
};
}
