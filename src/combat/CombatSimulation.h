#pragma once

#include <functional>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "map/Direction.h"
#include "world/Entity.h"
#include "world/TilePos.h"

class LevelMap;

namespace core
{
class Ability;
class Character;
struct EnemyPlan;

// A fight played out without a window: both sides decide by the enemies'
// planner, one round after another (the party in its order, then the
// enemies), walking straight onto their squares and resolving blows with the
// same rules as a fight on screen. Game makers tune their numbers with it.
// The random source is the game's own, so seeding it repeats a fight.
class CombatSimulation
{
public:
    // A fight nobody wins in this many rounds counts as lost.
    static const int MAX_ROUNDS = 100;

    struct Result
    {
        bool won = false;
        int rounds = 0;
    };

    // The fighters stand where they are and as hurt as they are now; every
    // play() starts from there and leaves them so again. `bystanders` stand
    // in the way and take no part. Nothing is owned.
    CombatSimulation(const LevelMap* map, std::vector<Character*> party, std::vector<Character*> enemies,
                     std::vector<Entity*> bystanders = {});
    ~CombatSimulation();
    CombatSimulation(const CombatSimulation&) = delete;
    CombatSimulation& operator=(const CombatSimulation&) = delete;

    Result play();
    // Told every blow as "who uses what on whom" and the blow's text.
    void setTrace(std::function<void(const std::string&)> trace) { _trace = std::move(trace); }

private:
    struct State
    {
        int hp;
        int fatigue;
        TilePos square;
        std::string behaviour;
    };

    void restore();
    // One fighter's turn against the other side; false when it ended the fight.
    void act(Character* actor, std::list<Character*>& opponents);
    void walk(Character* actor, const std::vector<Direction>& steps);
    void strike(Character* actor, const EnemyPlan& plan);
    void removeFallen();
    EntityMap standing() const;
    bool occupied(const TilePos& square) const;

    const LevelMap* _map;
    std::vector<Character*> _partyAtStart;
    std::vector<Character*> _enemiesAtStart;
    std::vector<Entity*> _bystanders;
    std::map<Character*, State> _start;
    std::list<Character*> _party;
    std::list<Character*> _enemies;
    std::function<void(const std::string&)> _trace;
};
}
