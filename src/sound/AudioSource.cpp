#include "sound/AudioSource.h"

#include <vector>

#include "Log/Log.h"
#include "sound/OggStream.h"

namespace sound
{
AudioSource::AudioSource(const std::string& filename)
    : _filename(filename), _isStreamed(false), _format(AL_FORMAT_MONO16), _rate(0), _lengthFrames(0), _buffer(0),
      _defaultVolume(1.0f)
{
}

AudioSource::~AudioSource()
{
    if (_buffer)
        alDeleteBuffers(1, &_buffer);
}

std::unique_ptr<AudioSource> AudioSource::createFromFile(const std::string& filename)
{
    std::unique_ptr<AudioSource> source(new AudioSource(filename));
    if (!source->load())
        return nullptr;
    return source;
}

bool AudioSource::load()
{
    OggStream stream;
    if (!stream.open(_filename))
        return false;
    _format = stream.getChannels() == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
    _rate = stream.getRate();
    _lengthFrames = stream.getLengthFrames();
    _isStreamed = getPlayLength() > STREAM_THRESHOLD_MS;
    if (_isStreamed)
        return true;

    std::vector<char> pcm;
    if (stream.read(pcm, static_cast<long>(_lengthFrames)) < 0)
        return false;
    alGetError();
    alGenBuffers(1, &_buffer);
    if (alGetError() != AL_NO_ERROR)
    {
        _buffer = 0;
        Log::error() << "AudioSource::load - No audio buffer available for " << _filename << std::endl;
        return false;
    }
    alBufferData(_buffer, _format, pcm.data(), static_cast<ALsizei>(pcm.size()), _rate);
    if (alGetError() != AL_NO_ERROR)
    {
        Log::error() << "AudioSource::load - Failed to upload the samples of " << _filename << std::endl;
        return false;
    }
    return true;
}

unsigned int AudioSource::getPlayLength() const
{
    if (_rate <= 0)
        return 0;
    return static_cast<unsigned int>(_lengthFrames * 1000 / _rate);
}

void AudioSource::setDefaultVolume(float volume)
{
    _defaultVolume = volume < 0.0f ? 0.0f : volume;
}
}
