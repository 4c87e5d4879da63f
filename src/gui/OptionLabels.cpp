#include "gui/OptionLabels.h"

#include "util/ReadableId.h"

namespace gui
{
namespace
{
struct Wording
{
    const char* menu; // "" for every menu
    const char* id;
    const char* label;
};

// Menu-specific wordings come first: the first match wins.
const Wording WORDINGS[] = {
    {"victory", "exit_combat", "Leave the field"},
    {"", "pass_turn", "Pass turn"},
    {"", "exit_combat", "Flee"},
    {"", "back", "Back"},
    {"", "finish", "Done"},
    {"", "none", "No ability"},
    {"", "continue", "Continue"},
    {"", "try_again", "Try again"},
    {"", "load last save", "Load last save"},
};

}

std::string OptionLabels::label(const std::string& id, const std::string& menu)
{
    for (const Wording& wording : WORDINGS)
        if (id == wording.id && (wording.menu[0] == '\0' || menu == wording.menu))
            return wording.label;
    return words(id);
}

std::string OptionLabels::title(const std::string& id)
{
    return util::capitalisedFirst(id);
}

std::string OptionLabels::words(const std::string& id)
{
    return util::readableId(id);
}
}
