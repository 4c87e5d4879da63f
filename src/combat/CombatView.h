#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace core
{
class CombatManager;

// What a fight shows the player: the menu of the stage's options along the
// bottom, the box that tells what the last blow did, and the round's turn
// order. The menus implement it; a fight without them (tools, tests of the
// rules alone) shows nothing and plays the same.
class CombatView
{
public:
    virtual ~CombatView() = default;

    virtual void showMenu() = 0;
    virtual void hide() = 0;
    virtual void setMenu(const std::string& title, const std::vector<std::string>& options) = 0;
    virtual void showResults(const std::string& text) = 0;
    // Adds a closing line under what the box already says.
    virtual void addResultLine(const std::string& line) = 0;
    // The round's turn order, one fighter a line, beside the map.
    virtual void showTurnList(const std::vector<std::string>& lines) = 0;
    // Shares of the window's height that the view covers over the map at
    // the top and at the bottom while a fight lasts.
    virtual float coveredTopShare() const = 0;
    virtual float coveredBottomShare() const = 0;

    // Makes the view of each fight; set once at start-up by whoever draws
    // the menus. Without one a fight shows nothing.
    using Maker = std::function<std::unique_ptr<CombatView>(CombatManager*)>;
    static void setMaker(Maker maker);
    static std::unique_ptr<CombatView> make(CombatManager* combat);
};
}
