#include "combat/CombatTurnList.h"

#include "combat/CombatSides.h"
#include "data/Character.h"

namespace core
{
void CombatTurnList::markActed(const Character* fighter)
{
    if (fighter)
        _acted.insert(fighter);
}

std::vector<CombatTurnList::Entry> CombatTurnList::order(const CombatSides& sides, const Character* current) const
{
    std::vector<Entry> entries;
    const auto add = [&](Character* fighter, bool enemy)
    {
        if (!fighter || fighter->getHP(false) < 1)
            return;
        Entry entry;
        entry.fighter = fighter;
        entry.enemy = enemy;
        entry.done = hasActed(fighter);
        entry.current = fighter == current;
        entries.push_back(entry);
    };
    for (Character* member : sides.party())
        add(member, false);
    if (const std::list<Character*>* enemies = sides.enemies())
        for (Character* foe : *enemies)
            add(foe, true);
    return entries;
}

std::vector<std::string> CombatTurnList::lines(const std::vector<Entry>& entries)
{
    std::vector<std::string> shown;
    for (const Entry& entry : entries)
    {
        std::string line = entry.current ? "> " : "  ";
        line += entry.fighter->getName();
        if (entry.enemy)
            line += " (enemy)";
        if (entry.done && !entry.current)
            line += " - done";
        shown.push_back(line);
    }
    return shown;
}
}
