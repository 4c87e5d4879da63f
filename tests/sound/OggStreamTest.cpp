#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "Log/Log.h"
#include "sound/OggStream.h"
#include "support/Files.h"
#include "support/LogCapture.h"

// Music files that cannot be played as they are get a line naming them.
namespace
{
class OggStreamFiles : public ::testing::Test
{
protected:
    void TearDown() override { std::remove(_scratch.c_str()); }

    // The first `keep` bytes of a real file, written to a scratch file.
    std::string cut(const std::string& source, size_t keep)
    {
        testsupport::writeText(_scratch, testsupport::readText(source).substr(0, keep));
        return _scratch;
    }

    testsupport::ErrorCapture _errors;
    std::string _scratch =
        "/tmp/zolt-ogg-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".ogg";
};

const char* const SONG = "assets/sound/themeTown.ogg";
}

TEST_F(OggStreamFiles, AWholeFileOpensWithoutALine)
{
    sound::OggStream stream;
    EXPECT_TRUE(stream.open(SONG));
    EXPECT_EQ(_errors.text(), "");
}

TEST_F(OggStreamFiles, AFileCutShortIsNamedAndStillPlaysWhatItHas)
{
    const size_t size = testsupport::readText(SONG).size();
    ASSERT_GT(size, 8000u);
    for (size_t keep : {size / 2, size - 1, size * 3 / 4})
    {
        SCOPED_TRACE(keep);
        _errors.clear();
        const std::string path = cut(SONG, keep);
        sound::OggStream stream;
        EXPECT_TRUE(stream.open(path));
        EXPECT_EQ(_errors.text(), Log::prefix("Error") + "OggStream::open - " + path +
                                      " is cut short (its last page does not end the stream); it "
                                      "plays up to where it stops\n");
        std::vector<char> pcm;
        EXPECT_GT(stream.read(pcm, 1024), 0);
    }
}

TEST_F(OggStreamFiles, MissingEmptyAndGarbageFilesAreRefusedByName)
{
    const struct
    {
        const char* source; // null: no file at all
        size_t keep;
    } cases[] = {{nullptr, 0}, {SONG, 0}, {"assets/maps/region1/tileset.png", 3000}};
    for (const auto& c : cases)
    {
        const std::string path = c.source ? cut(c.source, c.keep) : "assets/sound/noSuchSong.ogg";
        SCOPED_TRACE(path);
        _errors.clear();
        sound::OggStream stream;
        EXPECT_FALSE(stream.open(path));
        EXPECT_EQ(
            _errors.text().rfind(Log::prefix("Error") + "OggStream::open - Failed to open Ogg Vorbis file " + path, 0),
            0u)
            << _errors.text();
    }
}
