#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "SoundTestSupport.h"
#include "sound/AudioDevice.h"
#include "sound/AudioSource.h"
#include "sound/AudioVoice.h"
#include "sound/Sound.h"
#include "sound/SoundHandler.h"
#include "support/Files.h"

using sound::AudioDevice;
using sound::AudioSource;
using sound::AudioVoice;
using sound::SoundHandler;

namespace
{
const char* CHILD_DIR = "ZOLT_SOUND_CHILD_DIR";

// A child run works in the directory its parent prepared.
bool enterChildDir()
{
    const char* dir = std::getenv(CHILD_DIR);
    return dir && *dir && chdir(dir) == 0;
}

// Runs the handler on the real clock for the given wall time, a frame every
// 10 ms, as the game loop would.
void runFrames(int milliseconds)
{
    for (int elapsed = 0; elapsed < milliseconds; elapsed += 10)
    {
        SoundHandler::update();
        usleep(10000);
    }
}
}

TEST(AudioDeviceTest, StreamedVoicesKeepPlayingAndReportTheirPosition)
{
    soundtest::useSilentOutput();
    soundtest::TempDir dir;
    const std::string longFile = dir.path() + "/long.ogg";
    const std::string shortFile = dir.path() + "/short.ogg";
    ASSERT_TRUE(soundtest::makeOgg(longFile, 8000, 2));
    ASSERT_TRUE(soundtest::makeOgg(shortFile, 1000));

    std::unique_ptr<AudioDevice> device = AudioDevice::create();
    ASSERT_NE(device, nullptr);
    AudioSource* longSource = device->addSoundSourceFromFile(longFile);
    ASSERT_NE(longSource, nullptr);
    EXPECT_TRUE(longSource->isStreamed());
    EXPECT_EQ(device->addSoundSourceFromFile(longFile), longSource);
    AudioSource* shortSource = device->addSoundSourceFromFile(shortFile);
    ASSERT_NE(shortSource, nullptr);
    EXPECT_FALSE(shortSource->isStreamed());
    EXPECT_EQ(device->addSoundSourceFromFile(dir.path() + "/none.ogg"), nullptr);
    EXPECT_EQ(device->getSourceCount(), 2u);

    const auto started = std::chrono::steady_clock::now();
    AudioVoice* paused = device->play2D(longSource, true);
    AudioVoice* playing = device->play2D(longSource, false);
    ASSERT_NE(paused, nullptr);
    ASSERT_NE(playing, nullptr);
    EXPECT_FALSE(paused->isPlaying());
    EXPECT_TRUE(device->isCurrentlyPlaying(longFile));

    // Two seconds of wall time is more than the queued buffers hold, so the
    // position only gets there if the stream is refilled.
    for (int i = 0; i < 200; ++i)
    {
        device->update();
        usleep(10000);
    }
    const long elapsed = static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count());
    EXPECT_EQ(paused->getPlayPosition(), 0u);
    EXPECT_GT(playing->getPlayPosition(), 1500u);
    EXPECT_LE(static_cast<long>(playing->getPlayPosition()), elapsed + 100);
    EXPECT_TRUE(playing->isPlaying());

    playing->setIsPaused(true);
    const unsigned int held = playing->getPlayPosition();
    usleep(100000);
    device->update();
    EXPECT_EQ(playing->getPlayPosition(), held);
    EXPECT_FALSE(device->isCurrentlyPlaying(longFile));

    // A paused stream moved elsewhere waits there and resumes from there.
    playing->setPlayPosition(5000);
    device->update();
    EXPECT_EQ(playing->getPlayPosition(), 5000u);
    EXPECT_FALSE(playing->isFinished());
    playing->setIsPaused(false);
    for (int i = 0; i < 30; ++i)
    {
        device->update();
        usleep(10000);
    }
    EXPECT_GT(playing->getPlayPosition(), 5100u);
    EXPECT_LT(playing->getPlayPosition(), 6500u);
    playing->setIsPaused(true);

    // A decoded voice that plays to its end reads its full length.
    AudioVoice* once = device->play2D(shortSource, false);
    ASSERT_NE(once, nullptr);
    for (int i = 0; i < 300 && !once->isFinished(); ++i)
        usleep(10000);
    EXPECT_TRUE(once->isFinished());
    EXPECT_FALSE(once->isPlaying());
    EXPECT_EQ(once->getPlayPosition(), once->getPlayLength());

    // Dropped voices go once silent; held ones stay.
    once->drop();
    playing->drop();
    device->update();
    EXPECT_EQ(device->getVoiceCount(), 1u);
}

// Plays a real Ogg file through the handler into OpenAL Soft's wave writer.
TEST(SoundOutputChild, DISABLED_PlaysIntoWaveFile)
{
    ASSERT_TRUE(enterChildDir());
    SoundHandler::init(true);
    ASSERT_NE(SoundHandler::getSoundEngine(), nullptr);
    ASSERT_EQ(SoundHandler::getSounds().size(), 2u);
    SoundHandler::sendRequest("themeTown", 0.0);
    SoundHandler::sendRequest("text", 0.2);
    runFrames(900);
    ASSERT_NE(SoundHandler::getCurrentMusic(), nullptr);
    EXPECT_TRUE(SoundHandler::getCurrentMusic()->isPlaying());
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    // Closing the device finishes the file.
    SoundHandler::erase();
}

// Without any output device every call must still be safe.
TEST(SoundOutputChild, DISABLED_RunsSilentWithoutDevice)
{
    ASSERT_TRUE(enterChildDir());
    SoundHandler::init(true);
    EXPECT_EQ(SoundHandler::getSoundEngine(), nullptr);
    EXPECT_TRUE(SoundHandler::getSounds().empty());

    SoundHandler::sendRequest("themeTown", 0.0);
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    SoundHandler::addSound("/assets/sound/themeTown.ogg", true, 0, true);
    SoundHandler::sendRequest("themeTown", 0.0);
    EXPECT_EQ(SoundHandler::getRequestFilenames().size(), 1u);
    runFrames(30);
    EXPECT_TRUE(SoundHandler::getRequestFilenames().empty());
    EXPECT_EQ(SoundHandler::getCurrentMusic(), nullptr);
    EXPECT_FALSE(SoundHandler::playSound(SoundHandler::getSounds()[0]));
    EXPECT_EQ(SoundHandler::startSound(SoundHandler::getSounds()[0]), nullptr);
    SoundHandler::erase();
    SoundHandler::update();
}

class SoundOutputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::string root = dir.path();
        ASSERT_TRUE(soundtest::makeOgg(root + "/assets/sound/themeTown.ogg", 6000, 2));
        ASSERT_TRUE(soundtest::makeOgg(root + "/assets/sound/SFX/text.ogg", 300, 1, 880.0));
        environment = std::string(CHILD_DIR) + "='" + root + "'";
    }

    soundtest::TempDir dir;
    std::string environment;
};

TEST_F(SoundOutputTest, RealFilePlaysThroughTheWholePathIntoAWaveFile)
{
    const std::string wav = dir.path() + "/out.wav";
    const std::string config = dir.path() + "/alsoft.conf";
    soundtest::writeTextFile(config, "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\n"
                                     "frequency=44100\n[wave]\nfile=" +
                                         wav + "\n");
    const std::string log = dir.path() + "/child.txt";
    const int status = soundtest::runSelf("SoundOutputChild.DISABLED_PlaysIntoWaveFile",
                                          environment + " ALSOFT_DRIVERS=wave ALSOFT_CONF='" + config + "'", log);
    ASSERT_EQ(status, 0) << testsupport::readText(log);
    // Music plays at 0.75 of a half-scale tone; anything near silence means
    // the samples never reached the mixer.
    const double peak = soundtest::wavPeak(wav);
    EXPECT_GT(peak, 0.1) << testsupport::readText(log);
    EXPECT_LE(peak, 1.0);
    // 0.9 s of 44.1 kHz 16-bit stereo, less start-up slack.
    EXPECT_GT(testsupport::readText(wav).size(), 100000u);
}

TEST_F(SoundOutputTest, NoOutputDeviceRunsSilentWithTheErrorText)
{
    const std::string log = dir.path() + "/child.txt";
    const int status = soundtest::runSelf("SoundOutputChild.DISABLED_RunsSilentWithoutDevice",
                                          environment + " ALSOFT_DRIVERS=nosuchdriver", log);
    const std::string output = testsupport::readText(log);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Error: soundEngine initialization in SoundHandler failed"), std::string::npos) << output;
}
