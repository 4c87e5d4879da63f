#pragma once

#include <string>

namespace tamsygraphics
{
// The engine's shaders are written once, in GLSL 1.50. WebGL 2 takes the
// same programs in GLSL ES 3.00, which differs only in its first line and
// in asking for a precision; this makes that variant of a source.
class ShaderDialect
{
public:
    // The source with its #version line replaced by the ES 3.00 header and
    // precision lines (or those put first when it has none). A #line keeps
    // the compiler's line numbers those of the file a maker edits.
    static std::string toEs300(const std::string& source);
};
}
