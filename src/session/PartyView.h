#pragma once

namespace core
{
class Character;

// The party menu as the session opens it; the menus implement it, so the
// session knows no widgets.
class PartyView
{
public:
    virtual ~PartyView() = default;
    virtual void show() = 0;
    // Shows that member's sheet beside the list (the menu is already open).
    virtual void showSheetOf(Character* member) = 0;
};
}
