#include "util/ReadableId.h"

namespace util
{
namespace
{
bool isLower(char c)
{
    return c >= 'a' && c <= 'z';
}

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}
}

std::string capitalisedFirst(const std::string& text)
{
    std::string shown = text;
    if (!shown.empty() && isLower(shown[0]))
        shown[0] = static_cast<char>(shown[0] - 'a' + 'A');
    return shown;
}

std::string readableId(const std::string& id)
{
    std::string shown;
    for (size_t i = 0; i < id.size(); ++i)
    {
        const char c = id[i];
        if (c == '_')
        {
            shown += ' ';
        }
        // A capital after a small letter starts a word of a camel-cased id.
        else if (isUpper(c) && i > 0 && isLower(id[i - 1]))
        {
            const bool acronym = i + 1 < id.size() && isUpper(id[i + 1]);
            shown += ' ';
            shown += acronym ? c : static_cast<char>(c - 'A' + 'a');
        }
        else
        {
            shown += c;
        }
    }
    return capitalisedFirst(shown);
}
}
