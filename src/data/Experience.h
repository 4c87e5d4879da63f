#pragma once

#include <string>
#include <vector>

namespace core
{
class Character;

// How experience raises a character: it climbs its main class (its highest
// one) a level at a time, each level costing more than the one before.
class Experience
{
public:
    // Going from level L to L + 1 costs PER_LEVEL x L (a character without
    // a class counts as level 1 but has no class to climb).
    static const int PER_LEVEL = 50;

    static int neededAfter(int level);
    // Adds the points, then takes as many levels as they pay for; what is
    // left over counts toward the next. One line for each level taken.
    static std::vector<std::string> gain(Character& character, int points);
};
}
