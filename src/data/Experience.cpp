#include "data/Experience.h"

#include <algorithm>

#include "Log/Log.h"
#include "data/Character.h"
#include "data/Class.h"
#include "data/ResourceManager.h"

namespace core
{
namespace
{
std::string learned(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    std::string names;
    for (const std::string& name : after)
    {
        if (std::find(before.begin(), before.end(), name) != before.end())
            continue;
        names += (names.empty() ? "" : ", ") + name;
    }
    return names;
}
}

int Experience::neededAfter(int level)
{
    return PER_LEVEL * std::max(1, level);
}

std::vector<std::string> Experience::gain(Character& character, int points)
{
    std::vector<std::string> lines;
    if (points > 0)
        character.addExperience(points);
    for (;;)
    {
        const std::string className = character.getMainClass();
        const Class* characterClass = className.empty() ? nullptr : ResourceManager::getClass(className);
        if (!characterClass)
            break;
        const int level = character.getClassLevel(className);
        const int needed = neededAfter(level);
        if (level >= Class::maxLevel || character.getExperience() < needed)
            break;
        const std::vector<std::string> before = character.getAllAbilities();
        if (!characterClass->levelUp(&character))
            break;
        character.addExperience(-needed);
        std::string line =
            character.getDisplayName() + " reaches level " + std::to_string(level + 1) + " as a " + className + "!";
        const std::string newAbilities = learned(before, character.getAllAbilities());
        if (!newAbilities.empty())
            line += " Learns " + newAbilities + ".";
        Log::named("rules") << line << std::endl;
        lines.push_back(line);
    }
    return lines;
}
}
