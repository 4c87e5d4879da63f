#pragma once

namespace core
{
// The inventory menu as the session opens it; the menus implement it.
class InventoryView
{
public:
    virtual ~InventoryView() = default;
    virtual void show() = 0;
};
}
