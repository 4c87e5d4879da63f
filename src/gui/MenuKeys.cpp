#include "gui/MenuKeys.h"

#include <algorithm>
#include <utility>

#include "gui/GUIButton.h"
#include "gui/GUIListView.h"
#include "gui/GUIListViewEntry.h"
#include "gui/GUIManager.h"
#include "gui/GUITextBox.h"

namespace gui
{
namespace
{
const int KEY_DOWN = application::KEY_UP + 1;
const int KEY_LEFT = application::KEY_UP + 2;
const int KEY_RIGHT = application::KEY_UP + 3;
const int KEY_ENTER = application::KEY_TAB + 1;
const int KEY_KP_ENTER = application::KEY_KP_DIVIDE + 6;

bool isArrowOrEnter(int key)
{
    return key == application::KEY_UP || key == KEY_DOWN || key == KEY_LEFT || key == KEY_RIGHT || key == KEY_ENTER ||
           key == KEY_KP_ENTER || key == application::KEY_ESC;
}

bool isLetterKey(int key)
{
    return key == application::KEY_W || key == application::KEY_S || key == application::KEY_A ||
           key == application::KEY_D || key == application::KEY_Z || key == application::KEY_X || key == ' ';
}

int stepOf(int key)
{
    if (key == application::KEY_UP || key == KEY_LEFT || key == application::KEY_W || key == application::KEY_A)
        return -1;
    if (key == KEY_DOWN || key == KEY_RIGHT || key == application::KEY_S || key == application::KEY_D)
        return 1;
    return 0;
}

bool takes(int key)
{
    return key == KEY_ENTER || key == KEY_KP_ENTER || key == application::KEY_Z || key == ' ';
}

// A panel holds entries; text boxes are entries, labels or notices.
bool isPanel(const GUIElement* element)
{
    if (element->isHidden() || dynamic_cast<const GUITextBox*>(element))
        return false;
    const GUIListView* list = dynamic_cast<const GUIListView*>(element);
    return !list || list->takesFocus();
}
}

MenuKeys::MenuKeys(std::function<void()> openMainMenu) : _openMainMenu(std::move(openMainMenu))
{
}

GUIElement* MenuKeys::topPanel()
{
    GUIElement* top = nullptr;
    for (GUIElement* element : GUIManager::getElements())
    {
        if (isPanel(element) && (!top || element->getLayer() > top->getLayer()) && !focusables(element).empty())
            top = element;
    }
    return top;
}

std::vector<GUIElement*> MenuKeys::focusables(GUIElement* panel)
{
    std::vector<GUIElement*> entries;
    if (!panel)
        return entries;
    if (GUIListView* list = dynamic_cast<GUIListView*>(panel))
    {
        for (GUIListViewEntry* entry : list->getEntries())
        {
            if (!entry->isHidden())
                entries.push_back(entry);
        }
        if (entries.empty() && list->takenWhole())
            entries.push_back(list);
        return entries;
    }
    // A screen of its own (the ending): the buttons shown over it.
    for (GUIElement* element : GUIManager::getElements())
    {
        if (!element->isHidden() && dynamic_cast<GUIButton*>(element) && element->getLayer() > panel->getLayer())
            entries.push_back(element);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const GUIElement* a, const GUIElement* b)
                     {
                         const glm::vec2 pa = a->getPosition();
                         const glm::vec2 pb = b->getPosition();
                         return pa.y != pb.y ? pa.y > pb.y : pa.x < pb.x;
                     });
    return entries;
}

void MenuKeys::setFocus(GUIElement* entry)
{
    if (entry == _focused)
        return;
    if (_focused)
    {
        const glm::vec2 at = _focused->getPosition();
        _focused->onHoverExit(at.x, at.y);
    }
    _focused = entry;
    if (_focused)
    {
        const glm::vec2 at = _focused->getPosition();
        _focused->onHoverEnter(at.x, at.y);
    }
}

void MenuKeys::refresh()
{
    GUIElement* panel = topPanel();
    const std::vector<GUIElement*> entries = focusables(panel);
    const bool stillThere = std::find(entries.begin(), entries.end(), _focused) != entries.end();
    // A menu that offers another set of things now (a fight's band, stage
    // after stage) starts again from its first entry; one whose entries only
    // changed their words (the settings' values) keeps its place.
    if (panel != _panel || !stillThere || entries.size() != _offered)
    {
        _offered = entries.size();
        // The old entry may be gone with its menu, so it is not touched.
        if (!stillThere)
            _focused = nullptr;
        _panel = panel;
        setFocus(entries.empty() ? nullptr : entries.front());
    }
}

void MenuKeys::moveFocus(int step)
{
    refresh();
    const std::vector<GUIElement*> entries = focusables(_panel);
    if (entries.empty())
        return;
    const auto at = std::find(entries.begin(), entries.end(), _focused);
    const int size = static_cast<int>(entries.size());
    const int index = at == entries.end() ? 0 : static_cast<int>(at - entries.begin());
    // Past the last line shown of a longer list, the list scrolls on and the
    // focus stays on the edge, now on the next entry; past its very end it
    // goes round to the other end, as a short list does.
    GUIListView* list = dynamic_cast<GUIListView*>(_panel);
    const bool atEdge = (step > 0 && index == size - 1) || (step < 0 && index == 0);
    if (list && atEdge && list->size() > size)
    {
        const bool scrolled = list->scrollBy(step);
        if (!scrolled)
            list->scrollBy(-step * list->size());
        const std::vector<GUIElement*> shown = focusables(_panel);
        _offered = shown.size();
        if (!shown.empty())
            setFocus((step > 0) == scrolled ? shown.back() : shown.front());
        return;
    }
    setFocus(entries[static_cast<size_t>((index + step + size) % size)]);
}

void MenuKeys::takeFocused()
{
    refresh();
    if (!_focused)
        return;
    // The click the mouse would make on the entry, so every menu does what
    // it does for the mouse; but only the entry and its menu hear it, never
    // a widget that happens to lie under the same point, and the pointer's
    // own position is left alone. Widgets destroyed meanwhile go only when
    // the click is over.
    const glm::vec2 at = _focused->getPosition();
    std::vector<GUIElement*> clicked = {_panel};
    if (_focused != _panel)
        clicked.push_back(_focused);
    GUIManager::beginIterating();
    for (GUIElement* element : clicked)
        element->onMouseDown(0, at.x, at.y);
    for (GUIElement* element : clicked)
    {
        if (element->isMouseDown())
            element->onMouseUp(0, at.x, at.y);
    }
    GUIManager::doneIterating();
    refresh();
}

bool MenuKeys::dispatch(int key, int keyState)
{
    // Released keys are the game's to see (the interact key's flag is
    // cleared on them).
    if (key != 0 && keyState == application::KEYUP)
        return false;
    // Once a frame (every key is offered every frame), so a menu that opens
    // shows its focus before a key is pressed; and for every key that is
    // down, since an earlier key of this frame may have closed the menu.
    refresh();
    if (keyState == application::KEYUP)
        return false;
    if (!_panel)
    {
        if (key == application::KEY_M && keyState == application::KEYHIT && _openMainMenu)
        {
            _openMainMenu();
            return true;
        }
        return false;
    }
    GUIListView* list = dynamic_cast<GUIListView*>(_panel);
    const bool lettersToo = !list || !list->keepsLetters();
    if (!isArrowOrEnter(key) && !(lettersToo && isLetterKey(key)))
        return false;
    return handle(key, keyState);
}

bool MenuKeys::handle(int key, int keyState)
{
    if (key == application::KEY_ESC || key == application::KEY_X)
    {
        GUIListView* list = dynamic_cast<GUIListView*>(_panel);
        if (keyState != application::KEYHIT)
            return list != nullptr;
        // A menu that cannot be left lets Escape through to the pause menu.
        return list && list->backOut(key == application::KEY_ESC);
    }
    if (keyState != application::KEYHIT)
        return true;
    if (takes(key))
        takeFocused();
    else
        moveFocus(stepOf(key));
    return true;
}
}
