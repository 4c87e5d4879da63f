#pragma once

#include <deque>
#include <memory>
#include <vector>

#include <AL/al.h>

namespace sound
{
class AudioSource;
class OggStream;

// One playback of a source on its own two-dimensional channel. Whoever holds
// the voice calls drop() when done with it; the device frees a dropped voice
// once it no longer plays.
class AudioVoice
{
public:
    // Null, with a logged reason, when no channel or decoder can be had.
    static std::unique_ptr<AudioVoice> create(AudioSource* source, bool startPaused);
    ~AudioVoice();
    AudioVoice(const AudioVoice&) = delete;
    AudioVoice& operator=(const AudioVoice&) = delete;

    void setIsPaused(bool paused);
    bool getIsPaused() const { return _isPaused; }
    void stop();
    // Playing means wanted to be heard: not paused, stopped or run out.
    bool isPlaying() const;
    bool isFinished() const;

    // Volumes below zero are taken as zero.
    void setVolume(float volume);
    float getVolume() const { return _volume; }

    // Milliseconds. Setting a position on a voice that ran out plays it
    // again from there, unless it is paused.
    unsigned int getPlayPosition() const;
    unsigned int getPlayLength() const;
    void setPlayPosition(unsigned int milliseconds);

    // Keeps a streamed voice fed; called once per frame by the device.
    void update();

    void drop() { _isDropped = true; }
    bool isDropped() const { return _isDropped; }
    AudioSource* getSource() const { return _source; }

private:
    static const int STREAM_BUFFERS = 4;
    // Starting or seeking decodes only this many buffers at once; the next
    // updates fill the rest, so no single frame pays for a second of audio.
    static const int PRIMED_BUFFERS = 2;

    explicit AudioVoice(AudioSource* source);
    bool setUp(bool startPaused);
    bool setUpStream();
    ALint sourceState() const;
    void applyGain();
    void refillProcessedBuffers(int maxChunks);
    bool queueChunk(ALuint buffer);
    void restartStreamAt(long long frame);
    void restartStaticAt(long long frame);
    long long msToFrames(unsigned int milliseconds) const;

    AudioSource* _source;
    ALuint _alSource;
    bool _isPaused;
    bool _isStopped;
    bool _isDropped;
    float _volume;

    // Streaming state: the decoder, the buffers and the frames each queued
    // buffer holds, oldest first, so the heard position can be worked out.
    std::unique_ptr<OggStream> _stream;
    ALuint _buffers[STREAM_BUFFERS];
    std::deque<ALuint> _freeBuffers;
    std::deque<long> _queuedFrames;
    long long _queueStartFrame;
    bool _streamEnded;
    std::vector<char> _pcm;
};
}
