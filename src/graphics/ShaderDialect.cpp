#include "graphics/ShaderDialect.h"

namespace tamsygraphics
{
namespace
{
// Fragment shaders of ES have no default float precision; high precision
// keeps tile coordinates as exact as on the desktop.
const char* const ES300_HEADER = "#version 300 es\n"
                                 "precision highp float;\n"
                                 "precision highp int;\n";

size_t firstContentPosition(const std::string& source)
{
    size_t at = 0;
    while (at < source.size() && (source[at] == ' ' || source[at] == '\t' || source[at] == '\r'))
        ++at;
    return at;
}
}

std::string ShaderDialect::toEs300(const std::string& source)
{
    const size_t start = firstContentPosition(source);
    if (source.compare(start, 8, "#version") != 0)
        return ES300_HEADER + std::string("#line 1\n") + source;
    const size_t end = source.find('\n', start);
    // The line after the old #version line is line 2 of the file.
    const std::string rest = end == std::string::npos ? "" : source.substr(end + 1);
    return ES300_HEADER + std::string("#line 2\n") + rest;
}
}
