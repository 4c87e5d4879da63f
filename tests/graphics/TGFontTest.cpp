#include "GfxTestSupport.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "graphics/TGFontManager.h"
#include "graphics/TGGUIManager.h"
#include "graphics/TGGUIRectangle.h"
#include "graphics/TGText.h"

using namespace tamsygraphics;

namespace
{
// The atlas is indexed by character code.
const character_info& glyph(const atlas& glyphs, char c)
{
    return glyphs.characters[static_cast<unsigned char>(c)];
}

const char* FREE_SANS = "./assets/fonts/FreeSans.ttf";

// The atlases need a GL context: the shared test window's.
class FontContext : public gfxtest::GLTest
{
};

struct GlyphTotals
{
    int width = 0;
    int height = 0;
    int spaceAdvance = 0;
    int spaceBitmapWidth = 0;
};

// Measures the printable glyphs with FreeType directly, independent of Font.
GlyphTotals measureWithFreeType(const char* path, int size)
{
    GlyphTotals totals;
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, path, 0, &face))
        return totals;
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size));
    for (int c = 32; c <= 127; ++c)
    {
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER))
            continue;
        totals.width += static_cast<int>(face->glyph->bitmap.width);
        totals.height = std::max(totals.height, static_cast<int>(face->glyph->bitmap.rows));
        if (c == ' ')
        {
            totals.spaceAdvance = static_cast<int>(face->glyph->advance.x >> 6);
            totals.spaceBitmapWidth = static_cast<int>(face->glyph->bitmap.width);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return totals;
}
}

TEST_F(FontContext, AtlasPacksEveryPrintableGlyphInOneRow)
{
    FontManager fonts;
    tamsygraphics::Font* font = fonts.createFont("FreeSans", FREE_SANS);
    ASSERT_NE(font, nullptr);
    ASSERT_TRUE(font->hasFace());
    font->addSize(18);
    atlas glyphs = font->getSize(18);
    GlyphTotals expected = measureWithFreeType(FREE_SANS, 18);

    EXPECT_GT(expected.width, 0);
    EXPECT_EQ(glyphs.texWidth, expected.width);
    EXPECT_EQ(glyphs.texHeight, expected.height);
    EXPECT_NE(glyphs.tex, 0u);
    EXPECT_EQ(glyph(glyphs, ' ').bw, static_cast<float>(expected.spaceBitmapWidth));
    EXPECT_EQ(glyph(glyphs, ' ').ax, static_cast<float>(expected.spaceAdvance));
    // Codes below the printable range stay empty; glyphs follow each other left to right.
    EXPECT_EQ(glyphs.characters[10].ax, 0.0f);
    EXPECT_EQ(glyph(glyphs, '!').tx, glyph(glyphs, ' ').tx + glyph(glyphs, ' ').bw / glyphs.texWidth);
    EXPECT_LT(glyph(glyphs, 'A').tx, glyph(glyphs, 'B').tx);
    EXPECT_FLOAT_EQ(glyph(glyphs, '~').tx + glyph(glyphs, '~').bw / glyphs.texWidth +
                        glyphs.characters[127].bw / glyphs.texWidth,
                    1.0f);

    // The atlas really holds the glyph coverage in its texture.
    std::vector<unsigned char> texels(static_cast<size_t>(glyphs.texWidth * glyphs.texHeight));
    glBindTexture(GL_TEXTURE_2D, glyphs.tex);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RED, GL_UNSIGNED_BYTE, texels.data());
    int lit = 0;
    for (unsigned char t : texels)
        lit += t > 128 ? 1 : 0;
    EXPECT_GT(lit, 100);
}

TEST_F(FontContext, TextLengthSumsAdvancesAtItsSize)
{
    FontManager fonts;
    tamsygraphics::Font* font = fonts.createFont("FreeSans", FREE_SANS);
    font->addSize(18);
    atlas glyphs = font->getSize(18);

    Text text("t");
    EXPECT_EQ(text.getText(), " ");
    EXPECT_EQ(text.getLength(), 0) << "no font yet";
    text.setFont(font);
    EXPECT_EQ(text.getLength(), 0) << "size 0";
    text.setSize(18);
    text.setText("   ");
    EXPECT_EQ(text.getLength(), 3 * static_cast<int>(glyph(glyphs, ' ').ax));
    EXPECT_GT(text.getLength(), 0);
    text.setText("Hi\xC3\xA9");
    EXPECT_EQ(text.getLength(), static_cast<int>(glyph(glyphs, 'H').ax + glyph(glyphs, 'i').ax))
        << "characters outside ASCII add nothing";
    text.setSize(40);
    EXPECT_EQ(text.getLength(), 0) << "a size never added measures nothing";
    EXPECT_EQ(font->getSize(40).tex, 0u);
}

TEST_F(FontContext, FontManagerReportsUnknownAndMissingFonts)
{
    gfxtest::LogCapture log;
    FontManager fonts;
    EXPECT_EQ(fonts.getFont("nope"), nullptr);
    tamsygraphics::Font* missing = fonts.createFont("ghost", "./assets/fonts/does-not-exist.ttf");
    ASSERT_NE(missing, nullptr);
    EXPECT_FALSE(missing->hasFace());
    missing->addSize(18);
    EXPECT_EQ(missing->getSize(18).texWidth, 0);
    EXPECT_EQ(fonts.getFont("ghost"), missing);
    fonts.destroyFont("ghost");
    EXPECT_EQ(fonts.getFont("ghost"), nullptr);
    fonts.destroyFont("ghost");

    // A nonsensical size is refused quickly instead of rendering giant glyphs.
    tamsygraphics::Font* real = fonts.createFont("FreeSans", FREE_SANS);
    real->addSize(-5);
    EXPECT_EQ(real->getSize(-5).tex, 0u);
    EXPECT_EQ(real->getSize(-5).texWidth, 0);

    std::string text = log.Text();
    EXPECT_TRUE(log.HasAt("ERROR", "(Font::addSize) Failed to load font size: -5")) << text;
    EXPECT_NE(text.find("-   ERROR: (FontManager::getFont) Font not found (nope)"), std::string::npos) << text;
    EXPECT_NE(text.find("(Font::Font) Failed to load face: ./assets/fonts/does-not-exist.ttf"), std::string::npos);
    EXPECT_NE(text.find("(FontManager::destroyFont) Destroying font that doesnt exist (ghost)"), std::string::npos);

    // Empty and cut-short font files: every line about them names the file.
    gfxtest::ScratchDir dir;
    std::ifstream whole(FREE_SANS, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(whole)), std::istreambuf_iterator<char>());
    dir.Write("/empty.ttf", "");
    dir.Write("/cut.ttf", bytes.substr(0, bytes.size() / 3));
    for (const char* name : {"/empty.ttf", "/cut.ttf"})
    {
        SCOPED_TRACE(name);
        const std::string path = dir.Path() + name;
        const size_t before = log.Text().size();
        tamsygraphics::Font* broken = fonts.createFont(name, path);
        ASSERT_NE(broken, nullptr);
        broken->addSize(18);
        const std::string said = log.Text().substr(before);
        EXPECT_NE(said.find("ERROR"), std::string::npos) << said;
        for (size_t at = said.find("ERROR"); at != std::string::npos; at = said.find("ERROR", at + 1))
            EXPECT_NE(said.substr(at, said.find('\n', at) - at).find(path), std::string::npos) << said;
    }
}

// A text keeps the font it was given: creating the name again must leave
// that font whole, and destroying the name frees only the newer one.
TEST_F(FontContext, FontCreatedAgainUnderItsNameLeavesTheOldOneUsable)
{
    gfxtest::LogCapture log;
    FontManager fonts;
    tamsygraphics::Font* first = fonts.createFont("FreeSans", FREE_SANS);
    first->addSize(18);
    Text text("t");
    text.setFont(first);
    text.setSize(18);
    text.setText("Hi");
    const int length = text.getLength();
    ASSERT_GT(length, 0);

    tamsygraphics::Font* second = fonts.createFont("FreeSans", FREE_SANS);
    EXPECT_NE(second, first);
    EXPECT_EQ(fonts.getFont("FreeSans"), second);
    EXPECT_TRUE(log.HasAt("ERROR", "(FontManager::createFont) Overwriting already created font (FreeSans)"))
        << log.Text();
    fonts.destroyFont("FreeSans");
    EXPECT_EQ(fonts.getFont("FreeSans"), nullptr);
    EXPECT_EQ(text.getLength(), length) << "the text still measures with the first font";
}

TEST(GUIElement, ClickBoundsAreInclusiveAndHiddenElementsAreNeverHit)
{
    GUIRectangle rectangle("r");
    EXPECT_EQ(rectangle.getWidthInPixels(), 100);
    EXPECT_EQ(rectangle.getHeightInPixels(), 100);
    EXPECT_FLOAT_EQ(rectangle.getWindowPosition().x, 0.5f);
    EXPECT_TRUE(rectangle.checkClick(0.5f, 0.0f));
    float edge = static_cast<float>(0.5 + 100 / 640.0);
    EXPECT_TRUE(rectangle.checkClick(edge, 0.0f));
    EXPECT_FALSE(rectangle.checkClick(edge + 0.001f, 0.0f));
    EXPECT_TRUE(rectangle.checkClick(0.5f, static_cast<float>(100 / 480.0)));
    EXPECT_FALSE(rectangle.checkClick(0.5f, static_cast<float>(100 / 480.0) + 0.001f));
    rectangle.hide();
    EXPECT_FALSE(rectangle.checkClick(0.5f, 0.0f));
    rectangle.show();
    EXPECT_TRUE(rectangle.checkClick(0.5f, 0.0f));

    glm::vec4 colour = rectangle.getBackgroundColor();
    EXPECT_FLOAT_EQ(colour.a, 0.75f);
    EXPECT_FLOAT_EQ(colour.r, 0.25f);
}

TEST(GUIElement, ScreenSizesConvertThroughPixels)
{
    GUIRectangle rectangle("r");
    rectangle.setWidth(0.3f);
    EXPECT_EQ(rectangle.getWidthInPixels(), 96);
    EXPECT_FLOAT_EQ(rectangle.getWidth(), 0.3f);
    rectangle.setHeight(1.0f);
    EXPECT_EQ(rectangle.getHeightInPixels(), 240);
    rectangle.setWidth(-0.0031f);
    EXPECT_EQ(rectangle.getWidthInPixels(), 0);
}

TEST_F(FontContext, GUIManagerRegistersByIdentifierWithoutARenderer)
{
    gfxtest::LogCapture log;
    GUIManager gui(nullptr);
    GUIRectangle* rectangle = gui.createRectangle("box");
    ASSERT_NE(rectangle, nullptr);
    EXPECT_EQ(gui.createRectangle("box"), nullptr);

    Text* text = gui.createText("label");
    ASSERT_NE(text, nullptr);
    text->setText("first");
    EXPECT_EQ(gui.createText("label"), nullptr);
    EXPECT_EQ(text->getText(), "first") << "the first text keeps its content";
    EXPECT_EQ(text->getSize(), 18);
    ASSERT_NE(text->getFont(), nullptr);
    const atlas glyphs = text->getFont()->getSize(18);
    EXPECT_EQ(text->getLength(),
              static_cast<int>(glyph(glyphs, 'f').ax + glyph(glyphs, 'i').ax + glyph(glyphs, 'r').ax +
                               glyph(glyphs, 's').ax + glyph(glyphs, 't').ax));

    gui.destroyRectangle(rectangle);
    EXPECT_NE(gui.createRectangle("box"), nullptr) << "the identifier is free again";
    gui.destroyText("label");
    gui.destroyText("label");
    gui.destroyRectangle("never");

    std::string text2 = log.Text();
    EXPECT_NE(text2.find("GUIRectangle with identifier already exists -- failed to create rectangle (box)"),
              std::string::npos);
    EXPECT_NE(
        text2.find("(GUIManager::createText) Text with identifier already exists -- failed to create text (label)"),
        std::string::npos);
    EXPECT_NE(text2.find("(GUIManager::destroyText) Tried to destroy gui text that doesnt exist (label)"),
              std::string::npos);
    EXPECT_NE(text2.find("(GUIManager::destroyRectangle) Tried to destroy gui rectangle that doesnt exist (never)"),
              std::string::npos);
}
