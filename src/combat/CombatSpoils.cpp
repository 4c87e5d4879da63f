#include "combat/CombatSpoils.h"

#include "data/Character.h"
#include "data/Experience.h"
#include "data/IdList.h"
#include "data/Item.h"
#include "data/ResourceManager.h"
#include "sound/SoundHandler.h"
#include "util/SafeNumbers.h"

namespace core
{
void CombatSpoils::begin(const std::list<Character*>* enemies)
{
    _experience = 0;
    _items.clear();
    if (!enemies)
        return;
    for (const Character* foe : *enemies)
    {
        if (!foe)
            continue;
        _experience = saturatingAdd(_experience, foe->experienceReward());
        _items.insert(_items.end(), foe->getLoot().begin(), foe->getLoot().end());
    }
}

std::vector<std::string> CombatSpoils::award(const std::list<Character*>& victors, IdList* bag)
{
    std::vector<std::string> lines = shareExperience(victors);
    std::vector<std::string> loot = takeLoot(bag);
    lines.insert(lines.end(), loot.begin(), loot.end());
    return lines;
}

std::vector<std::string> CombatSpoils::shareExperience(const std::list<Character*>& victors)
{
    std::vector<std::string> lines;
    std::vector<Character*> standing;
    for (Character* member : victors)
        if (member && member->getHP(false) >= 1)
            standing.push_back(member);
    if (standing.empty() || _experience <= 0)
        return lines;
    const int count = static_cast<int>(standing.size());
    const int share = _experience / count;
    // The odd points go to the first members, so none of it is lost.
    const int odd = _experience % count;
    lines.push_back("The party gains " + std::to_string(_experience) + " experience.");
    bool rose = false;
    for (int i = 0; i < count; ++i)
    {
        std::vector<std::string> levels = Experience::gain(*standing[i], share + (i < odd ? 1 : 0));
        rose = rose || !levels.empty();
        lines.insert(lines.end(), levels.begin(), levels.end());
    }
    if (rose)
        sound::SoundHandler::sendCue(LEVEL_UP_CUE, 0.0);
    _experience = 0;
    return lines;
}

std::vector<std::string> CombatSpoils::takeLoot(IdList* bag)
{
    std::vector<std::string> lines;
    if (!bag || _items.empty())
        return lines;
    std::string found;
    for (const std::string& id : _items)
    {
        bag->add(id);
        const Item* item = ResourceManager::getItemById(id);
        found += (found.empty() ? "" : ", ") + (item ? item->getName() : id);
    }
    lines.push_back("Found: " + found + ".");
    sound::SoundHandler::sendCue(LOOT_CUE, 0.0);
    // Given once: a second call (the result shown again) finds nothing.
    _items.clear();
    return lines;
}
}
