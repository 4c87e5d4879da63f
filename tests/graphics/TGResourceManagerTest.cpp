#include "GfxTestSupport.h"

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <unistd.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#pragma GCC diagnostic pop

#include "graphics/TGImageLoader.h"

using namespace tamsygraphics;
using namespace gfxtest;

namespace
{

class ResourceManagerTest : public RendererFixture
{
};
}

TEST_F(ResourceManagerTest, ProgramsAndSquareExistAfterConstruction)
{
    for (const char* name : {"animatedSprite", "level", "pass", "overlay"})
    {
        const GLuint program = rm->GetProgram(name);
        ASSERT_NE(program, 0u) << name;
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE) << name;
        EXPECT_EQ(glGetAttribLocation(program, "pos"), 0) << name;
        EXPECT_EQ(glGetFragDataLocation(program, "outColor"), 0) << name;
        EXPECT_NE(glGetUniformLocation(program, "viewProj"), -1) << name;
        EXPECT_NE(glGetUniformLocation(program, "trans"), -1) << name;
    }
    const GLuint level = rm->GetProgram("level");
    EXPECT_NE(glGetUniformLocation(level, "overlay"), -1);
    EXPECT_NE(glGetUniformLocation(level, "tex"), -1);
    EXPECT_EQ(glGetAttribLocation(level, "uv"), 1);
    const GLuint sprite = rm->GetProgram("animatedSprite");
    EXPECT_NE(glGetUniformLocation(sprite, "texShift"), -1);
    EXPECT_NE(glGetUniformLocation(sprite, "texScale"), -1);
    EXPECT_NE(glGetUniformLocation(sprite, "tex"), -1);

    const auto square = rm->GetVAO("square");
    EXPECT_NE(square.first, 0u);
    EXPECT_EQ(square.second, 6u);
    EXPECT_EQ(rm->GetVAO("nothing"), std::make_pair(0u, 0u));
    EXPECT_EQ(rm->GetProgram("nothing"), 0u);
    EXPECT_EQ(rm->GetTexture("nothing"), nullptr);
}

TEST_F(ResourceManagerTest, MissingAndBrokenShaderFiles)
{
    LogCapture log;
    rm->LoadProgram("ghost", "ghost.frag", "ghost.vert");
    EXPECT_EQ(rm->GetProgram("ghost"), 0u);
    EXPECT_TRUE(
        log.HasAt("ERROR", "(ResourceManager::LoadFile) File Load Failed: ./assets/shaders/shaders150/ghost.vert"));
    EXPECT_TRUE(log.HasAt("ERROR", "(ResourceManager::LoadProgram) vertex shader load failed: ghost.vert"));

    rm->LoadProgram("halfghost", "ghost.frag", "level.vert");
    EXPECT_EQ(rm->GetProgram("halfghost"), 0u);
    EXPECT_TRUE(log.HasAt("ERROR", "(ResourceManager::LoadProgram) fragment shader load failed: ghost.frag"));
    EXPECT_EQ(rm->LoadFile("ghost.vert"), "");
    // An empty name points at the shader folder itself: refused, not read.
    EXPECT_EQ(rm->LoadFile(""), "");
    EXPECT_TRUE(log.HasAt("ERROR", "(ResourceManager::LoadFile) File Load Failed: ./assets/shaders/shaders150/"));
    EXPECT_NE(rm->LoadFile("level.vert").find("#version 150"), std::string::npos);

    ScratchDir dir;
    ::mkdir((dir.Path() + "/assets").c_str(), 0755);
    ::mkdir((dir.Path() + "/assets/shaders").c_str(), 0755);
    ::mkdir((dir.Path() + "/assets/shaders/shaders150").c_str(), 0755);
    ResourceManager other(dir.Path());
    EXPECT_EQ(other.GetProgram("level"), 0u) << "no shader files in that directory";
    dir.Write("/assets/shaders/shaders150/bad.vert", "#version 150\nthis is not glsl;\n");
    dir.Write("/assets/shaders/shaders150/ok.frag",
              "#version 150\nout vec4 outColor;\nvoid main(){outColor=vec4(1);}\n");
    testing::internal::CaptureStdout();
    other.LoadProgram("bad", "ok.frag", "bad.vert");
    std::fflush(stdout);
    // The line names the file and ends; the compiler's log follows it.
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string named = "Failed to compile shader " + dir.Path() + "/assets/shaders/shaders150/bad.vert:\n";
    EXPECT_EQ(printed.substr(0, named.size()), named);
    EXPECT_GT(printed.size(), named.size() + 1) << "the compiler's log is shown";
    EXPECT_EQ(printed.back(), '\n');
    EXPECT_EQ(other.GetProgram("bad"), 0u);
    EXPECT_TRUE(log.HasAt("ERROR", "(ResourceManager::LoadProgram) vertex shader compile failed: " + dir.Path() +
                                       "/assets/shaders/shaders150/bad.vert"));
    EXPECT_TRUE(log.HasAt("ERROR", "(ResourceManager::LoadProgram) Reported shader error"));

    // A file cut short names itself the same way.
    dir.Write("/assets/shaders/shaders150/cut.frag", "#version 150\nout vec4 outColor;\nvoid main(){outCol");
    testing::internal::CaptureStdout();
    dir.Write("/assets/shaders/shaders150/ok.vert",
              "#version 150\nin vec2 pos;\nvoid main(){gl_Position=vec4(pos,0,1);}\n");
    other.LoadProgram("cut", "cut.frag", "ok.vert");
    std::fflush(stdout);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Failed to compile shader " + dir.Path() +
                                                          "/assets/shaders/shaders150/cut.frag:\n"),
              std::string::npos);

    // Compiles, fails to link (no main in the vertex stage): still registered.
    dir.Write("/assets/shaders/shaders150/nomain.vert", "#version 150\nin vec2 pos;\n");
    other.LoadProgram("nolink", "ok.frag", "nomain.vert");
    EXPECT_NE(other.GetProgram("nolink"), 0u);
}

TEST_F(ResourceManagerTest, TextureSlotsWrapAt32)
{
    std::vector<int> slots;
    for (int i = 0; i < 33; ++i)
        slots.push_back(rm->GetTextureSlot());
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(slots[i], i);
    EXPECT_EQ(slots[32], 0);
}

TEST_F(ResourceManagerTest, LoadTextureFromFilesMissingOrNot)
{
    LogCapture log;
    rm->LoadTexture("missing", "/tests/graphics/data/does_not_exist.png");
    Texture* missing = rm->GetTexture("missing");
    ASSERT_NE(missing, nullptr) << "registered even without pixels";
    EXPECT_GE(missing->slot, 0);
    EXPECT_EQ(missing->info.width, 0);
    EXPECT_NE(missing->textureId, static_cast<GLuint>(-1));
    EXPECT_TRUE(log.HasAt("INFO", "(ResourceManager::LoadTexture) Loading Texture: missing"));
    EXPECT_TRUE(
        log.HasAt("ERROR", "(ImageLoader::LoadImage) File Open Failed: ./tests/graphics/data/does_not_exist.png"));

    // A real PNG, written here, decoded to RGBA with its own size.
    ScratchDir dir;
    const unsigned char rgb[2 * 3 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 255, 0, 255, 0, 255, 255};
    ASSERT_NE(stbi_write_png((dir.Path() + "/pic.png").c_str(), 3, 2, 3, rgb, 9), 0);
    ResourceManager local(dir.Path());
    local.LoadTexture("pic", "/pic.png");
    Texture* pic = local.GetTexture("pic");
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->info.width, 3);
    EXPECT_EQ(pic->info.height, 2);
    EXPECT_EQ(pic->info.format, tamsygraphics::RGBA);
    EXPECT_EQ(pic->info.type, UCHAR);

    ImageLoader loader;
    std::unique_ptr<Image> image(loader.LoadImage(dir.Path() + "/pic.png"));
    ASSERT_NE(image->data, nullptr);
    EXPECT_EQ(image->data[4 * 4 + 0], 255) << "second row, second pixel is magenta";
    EXPECT_EQ(image->data[4 * 4 + 1], 0);
    EXPECT_EQ(image->data[4 * 4 + 3], 255) << "alpha added";

    // A file that exists but is no image: logged, empty image, no crash.
    dir.Write("/junk.png", "definitely not a png");
    std::unique_ptr<Image> junk(loader.LoadImage(dir.Path() + "/junk.png"));
    EXPECT_EQ(junk->data, nullptr);
    EXPECT_EQ(junk->info.width, 0);
    EXPECT_TRUE(log.HasAt("ERROR", "junk.png"));

    // Empty, cut short, and a few bytes claiming a picture too large to
    // hold: each refused with a line naming it, before any pixel memory.
    std::ifstream picture(dir.Path() + "/pic.png", std::ios::binary);
    const std::string pictureBytes((std::istreambuf_iterator<char>(picture)), std::istreambuf_iterator<char>());
    std::ifstream bomb(ZOLT_SOURCE_DIR "/tests/fuzz/corpus/image/fault-gif-claiming-18192x17993-ran-out-of-memory.gif",
                       std::ios::binary);
    const std::string bombBytes((std::istreambuf_iterator<char>(bomb)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bombBytes.empty());
    dir.Write("/empty.png", "");
    dir.Write("/cut.png", pictureBytes.substr(0, pictureBytes.size() / 2));
    dir.Write("/bomb.gif", bombBytes);
    for (const char* name : {"/empty.png", "/cut.png", "/bomb.gif"})
    {
        SCOPED_TRACE(name);
        std::unique_ptr<Image> refused(loader.LoadImage(dir.Path() + name));
        EXPECT_EQ(refused->data, nullptr);
        EXPECT_TRUE(log.HasAt("ERROR", dir.Path() + name));
    }
    EXPECT_TRUE(
        log.HasAt("ERROR", "(ImageLoader::LoadImage) Image Too Large: " + dir.Path() + "/bomb.gif (18192 x 17993"));

    // Loading under an existing name: a new GL texture and a new unit. The
    // old texture record goes with its name, so only a copy of it is kept.
    SolidTexture(rm, "twice", RED);
    const Texture first = *rm->GetTexture("twice");
    SolidTexture(rm, "twice", BLUE);
    const Texture* second = rm->GetTexture("twice");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.textureId, second->textureId);
    EXPECT_NE(first.slot, second->slot);
}

TEST_F(ResourceManagerTest, GeometryRegistryReplacesByName)
{
    LogCapture log;
    GeometryFactory factory;
    rm->CreateGeometry("quad", factory.GenerateSquare(2, 2));
    const auto first = rm->GetVAO("quad");
    EXPECT_EQ(first.second, 6u);
    EXPECT_TRUE(log.HasAt("INFO", "(ResourceManager::CreateGeometry) Creating Geometry: quad"));
    rm->CreateGeometry("quad", Geometry());
    const auto second = rm->GetVAO("quad");
    EXPECT_NE(second.first, first.first);
    EXPECT_EQ(second.second, 0u);
    EXPECT_FALSE(log.Has("OpenGL Error"));
}

namespace
{
std::string ReadWholeFile(const std::string& path)
{
    std::string out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return out;
    char buffer[1024];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.append(buffer, got);
    std::fclose(f);
    return out;
}
}

TEST_F(ResourceManagerTest, RendererStartUpLogsIntoItsWorkingDirectory)
{
    // The renderer points the file log at its own file; put it back after.
    FILE* const savedLog = Output2FILE::Stream();

    // An empty working directory: no log folder yet, no fonts, no shaders.
    ScratchDir bare;
    testing::internal::CaptureStdout();
    {
        Renderer r(nullptr, bare.Path());
        std::fflush(Output2FILE::Stream());
    }
    std::fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Renderer Loading\n", 0), 0u) << out;
    EXPECT_NE(out.find("Vendor:   "), std::string::npos);
    EXPECT_NE(out.find("GLSL:     "), std::string::npos);
    const std::string log = ReadWholeFile(bare.Path() + "/logs/graphicslog.txt");
    EXPECT_NE(log.find("INFO: Vendor: "), std::string::npos) << log;
    EXPECT_NE(log.find("INFO: GLSL: "), std::string::npos);
    EXPECT_NE(log.find("INFO: (Renderer::Renderer) Depth Test: Disabled"), std::string::npos);
    EXPECT_NE(log.find("INFO: (Renderer::Renderer) Blend Mode: Enabled"), std::string::npos);
    EXPECT_NE(log.find("ERROR: (Renderer::Renderer) FreeType Font Load Failed"), std::string::npos)
        << "a missing default face is logged and start-up goes on";

    // With the game's assets the default face loads.
    ScratchDir withAssets;
    ASSERT_EQ(::symlink((std::string(ZOLT_SOURCE_DIR) + "/assets").c_str(), (withAssets.Path() + "/assets").c_str()),
              0);
    testing::internal::CaptureStdout();
    {
        Renderer r(nullptr, withAssets.Path());
        std::fflush(Output2FILE::Stream());
        EXPECT_NE(r.GetResourceManager()->GetProgram("level"), 0u);
    }
    testing::internal::GetCapturedStdout();
    const std::string good = ReadWholeFile(withAssets.Path() + "/logs/graphicslog.txt");
    EXPECT_NE(good.find("(Renderer::Renderer) Blend Mode: Enabled"), std::string::npos);
    EXPECT_EQ(good.find("FreeType"), std::string::npos) << good;
    EXPECT_EQ(good.find("ERROR"), std::string::npos) << good;

    Output2FILE::Stream() = savedLog;
}

TEST_F(ResourceManagerTest, ALazyTextureLoadsOnFirstUseAndABrokenOneIsReported)
{
    LogCapture log;
    ScratchDir dir;
    const unsigned char rgb[2 * 2 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    ASSERT_NE(stbi_write_png((dir.Path() + "/lazy.png").c_str(), 2, 2, 3, rgb, 6), 0);
    dir.Write("/broken.png", "no picture at all");
    ResourceManager local(dir.Path());

    local.DeferTexture("lazy", "/lazy.png");
    EXPECT_FALSE(log.HasAt("INFO", "Loading Texture: lazy")) << "nothing is read before it is used";
    EXPECT_TRUE(local.LoadTexture("eager", "/lazy.png"));
    Texture* eager = local.GetTexture("eager");
    ASSERT_NE(eager, nullptr);

    Texture* lazy = local.GetTexture("lazy");
    ASSERT_NE(lazy, nullptr);
    EXPECT_EQ(lazy->info.width, 2);
    EXPECT_EQ(lazy->slot, eager->slot + 1) << "a lazy texture takes the next unit when it is first used";
    EXPECT_EQ(local.GetTexture("lazy"), lazy) << "and is read only once";
    EXPECT_EQ(local.GetTexture("neverNamed"), nullptr);

    for (const char* file : {"/broken.png", "/missing.png"})
    {
        SCOPED_TRACE(file);
        EXPECT_FALSE(local.LoadTexture("bad", file));
        EXPECT_TRUE(
            log.HasAt("ERROR", "(ResourceManager::LoadTexture) Texture bad has no pixels: " + dir.Path() + file));
        ASSERT_NE(local.GetTexture("bad"), nullptr) << "registered all the same, drawing as nothing";
    }
}

// A PNG may carry empty image-data chunks; the first one empty once made the
// decoder copy into a buffer it had not allocated (the sanitizer build
// stopped there). Such a file decodes to exactly the pixels of the same
// image without them, and a file made only of empty chunks is still refused.
// A chunk claiming more bytes than the file holds once made the decoder
// allocate what it claimed (2 GB from a few hundred bytes): it is refused
// unread, while bytes after the end chunk are no concern.
TEST(ImageLoaderTest, EmptyImageDataChunksAreDecodedAroundAndOverlongOnesRefused)
{
    ScratchDir dir;
    const unsigned char rgb[2 * 3 * 3] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 255, 0, 255, 0, 255, 255};
    ASSERT_NE(stbi_write_png((dir.Path() + "/plain.png").c_str(), 3, 2, 3, rgb, 9), 0);
    std::ifstream plainFile(dir.Path() + "/plain.png", std::ios::binary);
    const std::string plain((std::istreambuf_iterator<char>(plainFile)), std::istreambuf_iterator<char>());
    const size_t idat = plain.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    const std::string emptyChunk("\0\0\0\0IDAT\xde\xad\xbe\xef", 12);
    const size_t chunkStart = idat - 4;
    const size_t iend = plain.find("IEND") - 4;
    struct Case
    {
        const char* name;
        std::string bytes;
        bool decodes;
    };
    const Case cases[] = {
        {"/emptyFirst.png", plain.substr(0, chunkStart) + emptyChunk + plain.substr(chunkStart), true},
        {"/emptyTwiceAround.png",
         plain.substr(0, chunkStart) + emptyChunk + emptyChunk + plain.substr(chunkStart, iend - chunkStart) +
             emptyChunk + plain.substr(iend),
         true},
        {"/onlyEmpty.png", plain.substr(0, chunkStart) + emptyChunk + plain.substr(iend), false},
        {"/emptyThenCut.png", plain.substr(0, chunkStart) + emptyChunk + plain.substr(chunkStart, 6), false},
        {"/overlong.png", plain.substr(0, chunkStart) + std::string("\x7f\xff\xff\xf0IDAT\x78\x9c", 10), false},
        {"/trailingBytes.png", plain + std::string("\xff\xff\xff\xffjunk", 8), true},
    };
    LogCapture log;
    ImageLoader loader;
    std::unique_ptr<Image> expected(loader.LoadImage(dir.Path() + "/plain.png"));
    ASSERT_NE(expected->data, nullptr);
    const size_t size = static_cast<size_t>(expected->info.width * expected->info.height * 4);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        dir.Write(c.name, c.bytes);
        std::unique_ptr<Image> image(loader.LoadImage(dir.Path() + c.name));
        if (!c.decodes)
        {
            EXPECT_EQ(image->data, nullptr);
            EXPECT_TRUE(log.HasAt("ERROR", dir.Path() + c.name));
            continue;
        }
        ASSERT_NE(image->data, nullptr);
        ASSERT_EQ(image->info.width, expected->info.width);
        ASSERT_EQ(image->info.height, expected->info.height);
        const unsigned char* got = static_cast<const unsigned char*>(image->data);
        const unsigned char* want = static_cast<const unsigned char*>(expected->data);
        EXPECT_TRUE(std::equal(got, got + size, want));
    }
    EXPECT_TRUE(log.HasAt("ERROR", "(ImageLoader::LoadImage) Image Decode Failed: " + dir.Path() +
                                       "/overlong.png (a PNG chunk claims more bytes than the file holds)"));
}
