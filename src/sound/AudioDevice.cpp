#include "sound/AudioDevice.h"

#include <algorithm>

#include "sound/AudioSource.h"
#include "sound/AudioVoice.h"

namespace sound
{
AudioDevice::AudioDevice(ALCdevice* device, ALCcontext* context) : _device(device), _context(context)
{
}

std::unique_ptr<AudioDevice> AudioDevice::create(const char* deviceName)
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
    return std::unique_ptr<AudioDevice>(new AudioDevice(device, context));
}

AudioDevice::~AudioDevice()
{
    // Voices hold sources' buffers, so they go first.
    _voices.clear();
    _sources.clear();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(_context);
    alcCloseDevice(_device);
}

AudioSource* AudioDevice::addSoundSourceFromFile(const std::string& filename)
{
    if (AudioSource* known = _sources.get(filename))
        return known;
    std::unique_ptr<AudioSource> source = AudioSource::createFromFile(filename);
    return source ? _sources.put(filename, std::move(source), nullptr) : nullptr;
}

AudioVoice* AudioDevice::play2D(AudioSource* source, bool startPaused)
{
    std::unique_ptr<AudioVoice> voice = AudioVoice::create(source, startPaused);
    if (!voice)
        return nullptr;
    _voices.push_back(std::move(voice));
    return _voices.back().get();
}

bool AudioDevice::isCurrentlyPlaying(const std::string& filename) const
{
    for (const std::unique_ptr<AudioVoice>& voice : _voices)
    {
        if (voice->getSource()->getFilename() == filename && voice->isPlaying())
            return true;
    }
    return false;
}

void AudioDevice::stopAllSounds()
{
    for (const std::unique_ptr<AudioVoice>& voice : _voices)
        voice->stop();
}

void AudioDevice::update()
{
    for (const std::unique_ptr<AudioVoice>& voice : _voices)
        voice->update();
    // Nobody can resume a dropped voice, so once silent it is done.
    _voices.erase(std::remove_if(_voices.begin(), _voices.end(),
                                 [](const std::unique_ptr<AudioVoice>& voice)
                                 { return voice->isDropped() && !voice->isPlaying(); }),
                  _voices.end());
}
}
