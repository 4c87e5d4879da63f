#include "input/KeyBindings.h"

#include <utility>

#include "input/InputContext.h"

namespace application
{
namespace
{
// The named keys besides letters, digits and F1 to F12.
const std::vector<std::pair<const char*, int>>& namedKeys()
{
    static const std::vector<std::pair<const char*, int>> keys = {{"Escape", KEY_ESC},
                                                                  {"Up", KEY_UP},
                                                                  {"Down", KEY_UP + 1},
                                                                  {"Left", KEY_UP + 2},
                                                                  {"Right", KEY_UP + 3},
                                                                  {"Tab", KEY_TAB},
                                                                  {"Enter", KEY_TAB + 1},
                                                                  {"Backspace", KEY_TAB + 2},
                                                                  {"Space", ' '},
                                                                  {"LeftShift", KEY_LSHIFT},
                                                                  {"RightShift", KEY_LSHIFT + 1},
                                                                  {"LeftControl", KEY_LSHIFT + 2},
                                                                  {"RightControl", KEY_LSHIFT + 3}};
    return keys;
}
}

KeyBindings::KeyBindings()
{
    resetToDefaults();
}

const std::vector<KeyBindings::Action>& KeyBindings::actions()
{
    static const std::vector<Action> list = {{"walk_up", "Walk up", KEY_W},
                                             {"walk_left", "Walk left", KEY_A},
                                             {"walk_down", "Walk down", KEY_S},
                                             {"walk_right", "Walk right", KEY_D},
                                             {"interact", "Talk / choose", KEY_Z},
                                             {"back", "Back", KEY_X},
                                             {"menu", "Menu", KEY_M},
                                             {"pause", "Pause", KEY_ESC},
                                             {"console", "Console", KEY_P},
                                             {"quick_save", "Quick save", KEY_F5},
                                             {"quick_load", "Quick load", KEY_F9},
                                             {"screenshot", "Screenshot", KEY_F12}};
    return list;
}

int KeyBindings::keyCode(const std::string& name)
{
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
        return name[0];
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
        return name[0];
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F' &&
        name.find_first_not_of("0123456789", 1) == std::string::npos)
    {
        const int number = std::stoi(name.substr(1));
        return number >= 1 && number <= 12 ? KEY_F1 + number - 1 : -1;
    }
    for (const auto& named : namedKeys())
    {
        if (name == named.first)
            return named.second;
    }
    return -1;
}

std::string KeyBindings::keyName(int key)
{
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    if (key >= KEY_F1 && key < KEY_F1 + 12)
        return "F" + std::to_string(key - KEY_F1 + 1);
    for (const auto& named : namedKeys())
    {
        if (key == named.second)
            return named.first;
    }
    return "";
}

int KeyBindings::indexOf(const std::string& action) const
{
    const std::vector<Action>& list = actions();
    for (size_t i = 0; i < list.size(); ++i)
    {
        if (action == list[i].id)
            return static_cast<int>(i);
    }
    return -1;
}

int KeyBindings::keyFor(const std::string& action) const
{
    const int index = indexOf(action);
    return index < 0 ? -1 : _keys[static_cast<size_t>(index)];
}

bool KeyBindings::bind(const std::string& action, int key)
{
    const int index = indexOf(action);
    if (index < 0 || keyName(key).empty())
        return false;
    const int previous = _keys[static_cast<size_t>(index)];
    for (int& other : _keys)
    {
        if (other == key)
            other = previous;
    }
    _keys[static_cast<size_t>(index)] = key;
    return true;
}

void KeyBindings::resetToDefaults()
{
    _keys.clear();
    for (const Action& action : actions())
        _keys.push_back(action.defaultKey);
}

int KeyBindings::translate(int key) const
{
    const std::vector<Action>& list = actions();
    bool defaultOfRebound = false;
    for (size_t i = 0; i < list.size(); ++i)
    {
        if (_keys[i] == key)
            return list[i].defaultKey;
        if (list[i].defaultKey == key)
            defaultOfRebound = true;
    }
    return defaultOfRebound ? -1 : key;
}
}
