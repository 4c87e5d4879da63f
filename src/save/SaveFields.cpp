#include "save/SaveFields.h"

#include "util/XMLNumbers.h"

namespace core
{
namespace SaveFields
{
namespace
{
std::string where(const tinyxml2::XMLElement* element, const char* name)
{
    return std::string("<") + element->Name() + "> " + name + " (line " + std::to_string(element->GetLineNum()) + ")";
}
}

bool readWhole(const tinyxml2::XMLElement* element, const char* name, long long min, long long max,
               long long& value, std::string& error)
{
    const char* text = element->Attribute(name);
    long long read = 0;
    if (text && parseWholeNumber(text, read) && read >= min && read <= max)
    {
        value = read;
        return true;
    }
    error = std::string("<") + element->Name() + "> lacks a whole number " + name + " from " + std::to_string(min) +
            " to " + std::to_string(max) + " (line " + std::to_string(element->GetLineNum()) + ")";
    if (text)
        error += ": it reads " + quoted(text);
    return false;
}

long long readClamped(const tinyxml2::XMLElement* element, const char* name, long long fallback, long long min,
                      long long max, std::vector<std::string>& warnings)
{
    const char* text = element->Attribute(name);
    if (!text)
        return fallback;
    long long value = 0;
    if (!parseWholeNumber(text, value))
    {
        warnings.push_back(where(element, name) + " is " + quoted(text) + ", not a whole number; read as " +
                           std::to_string(fallback));
        return fallback;
    }
    if (value >= min && value <= max)
        return value;
    const long long held = value < min ? min : max;
    warnings.push_back(where(element, name) + " is " + quoted(text) + ", outside " + std::to_string(min) + " to " +
                       std::to_string(max) + "; read as " + std::to_string(held));
    return held;
}

std::string quoted(const char* text)
{
    return "\"" + shortened(text ? text : "") + "\"";
}

std::string shortened(const std::string& text, size_t limit)
{
    const bool cut = text.size() > limit;
    size_t keep = cut ? limit : text.size();
    // Never half a UTF-8 character: back off to where one begins.
    while (cut && keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80)
        --keep;
    std::string shown = text.substr(0, keep);
    for (char& c : shown)
    {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f)
            c = '?';
    }
    return cut ? shown + "..." : shown;
}
}
}
