#include "graphics/TGFont.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "Log/Log.h"
#include "util/GameFiles.h"

namespace tamsygraphics
{
namespace
{
const int FIRST_GLYPH = 32;
const int LAST_GLYPH = 127;

std::uint32_t bigEndian(const std::string& bytes, size_t at, size_t count)
{
    std::uint32_t value = 0;
    for (size_t i = 0; i < count; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// FreeType reads a TrueType file's tables only when it needs them, so a file
// cut short still loads and draws its first glyphs. The table directory
// says how long the file must be; the name of the first table that does not
// fit, or "" when all do.
std::string tableCutShort(const std::string& bytes)
{
    const size_t DIRECTORY = 12;
    const size_t RECORD = 16;
    if (bytes.size() < DIRECTORY)
        return std::string();
    const size_t tables = bigEndian(bytes, 4, 2);
    for (size_t i = 0; i < tables; ++i)
    {
        const size_t record = DIRECTORY + i * RECORD;
        if (record + RECORD > bytes.size())
            return "table directory";
        const std::uint64_t end = std::uint64_t(bigEndian(bytes, record + 8, 4)) + bigEndian(bytes, record + 12, 4);
        if (end > bytes.size())
            return bytes.substr(record, 4);
    }
    return std::string();
}
}

Font::Font(const std::string& path, FT_Library* library) : _face(nullptr), _path(path)
{
    Log::file(logINFO) << "(Font::Font) Loading face: " << path;
    // Read through the game's files (a game may be one archive), so the face
    // is opened from memory.
    if (!library || !*library || !GameFiles::read(path, _bytes) ||
        FT_New_Memory_Face(*library, reinterpret_cast<const FT_Byte*>(_bytes.data()),
                           static_cast<FT_Long>(_bytes.size()), 0, &_face) != 0)
    {
        _face = nullptr;
        Log::file(logERROR) << "(Font::Font) Failed to load face: " << path;
        return;
    }
    const std::string cut = tableCutShort(_bytes);
    if (!cut.empty())
        Log::file(logERROR) << "(Font::Font) Font file cut short: " << path << " (its " << cut
                            << " table runs past the end); missing glyphs will not show";
}

Font::~Font()
{
    for (auto& entry : _atlasMap)
    {
        if (entry.second.tex)
            glDeleteTextures(1, &entry.second.tex);
    }
    if (_face)
        FT_Done_Face(_face);
}

void Font::measure(int& width, int& height)
{
    width = 0;
    height = 0;
    for (int c = FIRST_GLYPH; c <= LAST_GLYPH; ++c)
    {
        if (FT_Load_Char(_face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0)
        {
            Log::file(logERROR) << "(Font::addSize) Failed to load character: " << c << " of " << _path;
            continue;
        }
        width += static_cast<int>(_face->glyph->bitmap.width);
        height = std::max(height, static_cast<int>(_face->glyph->bitmap.rows));
    }
}

GLuint Font::createTexture(int width, int height)
{
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glActiveTexture(GL_TEXTURE7);
    glBindTexture(GL_TEXTURE_2D, tex);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Cleared texels, so that rows below a short glyph never sample garbage.
    std::vector<unsigned char> clear(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    // Sized: ES (WebGL) takes no bare GL_RED as a texture's format.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, width, height, 0, GL_RED, GL_UNSIGNED_BYTE,
                 clear.empty() ? nullptr : clear.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return tex;
}

void Font::fill(atlas& target, int width, bool upload)
{
    int x = 0;
    for (int c = FIRST_GLYPH; c <= LAST_GLYPH; ++c)
    {
        if (FT_Load_Char(_face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0)
        {
            Log::plainError() << "Loading character " << static_cast<char>(c) << " of " << _path << " failed!"
                              << std::endl;
            continue;
        }
        FT_GlyphSlot g = _face->glyph;
        int bw = static_cast<int>(g->bitmap.width);
        int bh = static_cast<int>(g->bitmap.rows);
        // An empty bitmap (the space) has nothing to upload.
        if (upload && bw > 0 && bh > 0)
            glTexSubImage2D(GL_TEXTURE_2D, 0, x, 0, bw, bh, GL_RED, GL_UNSIGNED_BYTE, g->bitmap.buffer);
        character_info& info = target.characters[c];
        info.ax = static_cast<float>(g->advance.x >> 6);
        info.ay = static_cast<float>(g->advance.y >> 6);
        info.bw = static_cast<float>(bw);
        info.bh = static_cast<float>(bh);
        info.bl = static_cast<float>(g->bitmap_left);
        info.bt = static_cast<float>(g->bitmap_top);
        info.tx = width > 0 ? static_cast<float>(x) / static_cast<float>(width) : 0.0f;
        x += bw;
    }
}

void Font::addSize(int size)
{
    atlas result;
    if (!_face)
    {
        _atlasMap[size] = result;
        return;
    }
    if (size <= 0)
    {
        // FreeType would read a negative size as a huge unsigned one and try
        // to render every glyph tens of thousands of pixels tall.
        Log::file(logERROR) << "(Font::addSize) Failed to load font size: " << size << " of " << _path;
        _atlasMap[size] = result;
        return;
    }
    if (FT_Set_Pixel_Sizes(_face, 0, static_cast<FT_UInt>(size)) != 0)
        Log::file(logERROR) << "(Font::addSize) Failed to load font size: " << size << " of " << _path;

    int width = 0;
    int height = 0;
    measure(width, height);
    // Without a GL context (tools and tests that only lay text out) the
    // glyph metrics are still read; only the atlas texture is left out.
#ifdef __EMSCRIPTEN__
    // A page's GL functions are always there, and so is its one context.
    const bool haveContext = true;
#else
    const bool haveContext = glActiveTexture != nullptr;
#endif
    if (haveContext)
        result.tex = createTexture(width, height);
    fill(result, width, haveContext);
    result.texWidth = width;
    result.texHeight = height;
    if (!haveContext)
    {
        _atlasMap[size] = result;
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError())
        Log::file(logERROR) << "(Font::addSize) OpenGL Error: " << error;

    auto existing = _atlasMap.find(size);
    if (existing != _atlasMap.end() && existing->second.tex)
        glDeleteTextures(1, &existing->second.tex);
    _atlasMap[size] = result;
}

atlas Font::getSize(int size)
{
    return _atlasMap[size];
}
}
