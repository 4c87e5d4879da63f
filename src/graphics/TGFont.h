#pragma once

#include <map>
#include <string>

#include <GL/glew.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace tamsygraphics
{
// Where one glyph sits in its atlas and how to place it, in pixels; tx is the
// glyph's left edge as a fraction of the atlas width.
struct character_info
{
    float ax = 0, ay = 0, bw = 0, bh = 0, bl = 0, bt = 0, tx = 0;
};

// The printable ASCII glyphs of one face at one pixel size, packed left to
// right in one row of a single-channel texture.
struct atlas
{
    character_info characters[128];
    GLuint tex = 0;
    int texWidth = 0;
    int texHeight = 0;
};

// One FreeType face and its glyph atlases by pixel size.
class Font
{
public:
    Font(const std::string& path, FT_Library* library);
    virtual ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Builds the atlas for a pixel size (needs a current GL context).
    void addSize(int size);
    // The atlas for a size; a size never added yields (and records) an empty atlas.
    atlas getSize(int size);

    bool hasFace() const { return _face != nullptr; }

private:
    void measure(int& width, int& height);
    GLuint createTexture(int width, int height);
    void fill(atlas& target, int width, bool upload);

    // The face reads its tables from these bytes for as long as it lives.
    std::string _bytes;
    FT_Face _face;
    // For error lines: a font cut short fails glyph by glyph, long after loading.
    std::string _path;
    std::map<int, atlas> _atlasMap;
};
}
