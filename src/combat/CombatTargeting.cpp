#include "combat/CombatTargeting.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "Log/Log.h"
#include "data/Ability.h"
#include "data/Character.h"
#include "combat/CombatDistance.h"
#include "combat/CombatSides.h"
#include "combat/EnemyPlanner.h"
#include "map/LevelMap.h"

namespace core
{
CombatTargeting::CombatTargeting(const CombatSides& sides, MapSource currentMap)
    : _sides(sides), _currentMap(std::move(currentMap))
{
}

void CombatTargeting::begin(const Ability& ability, Character& user)
{
    if (ability.getTargetType() != "self")
        return;
    _targets.push_back(&user);
    highlightTile(CombatSides::squareOf(&user));
}

bool CombatTargeting::click(const Ability& ability, const Character& user, TilePos square)
{
    const TilePos from = CombatSides::squareOf(&user);
    const int range = ability.getRange();
    const int radius = ability.getRadius();
    const int dist = combatDistance(square, from);
    const std::string& type = ability.getTargetType();

    if (type == "target" && dist < range)
        return clickSingleTarget(_sides.characterAt(square), radius);
    if (type == "ally" && dist < range)
        return clickAlly(_sides.characterAt(square), radius);
    if (type == "self")
    {
        // The user was taken in when the ability was chosen; where the
        // player clicks changes nothing.
        Log::named("rules") << "self" << std::endl;
        return true;
    }
    if (type == "burst" && dist < range)
        return clickBurst(square, radius);
    if (type == "line")
        return clickLine(user, square, range);
    Log::named("rules") << "ability target type not recognized" << std::endl;
    return true;
}

bool CombatTargeting::clickSingleTarget(Character* clicked, int radius)
{
    Log::named("rules") << "entered target" << std::endl;
    if (!clicked)
        return false;
    if (static_cast<int>(_targets.size()) < radius)
    {
        _targets.push_back(clicked);
        highlightTile(CombatSides::squareOf(clicked));
    }
    return true;
}

bool CombatTargeting::clickAlly(Character* clicked, int radius)
{
    Log::named("rules") << "ally" << std::endl;
    if (!clicked)
        return false;
    // Clicking the same member again must not help it twice.
    if (!_sides.isInParty(clicked) || std::find(_targets.begin(), _targets.end(), clicked) != _targets.end())
        return true;
    if (static_cast<int>(_targets.size()) >= std::max(1, radius))
        return true;
    _targets.push_back(clicked);
    highlightTile(CombatSides::squareOf(clicked));
    return true;
}

bool CombatTargeting::clickBurst(TilePos centre, int radius)
{
    Log::named("rules") << "entered burst" << std::endl;
    if (!_highlightedTiles.empty())
        return false;
    const std::list<Character*> near = _sides.charactersNear(centre, radius);
    _targets.insert(_targets.end(), near.begin(), near.end());
    highlightBurst(centre, radius);
    return true;
}

bool CombatTargeting::clickLine(const Character& user, TilePos towards, int range)
{
    if (!_highlightedTiles.empty())
        return false;
    for (const TilePos& square : lineSquares(CombatSides::squareOf(&user), towards, range))
    {
        highlightTile(square);
        Character* standing = _sides.characterAt(square);
        if (standing && standing != &user)
            _targets.push_back(standing);
    }
    return true;
}

std::vector<TilePos> CombatTargeting::lineSquares(TilePos user, TilePos towards, int range) const
{
    std::vector<TilePos> squares;
    const long long dr = static_cast<long long>(towards.row) - user.row;
    const long long dc = static_cast<long long>(towards.col) - user.col;
    // The nearest of the eight directions: a click more than about twice as
    // far one way as the other goes straight, any other diagonally.
    const int sr = 2 * std::llabs(dr) >= std::llabs(dc) ? (dr > 0) - (dr < 0) : 0;
    const int sc = 2 * std::llabs(dc) >= std::llabs(dr) ? (dc > 0) - (dc < 0) : 0;
    if (sr == 0 && sc == 0)
        return squares;
    // Counted with the user's own square, which is not part of the line; a
    // square reaches no farther out than `range` steps.
    int steps = range;
    if (sr != 0)
        steps = std::min(steps, stepsOnMap(user.row, sr, range, true) - 1);
    if (sc != 0)
        steps = std::min(steps, stepsOnMap(user.col, sc, range, false) - 1);
    for (int k = 1; k <= steps; ++k)
    {
        const TilePos square{user.row + sr * k, user.col + sc * k};
        if (combatDistance(user, square) >= range)
            break;
        squares.push_back(square);
    }
    return squares;
}

bool CombatTargeting::canStrike(const Character* foe, const EnemyPlan& plan) const
{
    if (!foe || !plan.ability || !plan.target || !_sides.isInParty(plan.target))
        return false;
    return EnemyPlanner::reaches(*plan.ability, CombatSides::squareOf(foe), CombatSides::squareOf(plan.target));
}

std::list<Character*> CombatTargeting::struckBy(const EnemyPlan& plan) const
{
    if (plan.ability && plan.ability->getTargetType() == "burst")
        return _sides.charactersNear(CombatSides::squareOf(plan.target), plan.ability->getRadius());
    return {plan.target};
}

void CombatTargeting::markBlow(const EnemyPlan& plan)
{
    unHighlightTiles();
    if (!plan.ability || !plan.target)
        return;
    const int radius = plan.ability->getTargetType() == "burst" ? plan.ability->getRadius() : 0;
    highlightBurst(CombatSides::squareOf(plan.target), radius);
}

int CombatTargeting::stepsOnMap(int start, int step, int wanted, bool rows) const
{
    const LevelMap* map = _currentMap ? _currentMap() : nullptr;
    if (!map)
        return wanted;
    const int extent = rows ? map->getNumberOfRows() : map->getNumberOfColumns();
    const int available = step > 0 ? extent - start : start + 1;
    return std::max(0, std::min(wanted, available));
}

void CombatTargeting::highlightBurst(TilePos centre, int radius)
{
    // Steps of 0 to radius each way, the centre's row and column included.
    const int up = stepsOnMap(centre.row, -1, radius + 1, true);
    const int down = stepsOnMap(centre.row, 1, radius + 1, true);
    const int left = stepsOnMap(centre.col, -1, radius + 1, false);
    const int right = stepsOnMap(centre.col, 1, radius + 1, false);
    for (int i = 1 - up; i < down; ++i)
        for (int j = 1 - left; j < right; ++j)
        {
            const TilePos square{centre.row + i, centre.col + j};
            if (combatDistance(square, centre) <= radius)
                highlightTile(square);
        }
}

void CombatTargeting::highlightTile(TilePos square)
{
    LevelMap* map = _currentMap ? _currentMap() : nullptr;
    // A burst or line near the edge would otherwise light squares drawn out
    // in the void beyond the map.
    if (map && !map->isOnMap(square.row, square.col))
        return;
    if (!_lit.insert({square.row, square.col}).second)
        return;
    _highlightedTiles.push_back(square);
    if (map)
        map->highlightTile(square.row, square.col);
}

void CombatTargeting::unHighlightTiles()
{
    Log::named("rules") << "num highlighted tiles: " << _highlightedTiles.size() << std::endl;
    LevelMap* map = _currentMap ? _currentMap() : nullptr;
    for (const TilePos& square : _highlightedTiles)
    {
        Log::named("rules") << "unhighlighting tile: " << square.row << " " << square.col << std::endl;
        if (map)
            map->unHighlightTile(square.row, square.col);
    }
    _highlightedTiles.clear();
    _lit.clear();
}
}
