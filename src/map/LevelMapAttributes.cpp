#include "map/LevelMapAttributes.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "util/util.h"

namespace
{
std::string describe(const tinyxml2::XMLElement* element, const char* name, const char* raw, const char* expected)
{
    return std::string("attribute ") + name + "=\"" + raw + "\" of <" + element->Name() + "> is not " + expected;
}
}

bool LevelMapAttributes::has(const tinyxml2::XMLElement* element, const char* name)
{
    return element && element->Attribute(name) != nullptr;
}

std::string LevelMapAttributes::text(const tinyxml2::XMLElement* element, const char* name)
{
    return element ? nullToEmpty(element->Attribute(name)) : std::string();
}

bool LevelMapAttributes::readInt(const tinyxml2::XMLElement* element, const char* name, int fallback, int& value,
                                 std::string& problem)
{
    value = fallback;
    const char* raw = element ? element->Attribute(name) : nullptr;
    if (!raw)
        return true;
    char* end = nullptr;
    errno = 0;
    long parsed = std::strtol(raw, &end, 10);
    while (*end == ' ' || *end == '\t')
        ++end;
    if (end == raw || *end != '\0' || errno == ERANGE || parsed > 2147483647L || parsed < -2147483647L)
    {
        problem = describe(element, name, raw, "an integer");
        return false;
    }
    value = static_cast<int>(parsed);
    return true;
}

bool LevelMapAttributes::readCount(const tinyxml2::XMLElement* element, const char* name, int fallback, int& value,
                                   std::string& problem)
{
    if (!readInt(element, name, fallback, value, problem))
        return false;
    if (value < 0)
    {
        problem = describe(element, name, element->Attribute(name), "a size (it is negative)");
        return false;
    }
    return true;
}

bool LevelMapAttributes::readNumber(const tinyxml2::XMLElement* element, const char* name, double fallback,
                                    double& value, std::string& problem)
{
    value = fallback;
    const char* raw = element ? element->Attribute(name) : nullptr;
    if (!raw)
        return true;
    char* end = nullptr;
    double parsed = std::strtod(raw, &end);
    if (end == raw || *end != '\0' || !std::isfinite(parsed))
    {
        problem = describe(element, name, raw, "a number");
        return false;
    }
    value = parsed;
    return true;
}
