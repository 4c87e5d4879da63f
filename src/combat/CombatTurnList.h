#pragma once

#include <set>
#include <string>
#include <vector>

namespace core
{
class Character;
class CombatSides;

// The order in which a fight's round is played, as the player sees it: the
// party first, in the order its members stand in, each member when the
// player picks it; then the enemies, one after the other. Each fighter acts
// once a round; the list keeps who has.
class CombatTurnList
{
public:
    struct Entry
    {
        Character* fighter = nullptr;
        bool enemy = false;
        bool done = false;
        bool current = false;
    };

    void newRound() { _acted.clear(); }
    void markActed(const Character* fighter);
    bool hasActed(const Character* fighter) const { return _acted.count(fighter) > 0; }

    // Everybody still standing, in turn order; `current` is the one acting now.
    std::vector<Entry> order(const CombatSides& sides, const Character* current) const;
    // One line per entry for the screen: who acts now, who is still to act,
    // who is done.
    static std::vector<std::string> lines(const std::vector<Entry>& entries);

private:
    std::set<const Character*> _acted;
};
}
