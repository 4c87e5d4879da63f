#pragma once

#include <string>

namespace gui
{
// What a player reads for an option or menu title whose id the game logic
// and scripts use. Known ids have fixed wording; anything else (ability
// ids such as "heavyBlow" or "throw_knife") is split into words with a
// capital at the start. The id itself is never changed.
class OptionLabels
{
public:
    // `menu` is the menu's id-like title: an option may read differently
    // in one menu ("exit_combat" after a victory is no flight).
    static std::string label(const std::string& id, const std::string& menu = "");
    static std::string title(const std::string& id);
    // "heavyBlow" -> "Heavy blow", "pass_turn" -> "Pass turn".
    static std::string words(const std::string& id);
};
}
