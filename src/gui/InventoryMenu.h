#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gui/PanelMenu.h"
#include "session/InventoryView.h"

namespace core
{
class Session;
}

namespace gui
{
// The party's items, one line per kind with its count. A click on a line
// uses one of that item (its script runs for the avatar) and the list is
// read again, since the script may have spent it or given others.
class InventoryMenu : public PanelMenu, public core::InventoryView
{
public:
    InventoryMenu(const std::string& title, core::Session* session);

    void onMouseUp(int button, double x, double y) override;
    void show() override;
    void refresh() override;

    // The item ids behind the lines, in display order.
    const std::vector<std::string>& getItemIds() const { return _itemIds; }

    // Item ids in order of first appearance, with how many of each.
    static std::vector<std::pair<std::string, int>> countItems(const std::vector<std::string>& ids);

private:
    core::Session* _session;
    std::vector<std::string> _itemIds;
    std::string _status;
};
}
