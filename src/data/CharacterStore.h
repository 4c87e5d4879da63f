#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace core
{
class Character;

// The one owner of every character read from the game's files. Scenes,
// parties, fights and scripts only point at them: a character outlives the
// scene it was read for (the party takes members along, saves and scripts
// name them by id), so it lives here until the run ends or it is released.
class CharacterStore
{
public:
    // Takes the character over and returns it, now owned by the store; null
    // for null.
    static Character* adopt(std::unique_ptr<Character> character);
    // Frees the character now. Scripts still holding its table get an error
    // line when they call it; every other holder must have let it go. False
    // when the store does not hold it.
    static bool release(const Character* character);
    static bool holds(const Character* character);
    static std::size_t size();
    // Frees every character (the end of a run, tests).
    static void clear();

    CharacterStore(const CharacterStore&) = delete;
    CharacterStore& operator=(const CharacterStore&) = delete;

private:
    CharacterStore() = default;
    ~CharacterStore();
    static CharacterStore& instance();

    std::vector<std::unique_ptr<Character>> _characters;
};
}
