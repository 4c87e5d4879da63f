#pragma once

#include <string>

namespace core
{
// The scripting vocabulary as the game maker's guide shows it, read from the
// binding tables themselves, so the guide lists exactly what scripts can call.
class LuaVocabulary
{
public:
    // Markdown: one section per Lua global, one line per function in
    // registration order, with its usage where it is described.
    static std::string markdown();

    // The guide's generated part sits between these two lines.
    static const char* const BEGIN_MARK;
    static const char* const END_MARK;

    // The page with its generated part replaced; empty when the page lacks
    // the marks.
    static std::string refreshPage(const std::string& page);
};
}
