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
        return clickAlly(_sides.characterAt(square));
    if (type == "self")
    {
        Log::named("rules") << "self" << std::endl;
        return true;
    }
    if (type == "burst" && dist < range)
        return clickBurst(square, radius);
    if (type == "line")
        return clickLine(from, square, range, radius);
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

bool CombatTargeting::clickAlly(Character* clicked)
{
    Log::named("rules") << "ally" << std::endl;
    if (!clicked)
        return false;
    for (Character* member : _sides.party())
    {
        if (member && member->getId() == clicked->getId())
        {
            _targets.push_back(clicked);
            highlightTile(CombatSides::squareOf(clicked));
        }
    }
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

bool CombatTargeting::clickLine(TilePos user, TilePos towards, int range, int radius)
{
    if (!_highlightedTiles.empty())
        return false;
    if (user == towards)
        return true;
    const int dr = std::abs(user.row - towards.row);
    const int dc = std::abs(user.col - towards.col);
    const int sr = user.row > towards.row ? -1 : 1;
    const int sc = user.col > towards.col ? -1 : 1;
    const double length = std::sqrt(static_cast<double>(dr * dr + dc * dc));
    const double halfWidth = 0.5 + radius / 2.0;
    const int reach = radius + range;
    const int rowSteps = stepsOnMap(user.row, sr, reach, true);
    const int colSteps = stepsOnMap(user.col, sc, reach, false);
    for (int i = 0; i < rowSteps; ++i)
    {
        for (int j = 0; j < colSteps; ++j)
        {
            if (i == 0 && j == 0)
                continue;
            if (std::abs(dc * i - dr * j) / length <= halfWidth)
                highlightTile({user.row + sr * i, user.col + sc * j});
        }
    }
    return true;
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
