#include <cmath>
#include <limits>

#include <unistd.h>

#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "sound/AudioDevice.h"
#include "sound/AudioSource.h"
#include "sound/AudioVoice.h"
#include "sound/Sound.h"
#include "sound/SoundHandler.h"

using sound::AudioVoice;
using sound::Sound;
using sound::SoundHandler;

namespace
{
const std::string TOWN = "./assets/sound/themeTown.ogg";
const std::string OVERWORLD = "./assets/sound/tempOverworld.ogg";
const std::string BATTLE = "./assets/sound/themeBattle.ogg";
const std::string TEXT = "./assets/sound/SFX/text.ogg";
const unsigned int TOWN_LENGTH_MS = 2000;
const unsigned int OVERWORLD_LENGTH_MS = 7000;
}

// Every test starts on a fresh device at clock 1000 inside a directory that
// holds a few generated sound files, laid out like the game's assets.
class SoundHandlerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        soundtest::useSilentOutput();
        files = new soundtest::TempDir();
        const std::string root = files->path();
        filesMade = soundtest::makeOgg(root + "/assets/sound/themeTown.ogg", TOWN_LENGTH_MS) &&
                    soundtest::makeOgg(root + "/assets/sound/tempOverworld.ogg", OVERWORLD_LENGTH_MS, 2) &&
                    soundtest::makeOgg(root + "/assets/sound/themeBattle.ogg", 1500, 1, 660.0) &&
                    soundtest::makeOgg(root + "/assets/sound/blip.ogg", 50) &&
                    soundtest::makeOgg(root + "/assets/sound/SFX/text.ogg", 400, 1, 880.0);
        soundtest::writeTextFile(root + "/assets/sound/broken.ogg", "this is not an Ogg file");
    }

    static void TearDownTestSuite()
    {
        delete files;
        files = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(filesMade) << "oggenc (vorbis-tools) is needed to make test sounds";
        files->enter();
        clockNow = 1000;
        SoundHandler::setClock([] { return clockNow; });
        SoundHandler::init(false);
        ASSERT_NE(SoundHandler::getSoundEngine(), nullptr);
        SoundHandler::addSound("/assets/sound/themeTown.ogg", true, 0, true);
        SoundHandler::addSound("/assets/sound/tempOverworld.ogg", true, 5337, true);
        SoundHandler::addSound("/assets/sound/themeBattle.ogg", true, 760, true);
        SoundHandler::addSound("/assets/sound/SFX/text.ogg", false, 0, true);
        SoundHandler::addSound("/assets/sound/blip.ogg", true, 0, true);
        ASSERT_EQ(SoundHandler::getSounds().size(), 5u);
    }

    void TearDown() override
    {
        SoundHandler::erase();
        SoundHandler::setClock(SoundHandler::ClockFunction());
        files->leave();
    }

    static void updateAt(clock_t time)
    {
        clockNow = time;
        SoundHandler::update();
    }

    // Starts a track as the current music at the given time.
    static AudioVoice* playMusicAt(const std::string& name, clock_t time)
    {
        clockNow = time;
        SoundHandler::sendRequest(name, 0.0);
        updateAt(time + 1);
        return SoundHandler::getCurrentMusic();
    }

    // Positions move on in real time between calls, so a jump is accepted
    // anywhere in the 300 ms after the loop point.
    static void expectLoopedTo(const AudioVoice* music, unsigned int loopTo)
    {
        EXPECT_GE(music->getPlayPosition(), loopTo);
        EXPECT_LT(music->getPlayPosition(), loopTo + 300);
        EXPECT_TRUE(music->isPlaying());
    }

    static bool isPlaying(const std::string& file) { return SoundHandler::getSoundEngine()->isCurrentlyPlaying(file); }

    static soundtest::TempDir* files;
    static bool filesMade;
    static clock_t clockNow;
};

soundtest::TempDir* SoundHandlerTest::files = nullptr;
bool SoundHandlerTest::filesMade = false;
clock_t SoundHandlerTest::clockNow = 0;

TEST(SoundNameTest, FullPathBaseNameAndBareNameAllMatch)
{
    Sound sound("./assets/sound/themeTown.ogg", true, 0);
    EXPECT_TRUE(sound.isRelativeFilenameEqualTo("./assets/sound/themeTown.ogg"));
    EXPECT_TRUE(sound.isRelativeFilenameEqualTo("themeTown.ogg"));
    EXPECT_TRUE(sound.isRelativeFilenameEqualTo("themeTown"));

    EXPECT_FALSE(sound.isRelativeFilenameEqualTo("ThemeTown"));
    EXPECT_FALSE(sound.isRelativeFilenameEqualTo("sound/themeTown.ogg"));
    EXPECT_FALSE(sound.isRelativeFilenameEqualTo("themeTow"));
    EXPECT_FALSE(sound.isRelativeFilenameEqualTo(""));

    Sound windows("C:\\game\\SFX\\flame.ogg", false, 0);
    EXPECT_TRUE(windows.isRelativeFilenameEqualTo("flame"));

    // Names too short to hold an extension are compared whole, never cut.
    Sound tiny("a/ab", false, 0);
    EXPECT_TRUE(tiny.isRelativeFilenameEqualTo("ab"));
    EXPECT_FALSE(tiny.isRelativeFilenameEqualTo(""));
}

TEST_F(SoundHandlerTest, DefaultTableRegistersExistingFilesInTableOrder)
{
    soundtest::TempDir game;
    for (const char* file :
         {"/assets/sound/testMusicShort.ogg", "/assets/sound/themeBattle.ogg", "/assets/sound/themeTown.ogg",
          "/assets/sound/SFX/portal.ogg", "/assets/sound/SFX/stepHard.ogg"})
        soundtest::writeTextFile(game.path() + file, "x");
    game.enter();
    SoundHandler::init(true);
    game.leave();

    const std::vector<Sound*> sounds = SoundHandler::getSounds();
    ASSERT_EQ(sounds.size(), 5u);
    EXPECT_EQ(sounds[0]->getFilename(), "./assets/sound/testMusicShort.ogg");
    EXPECT_TRUE(sounds[0]->getIsMusic());
    EXPECT_EQ(sounds[0]->getLoopToTime(), 760u);
    EXPECT_EQ(sounds[1]->getFilename(), "./assets/sound/themeBattle.ogg");
    EXPECT_EQ(sounds[1]->getLoopToTime(), 5828u);
    EXPECT_EQ(sounds[2]->getFilename(), "./assets/sound/themeTown.ogg");
    EXPECT_EQ(sounds[3]->getFilename(), "./assets/sound/SFX/stepHard.ogg");
    EXPECT_FALSE(sounds[3]->getIsMusic());
    EXPECT_EQ(sounds[4]->getFilename(), "./assets/sound/SFX/portal.ogg");
    EXPECT_EQ(sounds[4]->getSource(), nullptr);
}

TEST_F(SoundHandlerTest, MissingAndBrokenFilesNeverPlay)
{
    SoundHandler::addSound("/assets/sound/missing.ogg", true, 0, true);
    EXPECT_EQ(SoundHandler::getSounds().size(), 5u);

    // Without the check the entry is kept as given; playing it fails quietly.
    SoundHandler::addSound("/assets/sound/missing.ogg", true, 0, false);
    SoundHandler::addSound("/assets/sound/broken.ogg", true, 0, true);
    ASSERT_EQ(SoundHandler::getSounds().size(), 7u);
    EXPECT_EQ(SoundHandler::getSounds()[5]->getFilename(), "/assets/sound/missing.ogg");

    SoundHandler::sendRequest("missing", 0.0);
    SoundHandler::sendRequest("broken", 0.0);
    testing::internal::CaptureStdout();
    updateAt(1001);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_NE(output.find("/assets/sound/missing.ogg"), std::string::npos) << output;
    EXPECT_NE(output.find("./assets/sound/broken.ogg"), std::string::npos) << output;
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    EXPECT_EQ(SoundHandler::getCurrentMusic(), nullptr);
    EXPECT_EQ(SoundHandler::getCurrentMusicSoundIndex(), -1);

    // A failed track during a fade leaves the fade alone.
    AudioVoice* town = playMusicAt("themeTown", 2000);
    ASSERT_NE(town, nullptr);
    SoundHandler::sendRequest("broken", 0.0);
    testing::internal::CaptureStdout();
    updateAt(2002);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(SoundHandler::getNextMusic(), nullptr);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), town);

    // Several effects at once follow the same existence rule.
    const size_t before = SoundHandler::getSounds().size();
    SoundHandler::addSounds({"/assets/sound/nothere.ogg", "/assets/sound/blip.ogg"}, true);
    ASSERT_EQ(SoundHandler::getSounds().size(), before + 1);
    const Sound* added = SoundHandler::getSounds().back();
    EXPECT_EQ(added->getFilename(), "./assets/sound/blip.ogg");
    EXPECT_FALSE(added->getIsMusic());
    EXPECT_EQ(added->getLoopToTime(), 0u);
}

TEST_F(SoundHandlerTest, UnknownNamesAreLoggedAndDropped)
{
    testing::internal::CaptureStdout();
    const clock_t received = SoundHandler::sendRequest("nosuchsound", 0.0);
    SoundHandler::sendRequest("THEMETOWN", 1.5);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(received, 1000);
    EXPECT_NE(output.find("Received request to play nosuchsound in 0 seconds"), std::string::npos) << output;
    EXPECT_NE(output.find("Received request to play THEMETOWN in 1.5 seconds"), std::string::npos) << output;
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    updateAt(5000);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), nullptr);
}

TEST_F(SoundHandlerTest, RequestsBecomeDueAfterTheirDelay)
{
    EXPECT_EQ(SoundHandler::sendRequest("themeTown", 2.5), 1000);
    ASSERT_EQ(SoundHandler::getRequestPlayTimes(), std::vector<long>{3500});
    EXPECT_EQ(SoundHandler::getRequestFilenames(), std::vector<std::string>{"themeTown"});

    updateAt(3500);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), nullptr);
    EXPECT_EQ(SoundHandler::getRequestFilenames().size(), 1u);

    updateAt(3501);
    AudioVoice* music = SoundHandler::getCurrentMusic();
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(SoundHandler::getCurrentMusicSoundIndex(), 0);
    EXPECT_FLOAT_EQ(music->getVolume(), 0.75f);
    EXPECT_TRUE(music->isPlaying());
    EXPECT_TRUE(isPlaying(TOWN));
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());

    // Delay 0 waits for the next clock tick; fractions of a tick round up.
    clockNow = 4000;
    SoundHandler::sendRequest("text", 0.0);
    SoundHandler::sendRequest("text.ogg", 0.0004);
    EXPECT_EQ(SoundHandler::getRequestPlayTimes(), (std::vector<long>{4000, 4001}));
    updateAt(4000);
    EXPECT_EQ(SoundHandler::getRequestFilenames().size(), 2u);
    updateAt(4001);
    EXPECT_EQ(SoundHandler::getRequestFilenames().size(), 1u);
    EXPECT_TRUE(isPlaying(TEXT));
    updateAt(4002);
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
}

TEST_F(SoundHandlerTest, DelaysThatCannotBeScheduledAreRefused)
{
    testing::internal::CaptureStdout();
    SoundHandler::sendRequest("themeTown", std::numeric_limits<double>::quiet_NaN());
    SoundHandler::sendRequest("themeTown", std::numeric_limits<double>::infinity());
    SoundHandler::sendRequest("themeTown", 1e300);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    EXPECT_NE(output.find("SoundHandler::sendRequest"), std::string::npos);

    // A negative delay is simply overdue.
    SoundHandler::sendRequest("themeTown", -2.0);
    EXPECT_EQ(SoundHandler::getRequestPlayTimes(), std::vector<long>{-1000});
    updateAt(1000);
    EXPECT_NE(SoundHandler::getCurrentMusic(), nullptr);
}

TEST_F(SoundHandlerTest, EffectsAndMusicAreServedInQueueOrder)
{
    SoundHandler::sendRequest("tempOverworld", 0.0);
    SoundHandler::sendRequest("text", 0.0);
    SoundHandler::sendRequest("themeBattle", 0.0);
    SoundHandler::sendRequest("themeTown", 5.0);
    updateAt(1001);

    // The first track became current, the second waits for the fade.
    EXPECT_EQ(SoundHandler::getCurrentMusicSoundIndex(), 1);
    EXPECT_EQ(SoundHandler::getNextMusicSoundIndex(), 2);
    ASSERT_NE(SoundHandler::getNextMusic(), nullptr);
    EXPECT_TRUE(SoundHandler::getNextMusic()->getIsPaused());
    EXPECT_FALSE(isPlaying(BATTLE));
    EXPECT_TRUE(isPlaying(OVERWORLD));
    EXPECT_TRUE(isPlaying(TEXT));
    EXPECT_EQ(SoundHandler::getRequestFilenames(), std::vector<std::string>{"themeTown"});

    // The other order gives the other track.
    SoundHandler::erase();
    SetUp();
    SoundHandler::sendRequest("themeBattle", 0.0);
    SoundHandler::sendRequest("tempOverworld", 0.0);
    updateAt(1001);
    EXPECT_EQ(SoundHandler::getCurrentMusicSoundIndex(), 2);
    EXPECT_EQ(SoundHandler::getNextMusicSoundIndex(), 1);
}

TEST_F(SoundHandlerTest, EffectsPlayAtOnceAndAreFreedWhenDone)
{
    EXPECT_TRUE(SoundHandler::playSound(SoundHandler::getSounds()[3]));
    EXPECT_TRUE(SoundHandler::playSound(SoundHandler::getSounds()[3]));
    Sound* text = SoundHandler::getSounds()[3];
    sound::AudioSource* source = text->getSource();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(SoundHandler::getSoundEngine()->getSourceCount(), 1u);
    EXPECT_EQ(SoundHandler::getSoundEngine()->getVoiceCount(), 2u);

    SoundHandler::getSoundEngine()->stopAllSounds();
    updateAt(1001);
    EXPECT_EQ(SoundHandler::getSoundEngine()->getVoiceCount(), 0u);
    EXPECT_TRUE(SoundHandler::playSound(text));
    EXPECT_EQ(text->getSource(), source);
    EXPECT_FALSE(SoundHandler::playSound(nullptr));
}

TEST_F(SoundHandlerTest, RequestingTheCurrentMusicKeepsItPlaying)
{
    AudioVoice* town = playMusicAt("themeTown", 1000);
    ASSERT_NE(town, nullptr);
    town->setPlayPosition(500);
    SoundHandler::sendRequest("./assets/sound/themeTown.ogg", 0.0);
    updateAt(1100);
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    EXPECT_EQ(SoundHandler::getCurrentMusic(), town);
    EXPECT_EQ(SoundHandler::getNextMusic(), nullptr);
    EXPECT_GE(town->getPlayPosition(), 500u);
    EXPECT_FLOAT_EQ(town->getVolume(), 0.75f);
    EXPECT_EQ(SoundHandler::getSoundEngine()->getVoiceCount(), 1u);
}

TEST_F(SoundHandlerTest, NewMusicCrossFadesOverSevenHundredFiftyMilliseconds)
{
    AudioVoice* town = playMusicAt("themeTown", 1000);
    ASSERT_NE(town, nullptr);

    clockNow = 2000;
    SoundHandler::sendRequest("themeBattle", 0.0);
    updateAt(2001);
    AudioVoice* battle = SoundHandler::getNextMusic();
    ASSERT_NE(battle, nullptr);
    EXPECT_EQ(SoundHandler::getFadeMusicClock(), 2001);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), town);
    EXPECT_FLOAT_EQ(town->getVolume(), 0.75f);

    updateAt(2376);
    EXPECT_NEAR(town->getVolume(), 0.375f, 1e-5);
    EXPECT_TRUE(battle->getIsPaused());
    EXPECT_FALSE(isPlaying(BATTLE));

    // A track requested during the fade replaces the waiting one; the fade
    // keeps its start and the replaced track is let go.
    clockNow = 2400;
    SoundHandler::sendRequest("tempOverworld", 0.0);
    updateAt(2401);
    AudioVoice* overworld = SoundHandler::getNextMusic();
    ASSERT_NE(overworld, nullptr);
    EXPECT_NE(overworld, battle);
    EXPECT_EQ(SoundHandler::getNextMusicSoundIndex(), 1);
    EXPECT_EQ(SoundHandler::getFadeMusicClock(), 2001);
    EXPECT_NEAR(town->getVolume(), 0.35f, 1e-5);

    updateAt(2750);
    EXPECT_NEAR(town->getVolume(), 0.001f, 1e-5);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), town);

    updateAt(2751);
    EXPECT_LE(town->getVolume(), 0.0f);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), town);
    EXPECT_FALSE(isPlaying(OVERWORLD));

    // The switch comes on the first update that finds the old track silent.
    updateAt(2752);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), overworld);
    EXPECT_EQ(SoundHandler::getNextMusic(), nullptr);
    EXPECT_EQ(SoundHandler::getCurrentMusicSoundIndex(), 1);
    EXPECT_EQ(SoundHandler::getNextMusicSoundIndex(), -1);
    EXPECT_FLOAT_EQ(overworld->getVolume(), 0.75f);
    EXPECT_TRUE(overworld->isPlaying());
    EXPECT_TRUE(isPlaying(OVERWORLD));

    // The faded track is stopped and freed rather than left playing unheard.
    EXPECT_FALSE(isPlaying(TOWN));
    updateAt(2753);
    EXPECT_EQ(SoundHandler::getSoundEngine()->getVoiceCount(), 1u);
}

TEST_F(SoundHandlerTest, MusicJumpsToItsLoopPointNearItsEnd)
{
    // themeBattle is decoded whole (loop-to 760 ms).
    AudioVoice* battle = playMusicAt("themeBattle", 1000);
    ASSERT_NE(battle, nullptr);
    const unsigned int length = battle->getPlayLength();
    EXPECT_NEAR(length, 1500u, 5u);

    // Outside the last 100 ms it plays on (150 ms of slack for a slow machine).
    battle->setPlayPosition(length - 250);
    updateAt(1100);
    EXPECT_GE(battle->getPlayPosition(), length - 250);

    battle->setPlayPosition(length - 90);
    updateAt(1200);
    expectLoopedTo(battle, 760);

    // A track that ran out between two frames still comes back.
    battle->setPlayPosition(length);
    updateAt(1300);
    expectLoopedTo(battle, 760);
}

TEST_F(SoundHandlerTest, StreamedMusicLoopsToItsLoopPoint)
{
    AudioVoice* overworld = playMusicAt("tempOverworld", 1000);
    ASSERT_NE(overworld, nullptr);
    ASSERT_TRUE(overworld->getSource()->isStreamed());
    EXPECT_NEAR(overworld->getPlayLength(), OVERWORLD_LENGTH_MS, 5u);

    overworld->setPlayPosition(OVERWORLD_LENGTH_MS - 40);
    updateAt(1100);
    expectLoopedTo(overworld, 5337);
}

TEST_F(SoundHandlerTest, LoopPointZeroRestartsAndShortTracksNeverLoop)
{
    AudioVoice* town = playMusicAt("themeTown", 1000);
    ASSERT_NE(town, nullptr);
    town->setPlayPosition(TOWN_LENGTH_MS - 20);
    updateAt(1100);
    EXPECT_LT(town->getPlayPosition(), 400u);

    SoundHandler::erase();
    SetUp();
    AudioVoice* blip = playMusicAt("blip", 1000);
    ASSERT_NE(blip, nullptr);
    ASSERT_LT(blip->getPlayLength(), 100u);
    blip->setPlayPosition(40);
    updateAt(1100);
    EXPECT_GE(blip->getPlayPosition(), 40u);
}

TEST_F(SoundHandlerTest, EraseStopsEverythingAndLaterCallsAreHarmless)
{
    playMusicAt("themeTown", 1000);
    SoundHandler::sendRequest("themeBattle", 0.0);
    updateAt(1002);
    SoundHandler::sendRequest("text", 3.0);
    ASSERT_NE(SoundHandler::getNextMusic(), nullptr);

    SoundHandler::erase();
    EXPECT_EQ(SoundHandler::getSoundEngine(), nullptr);
    EXPECT_EQ(SoundHandler::getCurrentMusic(), nullptr);
    EXPECT_EQ(SoundHandler::getNextMusic(), nullptr);
    EXPECT_TRUE(SoundHandler::getSounds().empty());
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    EXPECT_TRUE(SoundHandler::getRequestPlayTimes().empty());

    SoundHandler::sendRequest("themeTown", 0.0);
    updateAt(9000);
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    EXPECT_EQ(SoundHandler::startSound(nullptr), nullptr);
}

TEST_F(SoundHandlerTest, StartUpDecodesNothingUntilASoundIsFirstPlayed)
{
    // The test sounds laid out as the game's table names them.
    soundtest::TempDir game;
    for (const char* file : {"/assets/sound/themeTown.ogg", "/assets/sound/SFX/text.ogg"})
        ASSERT_TRUE(soundtest::makeOgg(game.path() + file, 300));
    game.enter();
    SoundHandler::init(true);
    game.leave();
    ASSERT_EQ(SoundHandler::getSounds().size(), 2u);
    updateAt(2000);
    EXPECT_EQ(SoundHandler::getSoundEngine()->getSourceCount(), 0u);
    for (const Sound* sound : SoundHandler::getSounds())
        EXPECT_EQ(sound->getSource(), nullptr) << sound->getFilename();

    game.enter();
    SoundHandler::sendRequest("text", 0.0);
    updateAt(2001);
    game.leave();
    EXPECT_EQ(SoundHandler::getSoundEngine()->getSourceCount(), 1u);
    EXPECT_EQ(SoundHandler::getSounds()[0]->getSource(), nullptr) << "the music is still untouched";
    EXPECT_NE(SoundHandler::getSounds()[1]->getSource(), nullptr);
}

TEST_F(SoundHandlerTest, StartingAgainWhileTheDeviceOpensKeepsOneDeviceAndOneTable)
{
    soundtest::TempDir game;
    ASSERT_TRUE(soundtest::makeOgg(game.path() + "/assets/sound/themeTown.ogg", 300));
    game.enter();
    SoundHandler::init(true);
    SoundHandler::init(true);
    game.leave();
    ASSERT_NE(SoundHandler::getSoundEngine(), nullptr);
    EXPECT_EQ(SoundHandler::getSounds().size(), 1u);
    SoundHandler::sendRequest("themeTown", 0.0);
    updateAt(2000);
    ASSERT_NE(SoundHandler::getCurrentMusic(), nullptr);
    EXPECT_TRUE(SoundHandler::getCurrentMusic()->isPlaying());
}

TEST(SoundClockTest, ProcessClockCountsWallMillisecondsAndCanBeReplaced)
{
    const clock_t before = SoundHandler::processClock();
    EXPECT_GE(before, 0);
    usleep(30000);
    const clock_t after = SoundHandler::processClock();
    EXPECT_GE(after - before, 25);
    EXPECT_LT(after - before, 2000);

    SoundHandler::setClock([] { return clock_t(42); });
    EXPECT_EQ(SoundHandler::now(), 42);
    SoundHandler::setClock(SoundHandler::ClockFunction());
    EXPECT_GE(SoundHandler::now(), after);
}

// The application owns the player; the static calls reach whichever is
// installed, and the handler's own again once it is taken away.
TEST_F(SoundHandlerTest, StaticCallsReachTheInstalledPlayerAndItsStateIsItsOwn)
{
    SoundHandler::sendRequest("themeTown", 1.0);
    {
        sound::SoundPlayer owned;
        SoundHandler::setPlayer(&owned);
        EXPECT_EQ(&SoundHandler::player(), &owned);
        owned.setClock([] { return clockNow; });
        SoundHandler::init(false);
        SoundHandler::addSound("/assets/sound/SFX/text.ogg", false, 0, true);
        EXPECT_EQ(SoundHandler::getSounds().size(), 1u) << "the installed player's table only";
        EXPECT_TRUE(SoundHandler::getRequestFilenames().empty()) << "the other player's request stays there";
        SoundHandler::sendRequest("text", 0.5);
        EXPECT_EQ(owned.getRequestFilenames(), std::vector<std::string>{"text"});
        SoundHandler::setPlayer(nullptr);
    }
    EXPECT_EQ(SoundHandler::getSounds().size(), 5u) << "the handler's own player is untouched";
    EXPECT_EQ(SoundHandler::getRequestFilenames(), std::vector<std::string>{"themeTown"});
}
