#include "gui/InventoryMenu.h"

#include <algorithm>

#include "data/Item.h"
#include "data/Party.h"
#include "data/ResourceManager.h"
#include "session/Session.h"

namespace gui
{
namespace
{
std::string itemName(const std::string& id)
{
    const core::Item* item = core::ResourceManager::getItemById(id);
    return item ? item->getName() : id;
}
}

InventoryMenu::InventoryMenu(const std::string& title, core::Session* session) : PanelMenu(title), _session(session)
{
}

std::vector<std::pair<std::string, int>> InventoryMenu::countItems(const std::vector<std::string>& ids)
{
    std::vector<std::pair<std::string, int>> counts;
    for (const std::string& id : ids)
    {
        auto found = std::find_if(counts.begin(), counts.end(),
                                  [&id](const std::pair<std::string, int>& entry) { return entry.first == id; });
        if (found == counts.end())
            counts.emplace_back(id, 1);
        else
            ++found->second;
    }
    return counts;
}

void InventoryMenu::refresh()
{
    std::vector<std::string> ids;
    core::Party* party = _session ? _session->getCurrentParty() : nullptr;
    if (party)
        ids.assign(party->getInventory().getIds().begin(), party->getInventory().getIds().end());
    _itemIds.clear();
    std::vector<std::string> lines;
    for (const auto& entry : countItems(ids))
    {
        _itemIds.push_back(entry.first);
        lines.push_back(itemName(entry.first) + "  x" + std::to_string(entry.second));
    }
    const std::string title = _status.empty() ? "Inventory" : "Inventory - " + _status;
    update(lines, lines.empty() ? title + " (empty)" : title);
}

void InventoryMenu::show()
{
    // A fresh look at the bag: the last use is forgotten.
    _status.clear();
    PanelMenu::show();
}

void InventoryMenu::onMouseUp(int button, double x, double y)
{
    PanelMenu::onMouseUp(button, x, y);
    const int index = _entries.empty() ? -1 : getEntryIndexAtCoordinates(static_cast<float>(x), static_cast<float>(y));
    if (index < 0 || index >= static_cast<int>(_itemIds.size()) || !_session)
        return;
    const std::string id = _itemIds[static_cast<size_t>(index)];
    if (_session->useItem(id))
        _status = "used " + itemName(id);
    else
        _status = "cannot use " + itemName(id) + " now";
    refresh();
}
}
