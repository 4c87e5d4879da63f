#include "sound/AudioVoice.h"

#include "Log/Log.h"
#include "sound/AudioSource.h"
#include "sound/OggStream.h"

namespace sound
{
AudioVoice::AudioVoice(AudioSource* source)
    : _source(source), _alSource(0), _isPaused(false), _isStopped(false), _isDropped(false), _volume(1.0f), _buffers(),
      _queueStartFrame(0), _streamEnded(false)
{
}

std::unique_ptr<AudioVoice> AudioVoice::create(AudioSource* source, bool startPaused)
{
    if (!source)
        return nullptr;
    std::unique_ptr<AudioVoice> voice(new AudioVoice(source));
    if (!voice->setUp(startPaused))
        return nullptr;
    return voice;
}

AudioVoice::~AudioVoice()
{
    if (_alSource)
    {
        alSourceStop(_alSource);
        alSourcei(_alSource, AL_BUFFER, 0);
        alDeleteSources(1, &_alSource);
    }
    if (_stream)
        alDeleteBuffers(STREAM_BUFFERS, _buffers);
}

bool AudioVoice::setUp(bool startPaused)
{
    alGetError();
    alGenSources(1, &_alSource);
    if (alGetError() != AL_NO_ERROR)
    {
        _alSource = 0;
        Log::error() << "AudioVoice::create - No free audio channel for " << _source->getFilename() << std::endl;
        return false;
    }
    // Two-dimensional: the sound sits on the listener and is never panned.
    alSourcei(_alSource, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(_alSource, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcei(_alSource, AL_LOOPING, AL_FALSE);
    applyGain();
    if (_source->isStreamed())
    {
        if (!setUpStream())
            return false;
    }
    else
    {
        alSourcei(_alSource, AL_BUFFER, static_cast<ALint>(_source->getBuffer()));
    }
    _isPaused = startPaused;
    if (!startPaused)
        alSourcePlay(_alSource);
    return true;
}

bool AudioVoice::setUpStream()
{
    _stream = std::make_unique<OggStream>();
    if (!_stream->open(_source->getFilename()))
        return false;
    alGetError();
    alGenBuffers(STREAM_BUFFERS, _buffers);
    if (alGetError() != AL_NO_ERROR)
    {
        _stream.reset();
        Log::error() << "AudioVoice::create - No audio buffers available for " << _source->getFilename() << std::endl;
        return false;
    }
    for (ALuint buffer : _buffers)
        _freeBuffers.push_back(buffer);
    refillProcessedBuffers(PRIMED_BUFFERS);
    return true;
}

ALint AudioVoice::sourceState() const
{
    ALint state = AL_STOPPED;
    alGetSourcei(_alSource, AL_SOURCE_STATE, &state);
    return state;
}

void AudioVoice::applyGain()
{
    alSourcef(_alSource, AL_GAIN, _volume * _source->getDefaultVolume());
}

bool AudioVoice::isFinished() const
{
    if (_isStopped)
        return false;
    if (_stream)
        return _streamEnded && _queuedFrames.empty() && sourceState() == AL_STOPPED;
    return sourceState() == AL_STOPPED;
}

bool AudioVoice::isPlaying() const
{
    return !_isPaused && !_isStopped && !isFinished();
}

void AudioVoice::setIsPaused(bool paused)
{
    if (_isStopped || paused == _isPaused)
        return;
    _isPaused = paused;
    if (paused)
        alSourcePause(_alSource);
    else if (!isFinished())
        alSourcePlay(_alSource);
}

void AudioVoice::stop()
{
    _isStopped = true;
    alSourceStop(_alSource);
}

void AudioVoice::setVolume(float volume)
{
    _volume = volume < 0.0f ? 0.0f : volume;
    applyGain();
}

unsigned int AudioVoice::getPlayLength() const
{
    return _source->getPlayLength();
}

unsigned int AudioVoice::getPlayPosition() const
{
    long long frame = 0;
    const ALint state = sourceState();
    if (_stream)
    {
        frame = _queueStartFrame;
        if (state == AL_STOPPED)
        {
            // Every queued buffer has been heard; the offset reads 0 then.
            for (long frames : _queuedFrames)
                frame += frames;
        }
        else
        {
            ALint offset = 0;
            alGetSourcei(_alSource, AL_SAMPLE_OFFSET, &offset);
            frame += offset;
        }
    }
    else if (state == AL_STOPPED && !_isStopped)
    {
        frame = _source->getLengthFrames();
    }
    else
    {
        ALint offset = 0;
        alGetSourcei(_alSource, AL_SAMPLE_OFFSET, &offset);
        frame = offset;
    }
    if (_source->getRate() <= 0)
        return 0;
    return static_cast<unsigned int>(frame * 1000 / _source->getRate());
}

long long AudioVoice::msToFrames(unsigned int milliseconds) const
{
    // Rounded up, so that reading the position back gives at least the
    // milliseconds that were set.
    long long frame = (static_cast<long long>(milliseconds) * _source->getRate() + 999) / 1000;
    return frame > _source->getLengthFrames() ? _source->getLengthFrames() : frame;
}

void AudioVoice::setPlayPosition(unsigned int milliseconds)
{
    if (_isStopped)
        return;
    const long long frame = msToFrames(milliseconds);
    if (_stream)
        restartStreamAt(frame);
    else
        restartStaticAt(frame);
}

void AudioVoice::restartStaticAt(long long frame)
{
    // A source that ran out ignores a new offset until it is rewound.
    if (sourceState() == AL_STOPPED)
        alSourceRewind(_alSource);
    alSourcei(_alSource, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
    if (!_isPaused && sourceState() != AL_PLAYING)
        alSourcePlay(_alSource);
}

void AudioVoice::restartStreamAt(long long frame)
{
    // Rewinding marks every queued buffer processed, so all can be taken
    // back, and leaves the source in its initial state: a paused voice then
    // reads its offset from the new start instead of the end of the queue.
    alSourceRewind(_alSource);
    alSourcei(_alSource, AL_BUFFER, 0);
    _queuedFrames.clear();
    _freeBuffers.assign(_buffers, _buffers + STREAM_BUFFERS);
    _streamEnded = !_stream->seek(frame);
    _queueStartFrame = frame;
    refillProcessedBuffers(PRIMED_BUFFERS);
    if (!_isPaused)
        alSourcePlay(_alSource);
}

void AudioVoice::refillProcessedBuffers(int maxChunks)
{
    ALint processed = 0;
    alGetSourcei(_alSource, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && !_queuedFrames.empty())
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(_alSource, 1, &buffer);
        _queueStartFrame += _queuedFrames.front();
        _queuedFrames.pop_front();
        _freeBuffers.push_back(buffer);
    }
    for (int chunk = 0; chunk < maxChunks && !_streamEnded && !_freeBuffers.empty(); ++chunk)
    {
        if (!queueChunk(_freeBuffers.front()))
            break;
        _freeBuffers.pop_front();
    }
}

bool AudioVoice::queueChunk(ALuint buffer)
{
    // A quarter of a second per buffer keeps about a second queued, enough
    // to ride out a slow frame.
    const long chunkFrames = _source->getRate() / 4 + 1;
    _pcm.clear();
    const long frames = _stream->read(_pcm, chunkFrames);
    if (frames <= 0)
    {
        _streamEnded = true;
        return false;
    }
    alBufferData(buffer, _source->getFormat(), _pcm.data(), static_cast<ALsizei>(_pcm.size()), _source->getRate());
    alSourceQueueBuffers(_alSource, 1, &buffer);
    _queuedFrames.push_back(frames);
    return true;
}

void AudioVoice::update()
{
    if (!_stream || _isStopped)
        return;
    refillProcessedBuffers(STREAM_BUFFERS);
    // A source that ran dry before the stream ended starts again.
    if (!_isPaused && !_queuedFrames.empty() && sourceState() != AL_PLAYING)
        alSourcePlay(_alSource);
}
}
