#include "combat/CombatPathfinder.h"

#include <algorithm>
#include <queue>
#include <tuple>

#include "map/LevelMap.h"
#include "map/PassabilityMap.h"

namespace core
{
namespace
{
const Direction DIRECTIONS[] = {UP, RIGHT, DOWN, LEFT};

Direction opposite(Direction direction)
{
    return static_cast<Direction>((static_cast<int>(direction) + 2) % 4);
}
}

CombatPathfinder::CombatPathfinder(const LevelMap* map)
    : _map(map), _rows(0), _cols(0), _blockGeneration(1), _searchGeneration(1)
{
    const PassabilityMap* grid = map ? map->getPassabilityMap() : nullptr;
    if (grid)
    {
        _rows = grid->getNumberOfRows();
        _cols = grid->getNumberOfColumns();
    }
    const size_t cells = static_cast<size_t>(_rows) * static_cast<size_t>(_cols);
    _blockedIn.assign(cells, 0);
    _seenIn.assign(cells, 0);
    _distance.assign(cells, -1);
    _arrivedBy.assign(cells, -1);
}

void CombatPathfinder::reset()
{
    ++_blockGeneration;
    ++_searchGeneration;
    _reached.clear();
}

bool CombatPathfinder::contains(const TilePos& square) const
{
    return square.row >= 0 && square.col >= 0 && square.row < _rows && square.col < _cols;
}

void CombatPathfinder::block(const TilePos& square)
{
    if (contains(square))
        _blockedIn[static_cast<size_t>(index(square))] = _blockGeneration;
}

void CombatPathfinder::see(int cell, int steps, int arrivedBy)
{
    _seenIn[static_cast<size_t>(cell)] = _searchGeneration;
    _distance[static_cast<size_t>(cell)] = steps;
    _arrivedBy[static_cast<size_t>(cell)] = static_cast<signed char>(arrivedBy);
}

bool CombatPathfinder::canStep(const TilePos& here, Direction direction, TilePos& there) const
{
    there = here.neighbour(direction);
    return contains(there) && !isBlocked(index(there)) &&
           _map->getPassabilityMap()->isPassable(direction, here.row, here.col);
}

bool CombatPathfinder::begin(const TilePos& start)
{
    ++_searchGeneration;
    _reached.clear();
    _start = start;
    if (!contains(start))
        return false;
    see(index(start), 0, -1);
    return true;
}

void CombatPathfinder::search(const TilePos& start, int maxSteps)
{
    if (!begin(start))
        return;
    _reached.push_back(start);
    // _reached doubles as the queue: squares are appended in the order found.
    for (size_t next = 0; next < _reached.size(); ++next)
    {
        const TilePos here = _reached[next];
        const int steps = _distance[static_cast<size_t>(index(here))];
        if (steps >= maxSteps)
            continue;
        for (Direction direction : DIRECTIONS)
        {
            TilePos there;
            if (!canStep(here, direction, there) || isSeen(index(there)))
                continue;
            see(index(there), steps + 1, direction);
            _reached.push_back(there);
        }
    }
}

std::vector<Direction> CombatPathfinder::findPath(const TilePos& start,
                                                  const std::function<bool(const TilePos&)>& isGoal,
                                                  const std::function<int(const TilePos&)>& lowerBound)
{
    if (!begin(start))
        return {};
    // A* with the lower bound as its estimate: (estimate, steps, cell).
    typedef std::tuple<int, int, int> Entry;
    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> open;
    open.emplace(lowerBound(start), 0, index(start));
    while (!open.empty())
    {
        const Entry top = open.top();
        open.pop();
        const int cell = std::get<2>(top);
        const int steps = std::get<1>(top);
        if (steps != _distance[static_cast<size_t>(cell)])
            continue;
        const TilePos here{cell / _cols, cell % _cols};
        if (isGoal(here))
            return pathTo(here);
        for (Direction direction : DIRECTIONS)
        {
            TilePos there;
            if (!canStep(here, direction, there))
                continue;
            const int next = index(there);
            if (isSeen(next) && _distance[static_cast<size_t>(next)] <= steps + 1)
                continue;
            see(next, steps + 1, direction);
            open.emplace(steps + 1 + lowerBound(there), steps + 1, next);
        }
    }
    return {};
}

int CombatPathfinder::distanceTo(const TilePos& square) const
{
    if (!contains(square) || !isSeen(index(square)))
        return -1;
    return _distance[static_cast<size_t>(index(square))];
}

std::vector<Direction> CombatPathfinder::pathTo(const TilePos& square) const
{
    std::vector<Direction> steps;
    if (distanceTo(square) < 0)
        return steps;
    TilePos at = square;
    while (at != _start)
    {
        const Direction step = static_cast<Direction>(_arrivedBy[static_cast<size_t>(index(at))]);
        steps.push_back(step);
        at = at.neighbour(opposite(step));
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}
}
