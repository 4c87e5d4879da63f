#include "data/CharacterStore.h"

#include <algorithm>
#include <utility>

#include "data/Character.h"

namespace core
{
CharacterStore& CharacterStore::instance()
{
    static CharacterStore store;
    return store;
}

CharacterStore::~CharacterStore()
{
    clear();
}

Character* CharacterStore::adopt(std::unique_ptr<Character> character)
{
    if (!character)
        return nullptr;
    Character* adopted = character.get();
    instance()._characters.push_back(std::move(character));
    return adopted;
}

bool CharacterStore::release(const Character* character)
{
    auto& characters = instance()._characters;
    auto found = std::find_if(characters.begin(), characters.end(),
                              [character](const std::unique_ptr<Character>& held) { return held.get() == character; });
    if (!character || found == characters.end())
        return false;
    // Out of the list before it is freed: its destructor must not find
    // itself still held.
    std::unique_ptr<Character> freed = std::move(*found);
    characters.erase(found);
    return true;
}

bool CharacterStore::holds(const Character* character)
{
    const auto& characters = instance()._characters;
    return character &&
           std::any_of(characters.begin(), characters.end(),
                       [character](const std::unique_ptr<Character>& held) { return held.get() == character; });
}

std::size_t CharacterStore::size()
{
    return instance()._characters.size();
}

void CharacterStore::clear()
{
    // Freed one by one, last first, off the list before each is destroyed.
    auto& characters = instance()._characters;
    while (!characters.empty())
    {
        std::unique_ptr<Character> freed = std::move(characters.back());
        characters.pop_back();
    }
}
}
