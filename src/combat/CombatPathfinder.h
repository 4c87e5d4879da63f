#pragma once

#include <functional>
#include <vector>

#include "map/Direction.h"
#include "world/TilePos.h"

class LevelMap;

namespace core
{
// Shortest walks over a level map's grid, for fights: four-way steps through
// open cell sides, as walking takes them, never onto a blocked square (one
// where somebody stands). The grid's size is taken once; every search after
// a reset() costs only the squares it visits.
class CombatPathfinder
{
public:
    // A map without a passability grid has no open squares.
    explicit CombatPathfinder(const LevelMap* map);

    // Forgets the blocked squares and the last search.
    void reset();
    void block(const TilePos& square);

    // Every square within `maxSteps` of `start` (which may itself be
    // blocked), nearest first, through reached().
    void search(const TilePos& start, int maxSteps);
    // A shortest walk from `start` to the nearest square for which isGoal
    // holds; empty when there is none or start is one. `lowerBound` must
    // never exceed the steps still needed from a square (it steers the
    // search towards the goal and keeps it short).
    std::vector<Direction> findPath(const TilePos& start, const std::function<bool(const TilePos&)>& isGoal,
                                    const std::function<int(const TilePos&)>& lowerBound);

    bool contains(const TilePos& square) const;
    // Steps from the start of the last search; -1 when it was not reached.
    int distanceTo(const TilePos& square) const;
    // The steps of a shortest walk from the start of the last search.
    std::vector<Direction> pathTo(const TilePos& square) const;
    const std::vector<TilePos>& reached() const { return _reached; }
    // Where the last search began.
    const TilePos& start() const { return _start; }

private:
    int index(const TilePos& square) const { return square.row * _cols + square.col; }
    bool isBlocked(int cell) const { return _blockedIn[static_cast<size_t>(cell)] == _blockGeneration; }
    bool isSeen(int cell) const { return _seenIn[static_cast<size_t>(cell)] == _searchGeneration; }
    void see(int cell, int steps, int arrivedBy);
    // Whether one step from `here` towards `direction` is open; gives the
    // square it leads to.
    bool canStep(const TilePos& here, Direction direction, TilePos& there) const;
    // Starts a new search: nothing an earlier one found counts any more.
    bool begin(const TilePos& start);

    const LevelMap* _map;
    int _rows;
    int _cols;
    // A square's entry counts only when stamped with the current generation,
    // so nothing needs clearing between searches.
    unsigned _blockGeneration;
    unsigned _searchGeneration;
    std::vector<unsigned> _blockedIn;
    std::vector<unsigned> _seenIn;
    std::vector<int> _distance;
    // The step that reached each square.
    std::vector<signed char> _arrivedBy;
    std::vector<TilePos> _reached;
    TilePos _start;
};
}
