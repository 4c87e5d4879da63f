#pragma once

#include <string>
#include <vector>

namespace application
{
// Which key the player presses for each action. The game's input contexts
// listen for each action's default key; a key the player has bound
// elsewhere is translated to that default before any context sees it, so
// no context needs to know about bindings.
class KeyBindings
{
public:
    struct Action
    {
        const char* id;    // as stored in the settings file
        const char* label; // as the settings menu shows it
        int defaultKey;
    };

    KeyBindings();

    // Every action that can be bound, in the settings menu's order.
    static const std::vector<Action>& actions();
    // The engine code of a key name ("W", "Escape", "F5", "Up"); -1 for a
    // name no key has.
    static int keyCode(const std::string& name);
    // The name of an engine key code; "" for a code without one.
    static std::string keyName(int key);

    // The key bound to an action; -1 for an unknown action.
    int keyFor(const std::string& action) const;
    // Binds the key to the action. A key held by another action moves over
    // to this one, and that action takes this one's old key, so that no
    // action is ever left without a key. False for an unknown action or a
    // key that has no name.
    bool bind(const std::string& action, int key);
    void resetToDefaults();

    // The key the contexts should see for a physical key: the default key of
    // the action it is bound to; -1 for a default key whose action now has
    // another key (so the old key stops doing it); else the key itself.
    int translate(int key) const;

private:
    int indexOf(const std::string& action) const;

    std::vector<int> _keys; // parallel to actions()
};
}
