#pragma once

#include <string>
#include <utility>
#include <vector>

#include "gui/GUIMenu.h"

namespace core
{
class Session;
}

namespace gui
{
class GUIButton;

// The party's items, one line per kind with its count. A click on a line
// uses one of that item (its script runs for the avatar) and the list is
// read again, since the script may have spent it or given others.
class InventoryMenu : public GUIMenu
{
public:
    InventoryMenu(const std::string& title, core::Session* session);
    ~InventoryMenu() override;

    void onMouseUp(int button, double x, double y) override;
    void hide() override;
    void show() override;
    void invalidate() override;

    // Reads the party's inventory again.
    void refresh();
    // The item ids behind the lines, in display order.
    const std::vector<std::string>& getItemIds() const { return _itemIds; }
    GUIButton* getCloseButton() const { return _closeButton; }

    // Item ids in order of first appearance, with how many of each.
    static std::vector<std::pair<std::string, int>> countItems(const std::vector<std::string>& ids);

private:
    void placeCloseButton();

    core::Session* _session;
    GUIButton* _closeButton;
    std::vector<std::string> _itemIds;
    std::string _status;
};
}
