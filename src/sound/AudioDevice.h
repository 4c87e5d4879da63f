#pragma once

#include <memory>
#include <string>
#include <vector>

#include <AL/alc.h>

#include "sound/AudioSource.h"
#include "util/NamedRegistry.h"

namespace sound
{
class AudioVoice;

// The output device with its mixing context: creates sources from files and
// voices that play them, and frees voices whose holders have let go.
class AudioDevice
{
public:
    // Null when no output device can be opened; deviceName null picks the
    // system default.
    static std::unique_ptr<AudioDevice> create(const char* deviceName = nullptr);
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // One source per file name, reused by later calls; null when the file
    // cannot be opened or decoded.
    AudioSource* addSoundSourceFromFile(const std::string& filename);
    // A tracked voice that stays valid until it is dropped and has stopped,
    // or until the device goes; null when it cannot be started.
    AudioVoice* play2D(AudioSource* source, bool startPaused);
    bool isCurrentlyPlaying(const std::string& filename) const;
    void stopAllSounds();

    // Feeds streamed voices and frees dropped ones that no longer play.
    void update();

    size_t getVoiceCount() const { return _voices.size(); }
    size_t getSourceCount() const { return _sources.size(); }

private:
    AudioDevice(ALCdevice* device, ALCcontext* context);

    ALCdevice* _device;
    ALCcontext* _context;
    NamedRegistry<AudioSource> _sources;
    std::vector<std::unique_ptr<AudioVoice>> _voices;
};
}
