#pragma once

#include <memory>
#include <string>

#include <AL/al.h>

namespace sound
{
// A sound file known to the device. Short files are decoded once into one
// buffer that every voice shares; long ones are streamed by each voice, so
// that opening a music track never stalls a frame with a full decode.
class AudioSource
{
public:
    // Files longer than this stream; shorter ones are decoded up front.
    static const unsigned int STREAM_THRESHOLD_MS = 5000;

    // Null, with a logged reason, when the file cannot be opened or decoded.
    static std::unique_ptr<AudioSource> createFromFile(const std::string& filename);
    ~AudioSource();
    AudioSource(const AudioSource&) = delete;
    AudioSource& operator=(const AudioSource&) = delete;

    const std::string& getFilename() const { return _filename; }
    bool isStreamed() const { return _isStreamed; }
    ALenum getFormat() const { return _format; }
    int getRate() const { return _rate; }
    long long getLengthFrames() const { return _lengthFrames; }
    unsigned int getPlayLength() const;
    // The decoded buffer; 0 for a streamed source.
    ALuint getBuffer() const { return _buffer; }

    void setDefaultVolume(float volume);
    float getDefaultVolume() const { return _defaultVolume; }

private:
    explicit AudioSource(const std::string& filename);
    bool load();

    std::string _filename;
    bool _isStreamed;
    ALenum _format;
    int _rate;
    long long _lengthFrames;
    ALuint _buffer;
    float _defaultVolume;
};
}
