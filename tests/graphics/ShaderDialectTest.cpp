#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "graphics/ShaderDialect.h"

using tamsygraphics::ShaderDialect;

namespace
{
std::string readShader(const std::string& name)
{
    std::ifstream in(std::string(ZOLT_SOURCE_DIR) + "/assets/shaders/shaders150/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string firstLine(const std::string& text)
{
    return text.substr(0, text.find('\n'));
}

std::string afterFirstLine(const std::string& text)
{
    const size_t end = text.find('\n');
    return end == std::string::npos ? "" : text.substr(end + 1);
}
}

// Every one of the engine's programs becomes ES 3.00 with only its header
// changed: the body a maker edits is the one WebGL compiles, and #line
// keeps the compiler's line numbers those of the file.
TEST(ShaderDialect, EveryEngineShaderKeepsItsBodyUnderTheEsHeader)
{
    const char* const files[] = {"animatedSprite.vert", "animatedSprite.frag", "level.vert", "level.frag", "text.vert",
                                 "text.frag",           "pass.vert",           "pass.frag",  "gui.vert",   "gui.frag",
                                 "overlay.vert",        "overlay.frag"};
    for (const char* file : files)
    {
        const std::string source = readShader(file);
        ASSERT_FALSE(source.empty()) << file;
        ASSERT_EQ(firstLine(source), "#version 150") << file;
        const std::string es = ShaderDialect::toEs300(source);
        EXPECT_EQ(firstLine(es), "#version 300 es") << file;
        EXPECT_NE(es.find("precision highp float;\n"), std::string::npos) << file;
        const std::string marker = "#line 2\n";
        const size_t body = es.find(marker);
        ASSERT_NE(body, std::string::npos) << file;
        EXPECT_EQ(es.substr(body + marker.size()), afterFirstLine(source)) << file;
        EXPECT_EQ(es.find("#version 150"), std::string::npos) << file;
    }
}

// Sources a maker wrote differently still get exactly one version line,
// first, as GLSL demands.
TEST(ShaderDialect, OddHeadersGetOneVersionLineFirst)
{
    struct Case
    {
        const char* source;
        const char* body;
    };
    const Case cases[] = {
        {"void main() {}\n", "#line 1\nvoid main() {}\n"},
        {"  #version 150\nvoid main() {}\n", "#line 2\nvoid main() {}\n"},
        {"#version 330 core\r\nvoid main() {}\n", "#line 2\nvoid main() {}\n"},
        {"#version 150", "#line 2\n"},
        {"", "#line 1\n"},
    };
    for (const Case& c : cases)
    {
        const std::string es = ShaderDialect::toEs300(c.source);
        EXPECT_EQ(firstLine(es), "#version 300 es") << c.source;
        EXPECT_EQ(es.find("#version", 1), std::string::npos) << c.source;
        const std::string body = es.substr(es.find("#line"));
        EXPECT_EQ(body, c.body) << c.source;
    }
}
