#include "gui/SaveMenu.h"

#include "save/SaveGameManager.h"

namespace gui
{
namespace
{
std::string slotLabel(const std::string& slot)
{
    if (slot == core::SaveGameManager::QUICK_SLOT)
        return "Quick";
    // "slot3" reads "Slot 3".
    return "Slot " + slot.substr(4);
}
}

SaveMenu::SaveMenu(const std::string& title, Mode mode, core::SaveGameManager* saves)
    : PanelMenu(title), _mode(mode), _saves(saves)
{
}

void SaveMenu::refresh()
{
    _slots.clear();
    std::vector<std::string> lines;
    if (_saves)
    {
        for (const core::SaveGameManager::SlotInfo& info : _saves->listSlots())
        {
            _slots.push_back(info.slot);
            lines.push_back(slotLabel(info.slot) + ": " + core::SaveGameManager::describe(info));
        }
    }
    const std::string title = _mode == SAVE ? "Save" : "Load";
    update(lines, _status.empty() ? title : title + " - " + _status);
}

void SaveMenu::show()
{
    _status.clear();
    PanelMenu::show();
}

void SaveMenu::choose(const std::string& slot)
{
    if (!_saves)
        return;
    const bool done = _mode == SAVE ? _saves->save(slot) : _saves->load(slot);
    _status = done ? (_mode == SAVE ? "saved" : "loaded") : "refused";
    if (done && _mode == LOAD)
    {
        hide();
        return;
    }
    refresh();
}

void SaveMenu::onMouseUp(int button, double x, double y)
{
    PanelMenu::onMouseUp(button, x, y);
    const int index = _entries.empty() ? -1 : getEntryIndexAtCoordinates(static_cast<float>(x), static_cast<float>(y));
    if (index < 0 || index >= static_cast<int>(_slots.size()))
        return;
    choose(_slots[static_cast<size_t>(index)]);
}
}
