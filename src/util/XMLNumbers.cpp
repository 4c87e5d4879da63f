#include "util/XMLNumbers.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "Log/Log.h"
#include "util/NamedXMLDocument.h"

bool parseWholeNumber(const char* text, long long& value)
{
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    if (end == text || errno == ERANGE)
        return false;
    while (std::isspace(static_cast<unsigned char>(*end)))
        ++end;
    return *end == '\0';
}

namespace
{
void logRefusal(const tinyxml2::XMLElement* element, const char* name, const char* text, const char* why, int fallback)
{
    Log::error() << "readIntAttribute - " << NamedXMLDocument::fileOf(element) << ", line " << element->GetLineNum()
                 << ", <" << element->Name() << "> attribute \"" << name << "\" = \"" << text << "\" " << why
                 << "; read as " << fallback << std::endl;
}
}

int readIntAttribute(const tinyxml2::XMLElement* element, const char* name, int fallback, int min, int max)
{
    const char* text = element ? element->Attribute(name) : nullptr;
    if (!text)
        return fallback;
    long long value = 0;
    if (!parseWholeNumber(text, value))
    {
        logRefusal(element, name, text, "is not a whole number", fallback);
        return fallback;
    }
    if (value < min || value > max)
    {
        const std::string range = "is outside " + std::to_string(min) + " to " + std::to_string(max);
        logRefusal(element, name, text, range.c_str(), fallback);
        return fallback;
    }
    return static_cast<int>(value);
}
