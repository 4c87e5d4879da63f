#include "sound/AudioDevice.h"

#include "sound/AudioSource.h"
#include "sound/AudioVoice.h"

namespace sound
{
AudioDevice::AudioDevice(ALCdevice* device, ALCcontext* context) : _device(device), _context(context)
{
}

AudioDevice* AudioDevice::create(const char* deviceName)
{
    ALCdevice* device = alcOpenDevice(deviceName);
    if (!device)
        return nullptr;
    ALCcontext* context = alcCreateContext(device, nullptr);
    if (!context || alcMakeContextCurrent(context) != ALC_TRUE)
    {
        if (context)
            alcDestroyContext(context);
        alcCloseDevice(device);
        return nullptr;
    }
    return new AudioDevice(device, context);
}

AudioDevice::~AudioDevice()
{
    // Voices hold sources' buffers, so they go first.
    for (AudioVoice* voice : _voices)
        delete voice;
    _sources.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(_context);
    alcCloseDevice(_device);
}

AudioSource* AudioDevice::addSoundSourceFromFile(const std::string& filename)
{
    if (AudioSource* known = _sources.get(filename))
        return known;
    std::unique_ptr<AudioSource> source(AudioSource::createFromFile(filename));
    return source ? _sources.put(filename, std::move(source), nullptr) : nullptr;
}

AudioVoice* AudioDevice::play2D(AudioSource* source, bool startPaused)
{
    AudioVoice* voice = AudioVoice::create(source, startPaused);
    if (voice)
        _voices.push_back(voice);
    return voice;
}

bool AudioDevice::isCurrentlyPlaying(const std::string& filename) const
{
    for (const AudioVoice* voice : _voices)
    {
        if (voice->getSource()->getFilename() == filename && voice->isPlaying())
            return true;
    }
    return false;
}

void AudioDevice::stopAllSounds()
{
    for (AudioVoice* voice : _voices)
        voice->stop();
}

void AudioDevice::update()
{
    size_t kept = 0;
    for (AudioVoice* voice : _voices)
    {
        voice->update();
        // Nobody can resume a dropped voice, so once silent it is done.
        if (voice->isDropped() && !voice->isPlaying())
            delete voice;
        else
            _voices[kept++] = voice;
    }
    _voices.resize(kept);
}
}
